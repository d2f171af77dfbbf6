#include "bringtofront.h"

#include <QWidget>

void bringToFront(QWidget *window)
{
    // show() leaves a minimized window minimized, on the taskbar only; it comes back as it was
    // before, maximized or not.
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
