#include "startup.h"

#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

namespace {
const int mainWindowDelayMs = 950;
const int splashCloseDelayMs = 1100;
}

void leaveOutOpenGl()
{
    // Every window here is drawn by the raster engine, yet on X11 Qt sets up its GL integration
    // for the first window and so loads a GL driver: without a GPU, as under a virtual X server,
    // a software one of some 50 MiB resident, whose loading is most of the time before the
    // splash can be painted. A user who asks for an integration of their own keeps it.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
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
