#include "about.h"
#include "compute.h"
#include "windowslook.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyleOptionButton>
#include <QtTest>

namespace {

int neededWidth(const QWidget *widget)
{
    if (const auto *box = qobject_cast<const QCheckBox *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(box);
        const int textStart = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).left();
        return textStart + box->fontMetrics().horizontalAdvance(box->text());
    }
    return widget->sizeHint().width();
}

} // namespace

// With the look the windows were drawn for, nothing is cut off and no control vanishes into the
// black background.
class TestLook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void textsFitTheirPlaces_data();
    void textsFitTheirPlaces();
    void controlsStandOutFromTheBackground();
};

void TestLook::initTestCase()
{
    useWindowsLook();
}

void TestLook::textsFitTheirPlaces_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::newRow("help text") << "label_9";
    QTest::newRow("longest option") << "checkBox_3";
    QTest::newRow("input heading") << "label_3";
}

void TestLook::textsFitTheirPlaces()
{
    QFETCH(QString, objectName);
    Compute compute;
    compute.show();
    QVERIFY(QTest::qWaitForWindowExposed(&compute));
    const QWidget *widget = compute.findChild<QWidget *>(objectName);
    const int needed = neededWidth(widget);
    QVERIFY2(needed <= widget->width(),
             qPrintable(QStringLiteral("%1 needs %2 px, has %3").arg(objectName).arg(needed).arg(widget->width())));
}

void TestLook::controlsStandOutFromTheBackground()
{
    Compute compute;
    compute.show();
    QVERIFY(QTest::qWaitForWindowExposed(&compute));

    const QImage field = compute.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->grab().toImage();
    QVERIFY(qGray(field.pixel(field.width() / 2, 0)) > 60);

    // The empty box in front of an option is outlined.
    const QImage option = compute.findChild<QCheckBox *>(QStringLiteral("checkBox"))->grab().toImage();
    int outlinePixels = 0;
    for (int y = 0; y < option.height(); ++y) {
        for (int x = 0; x < 20; ++x)
            outlinePixels += qGray(option.pixel(x, y)) > 60 ? 1 : 0;
    }
    QVERIFY(outlinePixels > 20);
}

QTEST_MAIN(TestLook)
#include "tst_look.moc"
