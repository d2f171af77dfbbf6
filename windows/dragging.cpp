#include "dragging.h"

#include <QMouseEvent>
#include <QWidget>

void startDrag(const QWidget *window, QMouseEvent *event, QPoint *dragPosition)
{
    if (event->button() != Qt::LeftButton)
        return;
    *dragPosition = event->globalPos() - window->frameGeometry().topLeft();
    event->accept();
}

void continueDrag(QWidget *window, QMouseEvent *event, const QPoint &dragPosition)
{
    // Other buttons held at the same time do not stop the drag.
    if (!(event->buttons() & Qt::LeftButton))
        return;
    window->move(event->globalPos() - dragPosition);
    event->accept();
}
