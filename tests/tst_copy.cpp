#include "compute.h"
#include "mainwindow.h"
#include "qtgerman.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
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

// Clicks the menu's one entry, which must be "Kopieren", and tells what the entry offered.
QString clickKopieren(QMenu *menu)
{
    if (!menu || menu->actions().size() != 1 || menu->actions().first()->text() != QLatin1String("Kopieren"))
        return QStringLiteral("no menu of just Kopieren");
    QAction *copy = menu->actions().first();
    QString offered = copy->isEnabled() ? QStringLiteral("copies") : QStringLiteral("greyed out");
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(copy).center());
    if (menu->isVisible())
        menu->close();
    return offered;
}

void convert(Compute *dialog, const QString &input, const QStringList &boxes)
{
    QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit")), input);
    for (const QString &name : boxes) {
        QCheckBox *box = dialog->findChild<QCheckBox *>(name);
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator.center());
    }
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Computes")), Qt::LeftButton);
}

} // namespace

class TestCopy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useGermanQtTexts(); }
    void init() { QGuiApplication::clipboard()->setText(untouched); }
    void inputMenuSpeaksGerman();
    void resultLineIsSelectableWithTheMouse();
    void clockCopiesWhatWasRightClicked_data();
    void clockCopiesWhatWasRightClicked();
    void resultLineIsCopiedWithoutCaption_data();
    void resultLineIsCopiedWithoutCaption();
};

void TestCopy::clockCopiesWhatWasRightClicked_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("afterATick");
    QTest::newRow("current time") << "showNormalTime" << true;
    QTest::newRow("own-format stardate") << "myFormat" << true;
    QTest::newRow("formula stardate") << "otherFormat" << true;
    QTest::newRow("nothing before the first tick") << "otherFormat" << false;
}

// The clock ticks while the menu is open; what is copied is what was right-clicked.
void TestCopy::clockCopiesWhatWasRightClicked()
{
    QFETCH(QString, value);
    QFETCH(bool, afterATick);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QLabel *shown = label(window, value);
    QLabel *clock = label(window, QStringLiteral("showNormalTime"));
    // Right after a tick, so that the value read now still stands when the click has gone through.
    if (afterATick) {
        QTRY_VERIFY_WITH_TIMEOUT(!clock->text().isEmpty(), 3000);
        const QString first = clock->text();
        QTRY_VERIFY_WITH_TIMEOUT(clock->text() != first, 3000);
    }
    const QString rightClicked = shown->text();
    const QString time = clock->text();

    QMenu *menu = rightClick(shown);
    QVERIFY(menu);
    QTRY_VERIFY_WITH_TIMEOUT(clock->text() != time, 3000);
    QCOMPARE(clickKopieren(menu), QString(afterATick ? "copies" : "greyed out"));
    QCOMPARE(QGuiApplication::clipboard()->text(), afterATick ? rightClicked : untouched);
}

// An empty value is a line that has nothing to copy.
void TestCopy::resultLineIsCopiedWithoutCaption_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("value");

    const QStringList toStardate{ "checkBox_2", "checkBox", "checkBox_3" };
    const QStringList fromOwn{ "checkBox_4", "checkBox" };
    QTest::newRow("own-format stardate of a date") << "05.12.2013 12:00" << toStardate << "label_7" << "201312,0512";
    QTest::newRow("formula stardate of a date") << "05.12.2013 12:00" << toStardate << "label_8" << "-147073.234375";
    QTest::newRow("date of an own-format stardate") << "201312,0512" << fromOwn << "label_7" << "05.12.2013 12:00";
    QTest::newRow("date of a formula stardate")
        << "2500" << QStringList{ "checkBox_4", "checkBox_3" } << "label_8" << "02.07.2163 15:00";
    QTest::newRow("nothing before any conversion") << QString() << QStringList() << "label_7" << QString();
    QTest::newRow("nothing for a stardate that is no date") << "201313,0512" << fromOwn << "label_7" << QString();
}

void TestCopy::resultLineIsCopiedWithoutCaption()
{
    QFETCH(QString, input);
    QFETCH(QStringList, boxes);
    QFETCH(QString, line);
    QFETCH(QString, value);
    Compute dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    if (!input.isEmpty())
        convert(&dialog, input, boxes);
    if (!value.isEmpty())
        QVERIFY(label(dialog, line)->text().endsWith(QLatin1String(": ") + value));

    QCOMPARE(clickKopieren(rightClick(label(dialog, line))), QString(value.isEmpty() ? "greyed out" : "copies"));
    QCOMPARE(QGuiApplication::clipboard()->text(), value.isEmpty() ? untouched : value);
}

// A result line is marked by dragging across it, and Ctrl+C copies what is marked.
void TestCopy::resultLineIsSelectableWithTheMouse()
{
    Compute dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    convert(&dialog, QStringLiteral("05.12.2013 12:00"), {"checkBox_2", "checkBox", "checkBox_3"});
    QLabel *line = label(dialog, QStringLiteral("label_8"));
    QWindow *window = dialog.windowHandle();
    const QPoint start = line->mapTo(&dialog, QPoint(0, line->height() / 2));
    const QPoint end = start + QPoint(line->width() - 1, 0);
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(window, (start + end) / 2);
    QTest::mouseMove(window, end);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, end);
    QCOMPARE(line->selectedText(), QStringLiteral("Anderes Format: -147073.234375"));
    QTest::keyClick(line, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Anderes Format: -147073.234375"));
}

// The input's own menu, as the program shows it with Qt's German catalogue.
void TestCopy::inputMenuSpeaksGerman()
{
    Compute dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QMenu *menu = rightClick(dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit")));
    QVERIFY(menu);
    QStringList entries;
    for (const QAction *action : menu->actions()) {
        if (!action->isSeparator())
            entries << action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
    }
    menu->close();
    QCOMPARE(entries.size(), 7);
    for (const char *english : {"Undo", "Redo", "Cut", "Copy", "Paste", "Delete", "Select All"})
        QVERIFY2(!entries.contains(QLatin1String(english)), qPrintable(entries.join(", ")));
    QVERIFY2(entries.contains("Kopieren") && entries.contains("Einfügen"), qPrintable(entries.join(", ")));
}

QTEST_MAIN(TestCopy)
#include "tst_copy.moc"
