#ifndef STARTUP_H
#define STARTUP_H

class QSplashScreen;
class QWidget;

// Lets Qt 5 scale the windows to the screen's pixel density, on Windows exactly at the display
// scale the user chose, and draw pictures from their "@2x" twins, as Qt 6 does by itself. Must
// come before the application object.
void followScreenDensity();

// Keeps Qt's X11 platform from setting up what the program's few small paints do not need: a GL
// driver and shared-memory images. Call it before the application object is made; a user's own
// setting of either wins.
void drawPlainlyOnX11();

// Puts the splash picture on the screen, frameless and above other windows, and returns once it
// has been painted there (or after a quarter of a second at most).
QSplashScreen *showSplash();

// Shows the main window after 950 ms and takes the splash away at 1100 ms, so the two overlap
// briefly. The splash is released once it has closed.
void handOver(QSplashScreen *splash, QWidget *mainWindow);

#endif // STARTUP_H
