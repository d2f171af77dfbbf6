#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "about.h"
#include "artwork.h"
#include "bringtofront.h"
#include "compute.h"
#include "copymenu.h"
#include "dragging.h"
#include "nativedesktop.h"
#include "panelwatch.h"
#include "screenpictures.h"
#include "stardate.h"
#include "theme.h"
#include "tickpace.h"
#include "trayicon.h"
#include "valuelabel.h"
#include "valuelabelaccessible.h"

#include <QApplication>
#include <QDateTime>
#include <QTimer>
#include <QWindowStateChangeEvent>

namespace {

const char stripPicture[] = ":/Bilder/lcarssternezeit.png";
const char logoPicture[] = ":/Bilder/logo.png";

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent),
      ui(new Ui::MainWindow)
{
    installValueLabelAccessibility();
    setWindowFlags(Qt::FramelessWindowHint);
    ui->setupUi(this);
    setWindowIcon(programIcon());
    showPicturesPerScreen(this, [this] {
        const QPixmap strip = picture(QLatin1String(stripPicture), this);
        ui->label_8->setPixmap(strip);
        ui->label_7->setPixmap(strip);
        ui->label->setPixmap(picture(QLatin1String(logoPicture), this));
    });
    addTaskbarControls(this);
    applyStyleSheets();

    // A coarse timer may fire a few percent early or late and let the seconds skip; the first
    // texts come with the first tick, just after the window is shown, and each tick sets the
    // next one just after a full second of the wall clock.
    timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, SIGNAL(timeout()), this, SLOT(showTimes()));
    timer->start(1000);

    connect(ui->Info, SIGNAL(clicked()), this, SLOT(showInfo()));
    connect(ui->Compute, SIGNAL(clicked()), this, SLOT(showCompute()));

    for (QLabel *value : { ui->showNormalTime, ui->myFormat, ui->otherFormat })
        new CopyMenu(value);

    // Where the desktop has a tray the clock sits there too, also when its panel starts later.
    panelWatch = new PanelWatch(this);
    connect(panelWatch, &PanelWatch::panelsChanged, this, &MainWindow::followTray);
    followTray();
}

MainWindow::~MainWindow()
{
    // The dialogs are windows of their own, not children; they are closed by now.
    delete aboutDialog;
    delete computeDialog;
    delete ui;
}

void MainWindow::applyStyleSheets()
{
    setStyleSheet(blackBackgroundSheet.text);
    ui->label_2->setStyleSheet(largeWhiteTextSheet.text);
    for (QWidget *text : { ui->showNormalTime, ui->label_3, ui->myFormat, ui->label_6, ui->otherFormat })
        text->setStyleSheet(largeWhiteTextSheet.variant);
    ui->label_4->setStyleSheet(orangeBackgroundSheet.text);
    ui->label_5->setStyleSheet(orangeBackgroundSheet.variant);
    for (QWidget *button : { ui->Compute, ui->Info, ui->Schliessen })
        button->setStyleSheet(orangeButtonSheet(button->objectName()));
    // The window's sheet gives every widget in it the same black background, which the window
    // paints already; the widgets a new second repaints need not paint it once more each.
    for (QWidget *plain : std::initializer_list<QWidget *>{ ui->centralWidget, ui->showNormalTime, ui->myFormat, ui->otherFormat })
        plain->setAttribute(Qt::WA_NoSystemBackground);
}

void MainWindow::showTimes()
{
    // One reading of the clock, so that the three texts always describe the same moment.
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    showValue(ui->showNormalTime, clockText(now));
    showValue(ui->myFormat, ownStardateText(now));
    showValue(ui->otherFormat, formulaStardateText(date.year(), date.dayOfYear(), time.hour(), time.minute()));
    if (trayIcon)
        trayIcon->setToolTip(timesSummary());

    const int nextTick = nextTickInterval(time.msec());
    if (timer->interval() != nextTick)
        timer->start(nextTick);
}

// Each caption of this window with the value it shows, one to a line.
QString MainWindow::timesSummary() const
{
    const auto line = [](const QLabel *caption, const QLabel *value) {
        return caption->text() + QLatin1Char(' ') + value->text();
    };
    return line(ui->label_2, ui->showNormalTime) + QLatin1Char('\n')
        + line(ui->label_3, ui->myFormat) + QLatin1Char('\n')
        + line(ui->label_6, ui->otherFormat);
}

void MainWindow::showInfo()
{
    if (!aboutDialog)
        aboutDialog = new About;
    bringToFront(aboutDialog);
}

void MainWindow::showCompute()
{
    if (!computeDialog)
        computeDialog = new Compute;
    bringToFront(computeDialog);
}

// In the tray this window may be hidden while a dialog is the last one on screen: closing that
// dialog must not end the program, so then only this window's close does. A tray that goes takes
// the way back to a hidden clock with it, so the clock comes back.
void MainWindow::followTray()
{
    const bool inTray = panelWatch->trayPossible() && QSystemTrayIcon::isSystemTrayAvailable();
    if (inTray == (trayIcon != nullptr))
        return;
    QApplication::setQuitOnLastWindowClosed(!inTray);
    if (inTray) {
        trayIcon = new TrayIcon(this);
        trayIcon->show();
        return;
    }
    delete trayIcon;
    trayIcon = nullptr;
    if (!isVisible())
        bringToFront(this);
}

// A minimized window's timer may be held back by the system; back on the screen, the clock shows
// this moment at once rather than at its next tick.
void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && !isMinimized()
        && (static_cast<QWindowStateChangeEvent *>(event)->oldState() & Qt::WindowMinimized))
        showTimes();
    QMainWindow::changeEvent(event);
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    startDrag(this, event, &dragPosition);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    continueDrag(this, event, dragPosition);
}

void MainWindow::closeEvent(QCloseEvent *)
{
    // The dialogs are top-level windows of their own: once they are closed too, no window is
    // left and the program ends.
    if (aboutDialog)
        aboutDialog->close();
    if (computeDialog)
        computeDialog->close();
    // With the icon in the tray, the program no longer waits for the last window to go.
    if (trayIcon)
        QCoreApplication::quit();
}
