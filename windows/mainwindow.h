#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QMainWindow>
#include <QPoint>

class About;
class Compute;
class PanelWatch;
class QTimer;
class TrayIcon;

namespace Ui {
class MainWindow;
}

// The program's permanent window: the local date and time and both stardates, refreshed once a
// second, and the buttons that open the conversion and info dialogs.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void showTimes();
    void showInfo();
    void showCompute();

private:
    void followTray();
    void applyStyleSheets();
    QString timesSummary() const;

    Ui::MainWindow *ui;
    QTimer *timer;
    QPoint dragPosition;
    About *aboutDialog = nullptr;
    Compute *computeDialog = nullptr;
    PanelWatch *panelWatch;
    TrayIcon *trayIcon = nullptr;
};

#endif // MAINWINDOW_H
