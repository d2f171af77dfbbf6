#ifndef TRAYICON_H
#define TRAYICON_H

#include <QMenu>
#include <QSystemTrayIcon>

class QAction;

// The clock in the panel: the program's icon, a tooltip that the clock window keeps up to date,
// and a menu that shows or hides the clock window, opens its dialogs and ends the program. The
// clock window is the icon's parent and must offer the slots showCompute() and showInfo().
class TrayIcon : public QSystemTrayIcon
{
    Q_OBJECT

public:
    explicit TrayIcon(QWidget *clock);
    ~TrayIcon() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void toggleClock();
    void toggleOnClick(QSystemTrayIcon::ActivationReason reason);

private:
    bool clockOnScreen() const;
    void nameToggleAction();

    QWidget *clock;
    QMenu menu;
    QAction *toggleAction;
};

#endif // TRAYICON_H
