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
    QTimer::singleShot(splashCloseDelayMs, splash, SLOT(close()));
    QTimer::singleShot(mainWindowDelayMs, mainWindow, SLOT(show()));
}
