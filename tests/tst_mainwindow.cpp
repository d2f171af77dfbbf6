#include "patterns.h"
#include "shownwindow.h"
#include "stardate.h"
#include "tickpace.h"
#include "trayicon.h"
#include "valuelabel.h"

#include <QClipboard>
#include <QLabel>
#include <QSystemTrayIcon>

// Counts the requests for a new layout that reach a widget.
struct LayoutRequests : QObject
{
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::LayoutRequest ? 1 : 0;
        return false;
    }
};

// The clock: what it shows each second, its dialogs, copy menus and end, and the whole program
// walked with the keyboard from it.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        window = std::make_unique<MainWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    void cleanup() { window.reset(); }

    // Its slots are the three its form and timer connect to; a panel is followed without one.
    void slotsAreTheThreeOfTheForm()
    {
        QStringList slotNames;
        const QMetaObject &meta = MainWindow::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            if (meta.method(i).methodType() == QMetaMethod::Slot)
                slotNames << QString::fromLatin1(meta.method(i).name());
        }
        QCOMPARE(slotNames, QStringList({"showTimes", "showInfo", "showCompute"}));
    }

    // From any millisecond of a second, late or set back: into the next, within 20 ms of its start.
    void nextTickLandsJustAfterTheNextSecond()
    {
        for (int msPastSecond = 0; msPastSecond < 1000; ++msPastSecond) {
            const int landsAt = msPastSecond + nextTickInterval(msPastSecond);
            QVERIFY2(landsAt > 1000 && landsAt <= 1020, qPrintable(QString::number(msPastSecond)));
        }
    }

    // A tick shows one moment in all three values, each below its caption, and sets the next tick
    // just after the next full second.
    void eachTickShowsOneMomentInAllThreeTexts()
    {
        waitForTick();
        const QTimer *timer = window->findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
        const int due = (QTime::currentTime().msec() + timer->remainingTime()) % 1000;
        QVERIFY2(due <= 20, qPrintable(QString::number(due)));
        const QString clock = value("showNormalTime")->text();
        const QDateTime shown = QDateTime::fromString(clock, QLatin1String(clockPattern));
        QVERIFY2(qAbs(shown.secsTo(QDateTime::currentDateTime())) <= 1, qPrintable(clock));
        const QDate date = shown.date();
        QCOMPARE(reading(window->centralWidget(), Qt::Vertical),
                 QStringList({"Aktuelle Zeit:", clock, "Mein Sternzeitformat:", ownStardateText(shown),
                              "Anderes Sternzeitformat:",
                              formulaStardateText(date.year(), date.dayOfYear(), shown.time().hour(), shown.time().minute()),
                              "Berechnen", "Info", "Schließen"}));
        // Once the values stand in their places, a new second asks for no new layout; a new minute
        // may, since the formula stardate's text can grow by a digit, so it is tried again then.
        waitForTick();
        LayoutRequests requests;
        window->centralWidget()->installEventFilter(&requests);
        for (QString formula; formula != value("otherFormat")->text();) {
            formula = value("otherFormat")->text();
            requests.count = 0;
            waitForTick();
            QCoreApplication::processEvents();
        }
        QCOMPARE(requests.count, 0);
    }

    // A value that grows wider than the room the layout first gave it (a stardate that gains
    // digits, a date-time in a wider font) gets the room it needs before the next tick.
    void aWiderValueIsShownWhole()
    {
        waitForTick();
        waitForTick();
        QLabel *formula = value("otherFormat");
        const QString wider = formula->text() + formula->text();
        showValue(formula, wider);
        QTRY_VERIFY_WITH_TIMEOUT(formula->text() == wider && formula->width() >= formula->sizeHint().width(), 500);
    }

    void dialogsComeBackWhereTheyWereLeft_data()
    {
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("dialogClass");
        QTest::newRow("Info") << "Info" << "About";
        QTest::newRow("Berechnen") << "Berechnen" << "Compute";
    }

    // However often its button is clicked, a dialog opens once, and it comes back where it was moved,
    // from closed or minimized.
    void dialogsComeBackWhereTheyWereLeft()
    {
        QFETCH(QString, opener);
        QFETCH(QString, dialogClass);
        for (int i = 0; i < 3; ++i)
            click(captioned(window.get(), opener));
        QWidget *dialog = visibleWindow(qPrintable(dialogClass));
        QVERIFY(dialog);
        dialog->move(dialog->pos() + QPoint(40, 30));
        const QPoint lastPosition = dialog->pos();
        click(captioned(dialog, QStringLiteral("Schließen")));
        QVERIFY(!dialog->isVisible());
        click(captioned(window.get(), opener));
        QCOMPARE(visibleWindow(qPrintable(dialogClass)), dialog);
        QCOMPARE(dialog->pos(), lastPosition);
        dialog->showMinimized();
        click(captioned(window.get(), opener));
        QVERIFY(dialog->isVisible() && !dialog->isMinimized());
        QCOMPARE(dialog->pos(), lastPosition);
    }

    // Minimized from its taskbar button, the clock is offered by the tray menu's first entry,
    // which brings it back maximized as it was.
    void trayMenuBringsTheMinimizedClockBack()
    {
        TrayIcon tray(window.get());
        window->showMaximized();
        window->showMinimized();
        QAction *first = tray.contextMenu()->actions().constFirst();
        QCOMPARE(first->text(), QStringLiteral("Uhr zeigen"));
        choose(tray.contextMenu(), first);
        QVERIFY(window->isVisible() && window->isMaximized() && !window->isMinimized());
        QCOMPARE(first->text(), QStringLiteral("Uhr verbergen"));
    }

    // Where the desktop has no tray, as here, the program is its windows alone: "Schließen" with
    // both dialogs open closes all three, and the program ends with 0.
    void closingEndsTheProgramWithZero()
    {
        QVERIFY(!window->findChild<QSystemTrayIcon *>());
        // Clicked through the window system, which would hold the second back for a modal dialog.
        for (const char *opener : {"Info", "Berechnen"}) {
            QAbstractButton *button = captioned(window.get(), QString::fromUtf8(opener));
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                              button->mapTo(window.get(), button->rect().center()));
        }
        QVERIFY(visibleWindow("About") && visibleWindow("Compute"));
        QTimer::singleShot(0, window.get(), [this] { click(captioned(window.get(), QStringLiteral("Schließen"))); });
        QCOMPARE(QApplication::exec(), 0);
        for (QWidget *widget : QApplication::topLevelWidgets())
            QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
    }

    void clockCopiesWhatWasRightClicked_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("afterATick");
        QTest::newRow("current time") << "showNormalTime" << true;
        QTest::newRow("own-format stardate") << "myFormat" << true;
        QTest::newRow("formula stardate") << "otherFormat" << true;
        QTest::newRow("nothing before the first tick") << "otherFormat" << false;
    }

    // The clock ticks while the menu is open; what is copied is what was right-clicked.
    void clockCopiesWhatWasRightClicked()
    {
        QFETCH(QString, name);
        QFETCH(bool, afterATick);
        QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
        // Right after a tick, so that the value read now still stands when the click has gone through.
        if (afterATick) {
            waitForTick();
            waitForTick();
        }
        const QString rightClicked = value(qPrintable(name))->text();
        QMenu *menu = rightClick(value(qPrintable(name)));
        waitForTick();
        QCOMPARE(clickKopieren(menu), QString(afterATick ? "copies" : "greyed out"));
        QCOMPARE(QGuiApplication::clipboard()->text(), afterATick ? rightClicked : QStringLiteral("untouched"));
    }

    // Every control is reached with Tab and Shift+Tab, and a date is converted without the mouse.
    void walksEveryWindowWithoutAMouse()
    {
        const auto tabRound = [](Qt::KeyboardModifiers modifiers) {
            QStringList round{focused()};
            for (press(Qt::Key_Tab, modifiers); focused() != round.first() && round.size() < 10; press(Qt::Key_Tab, modifiers))
                round << focused();
            return round.join(QLatin1String(", "));
        };
        QCOMPARE(tabRound(Qt::NoModifier), QStringLiteral("Berechnen, Info, Schließen"));
        QCOMPARE(tabRound(Qt::ShiftModifier), QStringLiteral("Berechnen, Schließen, Info"));
        press(Qt::Key_Space);
        QTRY_VERIFY(qobject_cast<Compute *>(QApplication::activeWindow()));
        QWidget *dialog = QApplication::activeWindow();
        QCOMPARE(tabRound(Qt::NoModifier), QStringLiteral("[input], Datum->Sternzeit, Sternzeit->Datum, Mein Format, "
                                                         "Nach der Formel, Berechnen, Schließen"));
        QCOMPARE(tabRound(Qt::ShiftModifier), QStringLiteral("[input], Schließen, Berechnen, Nach der Formel, "
                                                            "Mein Format, Sternzeit->Datum, Datum->Sternzeit"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("05.12.2013 12:00"));
        for (const char *option : {"Datum->Sternzeit", "Mein Format", "Nach der Formel"}) {
            tabTo(QString::fromUtf8(option));
            press(Qt::Key_Space);
            QVERIFY2(qobject_cast<QAbstractButton *>(QApplication::focusWidget())->isChecked(), option);
        }
        press(Qt::Key_Tab);
        QCOMPARE(focused(), QStringLiteral("Berechnen"));
        press(Qt::Key_Return);
        QCOMPARE(dialog->findChild<QLabel *>("label_8")->text(), QStringLiteral("Anderes Format: -147073.234375"));
        press(Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        // The window system hands the keyboard back to the clock, as a desktop does.
        window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), window.get());
        tabTo(QStringLiteral("Info"));
        press(Qt::Key_Space);
        QTRY_VERIFY(qobject_cast<About *>(QApplication::activeWindow()));
        QWidget *about = QApplication::activeWindow();
        QCOMPARE(tabRound(Qt::NoModifier), QStringLiteral("Schließen"));
        press(Qt::Key_Return);
        QVERIFY(!about->isVisible());
    }

private:
    QLabel *value(const char *name) const { return window->findChild<QLabel *>(QLatin1String(name)); }

    // Waits for the clock to show its next second, or its first.
    void waitForTick() const
    {
        const QString shown = value("showNormalTime")->text();
        QTRY_VERIFY_WITH_TIMEOUT(value("showNormalTime")->text() != shown, 3000);
    }

    std::unique_ptr<MainWindow> window;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
