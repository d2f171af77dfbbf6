#include "trayicon.h"

#include "artwork.h"
#include "bringtofront.h"

#include <QAction>
#include <QEvent>

TrayIcon::TrayIcon(QWidget *clock)
    : QSystemTrayIcon(programIcon(), clock)
    , clock(clock)
{
    toggleAction = menu.addAction(QString(), this, SLOT(toggleClock()));
    nameToggleAction();
    menu.addAction(tr("Berechnen"), clock, SLOT(showCompute()));
    menu.addAction(tr("Info"), clock, SLOT(showInfo()));
    menu.addSeparator();
    // The clock window's own close ends the program, so there is one way out.
    menu.addAction(tr("Beenden"), clock, SLOT(close()));
    setContextMenu(&menu);

    clock->installEventFilter(this);
    connect(this, SIGNAL(activated(QSystemTrayIcon::ActivationReason)),
            this, SLOT(toggleOnClick(QSystemTrayIcon::ActivationReason)));
}

// The menu's copy that Qt 5 keeps for a panel on the session bus goes entry by entry as the
// entries leave the menu, not with the menu itself; an icon that comes and goes with its panel
// would leave one copy behind each time.
TrayIcon::~TrayIcon()
{
    menu.clear();
}

// The first entry always offers the opposite of what the clock window is doing now. Minimizing
// and restoring a window send it these events too.
bool TrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == clock && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        nameToggleAction();
    return QSystemTrayIcon::eventFilter(watched, event);
}

// A minimized clock is as much off the screen as a hidden one, so the entry offers to show it.
bool TrayIcon::clockOnScreen() const
{
    return clock->isVisible() && !clock->isMinimized();
}

void TrayIcon::nameToggleAction()
{
    toggleAction->setText(clockOnScreen() ? tr("Uhr verbergen") : tr("Uhr zeigen"));
}

void TrayIcon::toggleClock()
{
    if (clockOnScreen())
        clock->hide();
    else
        bringToFront(clock);
}

// A plain click on the icon does what the first entry of the menu does.
void TrayIcon::toggleOnClick(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        toggleClock();
}
