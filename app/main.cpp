#include "mainwindow.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QSplashScreen *splash = showSplash();
    MainWindow window;
    handOver(splash, &window);
    return app.exec();
}
