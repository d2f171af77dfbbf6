#ifndef BRINGTOFRONT_H
#define BRINGTOFRONT_H

class QWidget;

// Shows a window that is asked for again where it was left, also from minimized, in front of
// the others and with the keyboard focus.
void bringToFront(QWidget *window);

#endif // BRINGTOFRONT_H
