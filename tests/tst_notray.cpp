#include "mainwindow.h"

#include <QSystemTrayIcon>
#include <QtTest>

// Where the desktop offers no tray (here: no window system at all), the program is the clock
// window alone, and it ends when its last window closes.
class TestNoTray : public QObject
{
    Q_OBJECT

private slots:
    void noIconAndTheLastWindowStillEndsTheProgram();
};

void TestNoTray::noIconAndTheLastWindowStillEndsTheProgram()
{
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!window.findChild<QSystemTrayIcon *>());
    QVERIFY(QApplication::quitOnLastWindowClosed());
}

QTEST_MAIN(TestNoTray)
#include "tst_notray.moc"
