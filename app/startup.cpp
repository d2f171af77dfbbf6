#include "startup.h"

#include "artwork.h"
#include "nativedesktop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QSplashScreen>
#include <QTimer>

namespace {

const char splashPicture[] = ":/Bilder/Splashscreen.png";
const int mainWindowDelayMs = 950;
const int splashCloseDelayMs = 1100;
// A window system that never shows the splash holds up the start no longer than this.
const int splashPaintWaitMs = 250;

// Handles the events of the start until the widget it watches has been painted.
class FirstPaintWait : public QObject
{
public:
    explicit FirstPaintWait(QWidget *widget) { widget->installEventFilter(this); }

    // A window system that paints a window while showing it has done so already.
    void exec(int mostMs)
    {
        if (painted)
            return;
        QTimer::singleShot(mostMs, &loop, &QEventLoop::quit);
        loop.exec();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted = true;
            loop.quit();
        }
        return false;
    }

private:
    QEventLoop loop;
    bool painted = false;
};

} // namespace

void followScreenDensity()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    // Windows reports the scale its user chose for a display, 125 % or 150 % as well as 200 %,
    // and the windows follow it exactly, as Qt 6 lets them everywhere. Elsewhere Qt 5 makes a
    // scale up from the screen's measured size where the desktop sets none (4 % too large under
    // Xvfb), which only rounding keeps at 1; a desktop's own fractional scale reaches it there
    // through QT_SCREEN_SCALE_FACTORS, which is taken as it is.
    if (desktopReportsChosenScale())
        QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
#endif
}

void drawPlainlyOnX11()
{
    // Every window here is drawn by the raster engine, yet on X11 Qt sets up its GL integration
    // for the first window and so loads a GL driver: without a GPU, as under a virtual X server,
    // a software one of some 50 MiB resident, whose loading is most of the time before the
    // splash can be painted. A user who asks for an integration of their own keeps it.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    // Once a second the clock repaints one line of text, some 30 KB of pixels. Handed over in
    // shared memory, each paint also brings a completion event back from the X server, which
    // wakes the program's X event thread and then its main thread again; sent through the
    // connection itself, the same pixels wake nobody.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
}

QSplashScreen *showSplash()
{
    auto *splash = new QSplashScreen;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->setWindowFlags(Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    splash->setPixmap(picture(QLatin1String(splashPicture), splash));
    // The window system asks for the first paint with an event once it has put the window on the
    // screen. Handled here, before the main window is built, it brings the picture up at once;
    // left to the event loop, it would wait for the whole main window.
    FirstPaintWait firstPaint(splash);
    splash->show();
    firstPaint.exec(splashPaintWaitMs);
    // The icon's sizes are read and handed over while the picture is already up.
    splash->setWindowIcon(programIcon());
    return splash;
}

void handOver(QSplashScreen *splash, QWidget *mainWindow)
{
    // A coarse timer may fire a few percent early; precise ones keep the hand-over on its times.
    QTimer::singleShot(splashCloseDelayMs, Qt::PreciseTimer, splash, SLOT(close()));
    QTimer::singleShot(mainWindowDelayMs, Qt::PreciseTimer, mainWindow, SLOT(show()));
}
