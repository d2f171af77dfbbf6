#include "panelwatch.h"

// Without a session bus there is no panel to follow, so nothing is watched: Qt alone tells whether
// there is a tray.
PanelWatch::PanelWatch(QObject *parent)
    : QObject(parent)
{
}

bool PanelWatch::trayPossible() const
{
    return !watching;
}

void PanelWatch::noticeChange()
{
    emit panelsChanged();
}
