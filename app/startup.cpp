#include "startup.h"

#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

namespace {
const int mainWindowDelayMs = 950;
const int splashCloseDelayMs = 1100;
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
    splash->setPixmap(QPixmap(QStringLiteral(":/Bilder/Splashscreen.png")));
    splash->show();
    return splash;
}

void handOver(QSplashScreen *splash, QWidget *mainWindow)
{
    QTimer::singleShot(splashCloseDelayMs, splash, SLOT(close()));
    QTimer::singleShot(mainWindowDelayMs, mainWindow, SLOT(show()));
}
