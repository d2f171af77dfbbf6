#ifndef PANELWATCH_H
#define PANELWATCH_H

#include <QObject>

// Follows the panels that show status icons through the session bus: such a panel may start after
// the program, as at a login, or go and come back. Qt settles on one kind of tray for the whole run
// the first time it is asked about one, and asked before such a panel is there it never finds one
// later; so it is asked only while trayPossible() holds, and again whenever panelsChanged().
class PanelWatch : public QObject
{
    Q_OBJECT

public:
    explicit PanelWatch(QObject *parent = nullptr);

    // Whether Qt may be asked for a tray now: while a panel with status icons is there, and always
    // where none is watched for (no session bus, or an older tray found on the X server at start,
    // which Qt then takes; Windows, whose taskbar always has its notification area).
    bool trayPossible() const;

signals:
    void panelsChanged();

private slots:
    void noticeChange();

private:
    bool watching = false;
};

#endif // PANELWATCH_H
