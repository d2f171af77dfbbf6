#include "mainwindow.h"
#include "startup.h"
#include "windowslook.h"

#include <QPointer>
#include <QPushButton>
#include <QSplashScreen>
#include <QtTest>

// The program's start-up as main() runs it, on the Wayland platform against a real compositor
// (with_weston.sh starts one): its windows are shown once the compositor has configured their
// surfaces, so exposure here means the compositor has taken them.
class TestWayland : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void splashThenMainWindowThenExitCodeZero();
};

void TestWayland::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
}

void TestWayland::splashThenMainWindowThenExitCodeZero()
{
    useWindowsLook();
    QPointer<QSplashScreen> splash = showSplash();
    MainWindow window;
    handOver(splash, &window);

    QVERIFY(QTest::qWaitForWindowExposed(splash));
    QVERIFY(!window.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 2000);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2000);

    // The compositor moves a window itself; one that placed itself would have moved here.
    const QPoint start = window.pos();
    QWindow *handle = window.windowHandle();
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, QPoint(3, window.height() / 2));
    QTest::mouseMove(handle, QPoint(40, window.height() / 2 - 20));
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, QPoint(40, window.height() / 2 - 20));
    QCOMPARE(window.pos(), start);

    QTimer::singleShot(0, &window, [&window] {
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Schliessen")), Qt::LeftButton);
    });
    QCOMPARE(QApplication::exec(), 0);
}

QTEST_MAIN(TestWayland)
#include "tst_wayland.moc"
