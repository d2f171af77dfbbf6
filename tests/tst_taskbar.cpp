#include "patterns.h"
#include "shownwindow.h"
#include "trayicon.h"

#include <QLabel>
#include <QtTest>

#include <windows.h>

// On the Windows platform, under Wine here: Qt knows the windows as frameless only, yet each
// native window carries the minimize box and the window menu that its taskbar button needs, the
// clock comes back from the taskbar showing this moment, and a minimized window comes back when
// asked for.
class TestTaskbar : public QObject
{
    Q_OBJECT

private slots:
    void windowsCarryMinimizeBoxAndMenu_data();
    void windowsCarryMinimizeBoxAndMenu();
    void clockRestoredShowsTheTimeAtOnce();
    void minimizedWindowsComeBackWhenAskedFor();
};

void TestTaskbar::windowsCarryMinimizeBoxAndMenu_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("main window") << "MainWindow";
    QTest::newRow("info dialog") << "About";
    QTest::newRow("conversion dialog") << "Compute";
}

void TestTaskbar::windowsCarryMinimizeBoxAndMenu()
{
    QFETCH(QString, window);
    const std::unique_ptr<QWidget> shown = shownWindow(window);
    QVERIFY(shown);
    QCOMPARE(shown->windowFlags(), Qt::Window | Qt::FramelessWindowHint);
    // Box and menu, but still neither title bar nor frame.
    const LONG_PTR style = GetWindowLongPtrW(reinterpret_cast<HWND>(shown->winId()), GWL_STYLE);
    QCOMPARE(style & (WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION | WS_THICKFRAME), LONG_PTR(WS_MINIMIZEBOX | WS_SYSMENU));
}

// A minimized window's timer may be held back by the system, as it is stopped here.
void TestTaskbar::clockRestoredShowsTheTimeAtOnce()
{
    const std::unique_ptr<QWidget> clock = shownWindow(QStringLiteral("MainWindow"));
    QVERIFY(clock);
    const QLabel *time = clock->findChild<QLabel *>(QStringLiteral("showNormalTime"));
    const auto secondsBehind = [time] {
        const QDateTime shown = QDateTime::fromString(time->text(), QLatin1String(clockPattern));
        return shown.isValid() ? shown.secsTo(QDateTime::currentDateTime()) : -1;
    };
    QTRY_VERIFY(secondsBehind() >= 0);
    const auto hwnd = reinterpret_cast<HWND>(clock->winId());
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    QTRY_VERIFY(clock->isMinimized());
    clock->findChild<QTimer *>()->stop();
    QTRY_VERIFY(secondsBehind() >= 2);

    SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    QTRY_VERIFY(!clock->isMinimized());
    QVERIFY2(secondsBehind() <= 1, qPrintable(time->text()));
}

// Minimized as their taskbar buttons do, the dialogs come back by the clock's buttons, and the
// clock by the tray menu's first entry.
void TestTaskbar::minimizedWindowsComeBackWhenAskedFor()
{
    const std::unique_ptr<QWidget> clock = shownWindow(QStringLiteral("MainWindow"));
    QVERIFY(clock);
    TrayIcon tray(clock.get());
    QMenu *menu = tray.contextMenu();
    for (const auto &[opener, kind] : {std::pair("Info", "About"), {"Berechnen", "Compute"}, {"", "MainWindow"}}) {
        const bool isClock = clock->inherits(kind);
        if (!isClock)
            click(captioned(clock.get(), QString::fromUtf8(opener)));
        QTRY_VERIFY2(visibleWindow(kind), kind);
        QWidget *window = visibleWindow(kind);
        const auto hwnd = reinterpret_cast<HWND>(window->winId());
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        QTRY_VERIFY2(window->isMinimized() && IsIconic(hwnd), kind);
        if (isClock)
            choose(menu, menu->actions().constFirst());
        else
            click(captioned(clock.get(), QString::fromUtf8(opener)));
        QTRY_VERIFY2(!window->isMinimized() && !IsIconic(hwnd) && IsWindowVisible(hwnd), kind);
    }
}

QTEST_MAIN(TestTaskbar)
#include "tst_taskbar.moc"
