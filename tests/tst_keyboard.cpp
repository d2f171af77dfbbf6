#include "mainwindow.h"
#include "windowslook.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace {

QWidget *activeWindow()
{
    return QApplication::activeWindow();
}

// What the focused control says to a user: a button's or box's caption, or "[input]".
QString focused()
{
    const QWidget *focus = QApplication::focusWidget();
    if (const auto *button = qobject_cast<const QAbstractButton *>(focus))
        return button->text();
    if (qobject_cast<const QLineEdit *>(focus))
        return QStringLiteral("[input]");
    return focus ? focus->objectName() : QStringLiteral("[none]");
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : activeWindow(), key, modifiers);
}

// The controls that Tab visits from the one focused now, once round.
QStringList tabRound(Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QStringList round{focused()};
    for (int i = 0; i < 10; ++i) {
        press(Qt::Key_Tab, modifiers);
        if (focused() == round.first())
            break;
        round << focused();
    }
    return round;
}

QImage shot(QWidget *widget)
{
    return widget->grab().toImage();
}

} // namespace

// The program used with the keyboard alone: every control is reached and shows that it has
// the focus, and a date is converted without the mouse.
class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useWindowsLook(); }
    void walksEveryWindowWithoutAMouse();
    void focusedControlsLookFocused_data();
    void focusedControlsLookFocused();
};

void TestKeyboard::walksEveryWindowWithoutAMouse()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(tabRound(), QStringList({"Berechnen", "Info", "Schließen"}));
    QCOMPARE(tabRound(Qt::ShiftModifier), QStringList({"Berechnen", "Schließen", "Info"}));

    press(Qt::Key_Space);
    QTRY_COMPARE(activeWindow()->objectName(), QStringLiteral("Compute"));
    QWidget *dialog = activeWindow();
    QCOMPARE(tabRound(), QStringList({"[input]", "Datum->Sternzeit", "Sternzeit->Datum", "Mein Format",
                                      "Nach der Formel", "Berechnen", "Schließen"}));
    QCOMPARE(tabRound(Qt::ShiftModifier), QStringList({"[input]", "Schließen", "Berechnen", "Nach der Formel",
                                                       "Mein Format", "Sternzeit->Datum", "Datum->Sternzeit"}));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("05.12.2013 12:00"));
    for (const char *option : {"Datum->Sternzeit", "Mein Format", "Nach der Formel"}) {
        while (focused() != QString::fromUtf8(option))
            press(Qt::Key_Tab);
        press(Qt::Key_Space);
        QVERIFY2(qobject_cast<QAbstractButton *>(QApplication::focusWidget())->isChecked(), option);
    }
    press(Qt::Key_Tab);
    QCOMPARE(focused(), QStringLiteral("Berechnen"));
    press(Qt::Key_Return);
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("label_7"))->text(), QStringLiteral("Mein Format: 201312,0512"));
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("label_8"))->text(),
             QStringLiteral("Anderes Format: -147073.234375"));

    press(Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    // The window system hands the keyboard back to the clock, as a desktop does.
    window.activateWindow();
    QTRY_COMPARE(activeWindow(), &window);
    while (focused() != QLatin1String("Info"))
        press(Qt::Key_Tab);
    press(Qt::Key_Space);
    QTRY_COMPARE(activeWindow()->objectName(), QStringLiteral("About"));
    QWidget *about = activeWindow();
    QCOMPARE(tabRound(), QStringList({"Schließen"}));
    press(Qt::Key_Return);
    QVERIFY(!about->isVisible());
}

void TestKeyboard::focusedControlsLookFocused_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("tabs"); // from the input, where the dialog starts
    // The buttons' frame is their sheet's; these draw theirs on the window's black.
    const char *controls[] = {"[input]", "Datum->Sternzeit", "Sternzeit->Datum", "Mein Format", "Nach der Formel"};
    for (int tabs = 0; tabs < 5; ++tabs)
        QTest::newRow(controls[tabs]) << QString::fromUtf8(controls[tabs]) << tabs;
}

// Reached by Tab, the input and each box stand out clearly from how they look without the focus.
void TestKeyboard::focusedControlsLookFocused()
{
    QFETCH(QString, caption);
    QFETCH(int, tabs);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    press(Qt::Key_Space);
    QTRY_COMPARE(activeWindow()->objectName(), QStringLiteral("Compute"));
    for (int i = 0; i < tabs; ++i)
        press(Qt::Key_Tab);
    QCOMPARE(focused(), caption);
    QWidget *control = QApplication::focusWidget();
    const QImage withFocus = shot(control);
    press(Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != control);
    const QImage without = shot(control);
    QCOMPARE(without.size(), withFocus.size());
    int changed = 0;
    for (int y = 0; y < without.height(); ++y) {
        for (int x = 0; x < without.width(); ++x)
            changed += qAbs(qGray(withFocus.pixel(x, y)) - qGray(without.pixel(x, y))) > 100 ? 1 : 0;
    }
    QVERIFY2(changed >= 30, qPrintable(QStringLiteral("%1: %2 pixels change").arg(caption).arg(changed)));
    activeWindow()->close();
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
