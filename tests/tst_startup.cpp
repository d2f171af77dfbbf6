#include "mainwindow.h"
#include "startup.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSplashScreen>
#include <QtTest>

// Records when the main window comes up and the splash goes, counted from the hand-over, and what
// the main window's clock label shows at that moment.
class HandOverWatcher : public QObject
{
public:
    QString clockTextWhenShown = QStringLiteral("not shown");
    QElapsedTimer sinceHandOver;
    qint64 shownAfterMs = -1;
    qint64 splashClosedAfterMs = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (qobject_cast<QSplashScreen *>(watched)) {
            if (event->type() == QEvent::Close)
                splashClosedAfterMs = sinceHandOver.elapsed();
        } else if (event->type() == QEvent::Show && shownAfterMs < 0) {
            shownAfterMs = sinceHandOver.elapsed();
            clockTextWhenShown = watched->findChild<QLabel *>(QStringLiteral("showNormalTime"))->text();
        }
        return false;
    }
};

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void splashHandsOverToTheMainWindow();
    void splashIsOnTheScreenBeforeTheMainWindowIsBuilt();
    void pressOnTheSplashHidesItEarly();
    void closingTheMainWindowEndsTheProgramWithZero();
    void openGlIsLeftOutUnlessTheUserChoseAnIntegration_data();
    void openGlIsLeftOutUnlessTheUserChoseAnIntegration();
};

void TestStartup::splashHandsOverToTheMainWindow()
{
    QPointer<QSplashScreen> splash = showSplash();
    MainWindow window;
    HandOverWatcher watcher;
    window.installEventFilter(&watcher);
    splash->installEventFilter(&watcher);
    watcher.sinceHandOver.start();
    handOver(splash, &window);

    QVERIFY(splash->isVisible());
    QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(splash->pixmap().size(), QSize(300, 225));
    QVERIFY(!window.isVisible());

    // Both come on time or a little late (more so under a sanitizer or a busy machine), never early
    // and never as late as a quarter second after the next step.
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 2000);
    QVERIFY2(watcher.shownAfterMs >= 950 && watcher.shownAfterMs < 1250, qPrintable(QString::number(watcher.shownAfterMs)));
    // The window comes up just before the clock's first tick, with its value labels still empty.
    QCOMPARE(watcher.clockTextWhenShown, QString());
    QVERIFY(!splash.isNull() && splash->isVisible());

    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2000);
    QVERIFY2(watcher.splashClosedAfterMs >= 1100 && watcher.splashClosedAfterMs < 1400,
             qPrintable(QString::number(watcher.splashClosedAfterMs)));
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("showNormalTime"))->text().isEmpty());
    QVERIFY(window.isVisible());
}

void TestStartup::splashIsOnTheScreenBeforeTheMainWindowIsBuilt()
{
    const std::unique_ptr<QSplashScreen> splash(showSplash());
    // What the screen shows of the splash window, read before the main window exists.
    const QImage onScreen = splash->screen()->grabWindow(splash->winId()).toImage();
    MainWindow window;

    QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
             QImage(QStringLiteral(":/Bilder/Splashscreen.png")).convertToFormat(QImage::Format_RGB32));
}

void TestStartup::pressOnTheSplashHidesItEarly()
{
    QPointer<QSplashScreen> splash = showSplash();
    MainWindow window;
    handOver(splash, &window);

    QTest::mouseClick(splash, Qt::LeftButton);
    QVERIFY(!splash->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2000);
}

void TestStartup::closingTheMainWindowEndsTheProgramWithZero()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Info")), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Compute")), Qt::LeftButton);
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(), [](QWidget *w) { return w->isVisible(); }), 3);

    QTimer::singleShot(0, &window, [&window] {
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Schliessen")), Qt::LeftButton);
    });
    QCOMPARE(QApplication::exec(), 0);
    for (QWidget *widget : QApplication::topLevelWidgets())
        QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
}

void TestStartup::openGlIsLeftOutUnlessTheUserChoseAnIntegration_data()
{
    QTest::addColumn<QByteArray>("usersChoice"); // null: not set
    QTest::addColumn<QByteArray>("integration");
    QTest::newRow("not set: none") << QByteArray() << QByteArray("none");
    QTest::newRow("the user's GLX") << QByteArray("xcb_glx") << QByteArray("xcb_glx");
    QTest::newRow("the user's EGL") << QByteArray("xcb_egl") << QByteArray("xcb_egl");
}

// The variable is what the function reads and writes; it is restored afterwards.
void TestStartup::openGlIsLeftOutUnlessTheUserChoseAnIntegration()
{
    QFETCH(QByteArray, usersChoice);
    QFETCH(QByteArray, integration);
    const auto setOrUnset = [](const QByteArray &value) {
        if (value.isNull())
            qunsetenv("QT_XCB_GL_INTEGRATION");
        else
            qputenv("QT_XCB_GL_INTEGRATION", value);
    };
    const QByteArray outside = qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")
                                   ? qgetenv("QT_XCB_GL_INTEGRATION") : QByteArray();
    setOrUnset(usersChoice);
    drawPlainlyOnX11();
    const QByteArray result = qgetenv("QT_XCB_GL_INTEGRATION");
    setOrUnset(outside);
    QCOMPARE(result, integration);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
