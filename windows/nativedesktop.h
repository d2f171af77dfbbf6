#ifndef NATIVEDESKTOP_H
#define NATIVEDESKTOP_H

class QWidget;

// What the Windows desktop knows that Qt does not pass on by itself. Elsewhere both do nothing.

// Whether the desktop reports the display scale its user chose (Windows), rather than one
// measured from the screen's size.
bool desktopReportsChosenScale();

// Gives a frameless window the minimize box and the window menu of its native window once that
// exists, which Qt leaves out without a title bar: so its taskbar button minimizes and restores
// it and opens the window menu, and Win+Down minimizes it. Qt's window flags stay as they are,
// and nothing is drawn.
void addTaskbarControls(QWidget *window);

#endif // NATIVEDESKTOP_H
