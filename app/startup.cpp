#include "startup.h"

#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

namespace {
const int mainWindowDelayMs = 950;
const int splashCloseDelayMs = 1100;
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
    // A coarse timer may fire a few percent early; precise ones keep the hand-over on its times.
    QTimer::singleShot(splashCloseDelayMs, Qt::PreciseTimer, splash, SLOT(close()));
    QTimer::singleShot(mainWindowDelayMs, Qt::PreciseTimer, mainWindow, SLOT(show()));
}
