#include "mainwindow.h"
#include "startup.h"
#include "windowslook.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    drawPlainlyOnX11();
    followScreenDensity();
    QApplication app(argc, argv);
    useWindowsLook();
    QSplashScreen *splash = showSplash();
    MainWindow window;
    handOver(splash, &window);
    return app.exec();
}
