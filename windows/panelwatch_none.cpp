#include "panelwatch.h"

// Without a session bus there is no panel to follow: Qt alone tells whether there is a tray.
PanelWatch::PanelWatch(QObject *parent)
    : QObject(parent)
{
}

bool PanelWatch::trayPossible() const
{
    return true;
}

void PanelWatch::noticeChange()
{
    emit panelsChanged();
}
