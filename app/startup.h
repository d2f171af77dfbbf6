#ifndef STARTUP_H
#define STARTUP_H

class QSplashScreen;
class QWidget;

// Keeps Qt's X11 platform from loading a GL driver that nothing in the program uses; call it
// before the application object is made.
void leaveOutOpenGl();

// Puts the splash picture on the screen, frameless and above other windows.
QSplashScreen *showSplash();

// Shows the main window after 950 ms and takes the splash away at 1100 ms, so the two overlap
// briefly. The splash is released once it has closed.
void handOver(QSplashScreen *splash, QWidget *mainWindow);

#endif // STARTUP_H
