#include "dragging.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {

// On Wayland a client cannot place its own windows, so move() does nothing; the compositor
// moves them itself once asked to at the press that starts the drag.
bool compositorMovesWindows()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QPoint globalPoint(const QMouseEvent *event)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return event->globalPos();
#else
    return event->globalPosition().toPoint();
#endif
}

} // namespace

void startDrag(const QWidget *window, QMouseEvent *event, QPoint *dragPosition)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (compositorMovesWindows()) {
#if QT_VERSION >= QT_VERSION_CHECK(5, 15, 0)
        window->windowHandle()->startSystemMove();
#endif
    } else {
        *dragPosition = globalPoint(event) - window->frameGeometry().topLeft();
    }
    event->accept();
}

void continueDrag(QWidget *window, QMouseEvent *event, const QPoint &dragPosition)
{
    // Other buttons held at the same time do not stop the drag.
    if (!(event->buttons() & Qt::LeftButton) || compositorMovesWindows())
        return;
    window->move(globalPoint(event) - dragPosition);
    event->accept();
}
