#include "startup.h"

#include "artwork.h"

#include <QCoreApplication>
#include <QSplashScreen>
#include <QTimer>

namespace {
const int mainWindowDelayMs = 950;
const int splashCloseDelayMs = 1100;
}

void followScreenDensity()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#endif
}

QSplashScreen *showSplash()
{
    auto *splash = new QSplashScreen;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->setWindowFlags(Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    splash->setWindowIcon(programIcon());
    splash->setPixmap(picture(QStringLiteral(":/Bilder/Splashscreen.png")));
    splash->show();
    return splash;
}

void handOver(QSplashScreen *splash, QWidget *mainWindow)
{
    // A coarse timer may fire a few percent early; precise ones keep the hand-over on its times.
    QTimer::singleShot(splashCloseDelayMs, Qt::PreciseTimer, splash, SLOT(close()));
    QTimer::singleShot(mainWindowDelayMs, Qt::PreciseTimer, mainWindow, SLOT(show()));
}
