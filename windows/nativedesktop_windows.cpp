#include "nativedesktop.h"

#include <QEvent>
#include <QWidget>

#include <windows.h>

namespace {

// Qt makes a window's native window when the window is first shown, with the style its flags
// give: a frameless one is a bare popup, which the taskbar can neither minimize nor offer a menu
// for. Neither box nor menu is drawn on a window without a title bar.
class TaskbarControls : public QObject
{
public:
    explicit TaskbarControls(QWidget *window)
        : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::WinIdChange)
            return false;
        // Read without making one: winId() would make a native window that is gone.
        if (const auto hwnd = reinterpret_cast<HWND>(static_cast<QWidget *>(watched)->internalWinId()))
            SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_MINIMIZEBOX | WS_SYSMENU);
        return false;
    }
};

} // namespace

bool desktopReportsChosenScale()
{
    return true;
}

void addTaskbarControls(QWidget *window)
{
    new TaskbarControls(window);
}
