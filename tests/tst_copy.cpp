#include "compute.h"
#include "mainwindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWindow>
#include <QtTest>

namespace {

const QString untouched = QStringLiteral("untouched");

QLabel *label(const QWidget &window, const QString &name)
{
    return window.findChild<QLabel *>(name);
}

// A right click through the window system, which turns it into a context menu request.
QMenu *rightClick(QWidget *widget)
{
    QWidget *window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::RightButton, Qt::NoModifier,
                      widget->mapTo(window, widget->rect().center()));
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

// The menu must offer exactly one entry, "Kopieren"; it is clicked when it can be.
bool clickKopieren(QMenu *menu)
{
    if (!menu || menu->actions().size() != 1 || menu->actions().first()->text() != QLatin1String("Kopieren"))
        return false;
    QAction *copy = menu->actions().first();
    const bool enabled = copy->isEnabled();
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(copy).center());
    if (menu->isVisible())
        menu->close();
    return enabled;
}

// Returns right after a tick, so that a value read now still stands when a click has gone through.
void waitForTick(const QLabel *clock)
{
    QTRY_VERIFY_WITH_TIMEOUT(!clock->text().isEmpty(), 3000);
    const QString before = clock->text();
    QTRY_VERIFY_WITH_TIMEOUT(clock->text() != before, 3000);
}

void clickBox(QCheckBox *box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QPoint indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator);
}

void convert(Compute *dialog, const QString &input, const QStringList &boxes)
{
    QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit")), input);
    for (const QString &box : boxes)
        clickBox(dialog->findChild<QCheckBox *>(box));
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Computes")), Qt::LeftButton);
}

} // namespace

class TestCopy : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void clockValueIsCopiedAsShown_data();
    void clockValueIsCopiedAsShown();
    void tickWhileTheMenuIsOpenDoesNotChangeTheCopy();
    void resultLineIsCopiedWithoutCaption_data();
    void resultLineIsCopiedWithoutCaption();
    void nothingToCopyOffersNothing_data();
    void nothingToCopyOffersNothing();
    void onlyTheLeftButtonDragsFromAValue();
};

void TestCopy::init()
{
    QGuiApplication::clipboard()->setText(untouched);
}

void TestCopy::clockValueIsCopiedAsShown_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("current time") << "showNormalTime";
    QTest::newRow("own-format stardate") << "myFormat";
    QTest::newRow("formula stardate") << "otherFormat";
}

void TestCopy::clockValueIsCopiedAsShown()
{
    QFETCH(QString, value);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QLabel *shown = label(window, value);
    QLabel *clock = label(window, QStringLiteral("showNormalTime"));

    waitForTick(clock);
    const QString expected = shown->text();

    QVERIFY(clickKopieren(rightClick(shown)));
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
}

void TestCopy::tickWhileTheMenuIsOpenDoesNotChangeTheCopy()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QLabel *clock = label(window, QStringLiteral("showNormalTime"));
    waitForTick(clock);
    const QString rightClicked = clock->text();

    QMenu *menu = rightClick(clock);
    QVERIFY(menu);
    QTRY_VERIFY_WITH_TIMEOUT(clock->text() != rightClicked, 3000);
    QVERIFY(clickKopieren(menu));
    QCOMPARE(QGuiApplication::clipboard()->text(), rightClicked);
}

void TestCopy::resultLineIsCopiedWithoutCaption_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");

    const QStringList toStardate{ "checkBox_2", "checkBox", "checkBox_3" };
    QTest::newRow("own-format stardate of a date")
        << "05.12.2013 12:00" << toStardate << "label_7" << "201312,0512";
    QTest::newRow("formula stardate of a date")
        << "05.12.2013 12:00" << toStardate << "label_8" << "-147073.234375";
    QTest::newRow("date of an own-format stardate")
        << "201312,0512" << QStringList{ "checkBox_4", "checkBox" } << "label_7" << "05.12.2013 12:00";
    QTest::newRow("date of a formula stardate")
        << "2500" << QStringList{ "checkBox_4", "checkBox_3" } << "label_8" << "02.07.2163 15:00";
}

void TestCopy::resultLineIsCopiedWithoutCaption()
{
    QFETCH(QString, input);
    QFETCH(QStringList, boxes);
    QFETCH(QString, line);
    QFETCH(QString, expected);
    Compute dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    convert(&dialog, input, boxes);
    QVERIFY(label(dialog, line)->text().endsWith(QLatin1String(": ") + expected));

    QVERIFY(clickKopieren(rightClick(label(dialog, line))));
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
}

void TestCopy::nothingToCopyOffersNothing_data()
{
    QTest::addColumn<bool>("inClock");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("line");

    QTest::newRow("clock before its first tick") << true << QString() << "otherFormat";
    QTest::newRow("result line before any conversion") << false << QString() << "label_7";
    QTest::newRow("result line of a stardate that is no date") << false << "201313,0512" << "label_7";
}

void TestCopy::nothingToCopyOffersNothing()
{
    QFETCH(bool, inClock);
    QFETCH(QString, input);
    QFETCH(QString, line);
    QScopedPointer<QWidget> window(inClock ? static_cast<QWidget *>(new MainWindow) : new Compute);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.data()));
    if (!input.isEmpty())
        convert(static_cast<Compute *>(window.data()), input, { "checkBox_4", "checkBox" });

    QVERIFY(!clickKopieren(rightClick(label(*window, line))));
    QCOMPARE(QGuiApplication::clipboard()->text(), untouched);
}

void TestCopy::onlyTheLeftButtonDragsFromAValue()
{
    MainWindow window;
    window.move(200, 150);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWindow *handle = window.windowHandle();
    const QLabel *value = label(window, QStringLiteral("myFormat"));
    const QPoint grip = value->mapTo(&window, value->rect().center());
    const QPoint offset(37, -21);

    QTest::mousePress(handle, Qt::RightButton, Qt::NoModifier, grip);
    QVERIFY(QApplication::activePopupWidget());
    QApplication::activePopupWidget()->close();
    QTest::mouseMove(handle, grip + offset);
    QTest::mouseRelease(handle, Qt::RightButton, Qt::NoModifier, grip + offset);
    QCOMPARE(window.pos(), QPoint(200, 150));

    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(handle, grip + offset);
    QCOMPARE(window.pos(), QPoint(200, 150) + offset);
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip);
}

QTEST_MAIN(TestCopy)
#include "tst_copy.moc"
