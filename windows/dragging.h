#ifndef DRAGGING_H
#define DRAGGING_H

#include <QPoint>

class QMouseEvent;
class QWidget;

// A frameless window has no title bar to grab, so it follows the cursor itself while the left
// button is held, or on Wayland has the compositor move it. Each window keeps the offset of the
// last left press in its own dragPosition and hands its two mouse handlers over to these.

// On a left press: remember where in the window the cursor grabbed it.
void startDrag(const QWidget *window, QMouseEvent *event, QPoint *dragPosition);

// On a move with the left button held: keep the grabbed point under the cursor.
void continueDrag(QWidget *window, QMouseEvent *event, const QPoint &dragPosition);

#endif // DRAGGING_H
