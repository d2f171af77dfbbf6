#include "mainwindow.h"
#include "qtgerman.h"
#include "startup.h"
#include "windowslook.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    drawPlainlyOnX11();
    followScreenDensity();
    QApplication app(argc, argv);
    useGermanQtTexts();
    useWindowsLook();
    QSplashScreen *splash = showSplash();
    MainWindow window;
    handOver(splash, &window);
    return app.exec();
}
