#include "mainwindow.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <functional>

// Runs on an X server with a real tray host (tests/with_tray_host.sh), whose panel stands at the
// top right of the screen. Clicks on the icon and its menu go in through the X server, so that
// the tray host hands them over as it does for a user.
namespace {

QSystemTrayIcon *trayIcon(const QWidget &window)
{
    return window.findChild<QSystemTrayIcon *>();
}

QString text(const QWidget &window, const char *label)
{
    return window.findChild<QLabel *>(QLatin1String(label))->text();
}

// Until the tray host takes it in, the icon stands alone at the screen's top left corner.
bool waitUntilInTray(const QSystemTrayIcon *icon)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return QTest::qWaitFor([icon, screen] {
        const QRect place = icon->geometry();
        return place.isValid() && place.bottom() < 40 && place.left() > screen.width() / 2;
    }, 5000);
}

// Clicks come one at a time, never so close together that they make a double click.
bool clickAt(const QPoint &global, Qt::MouseButton button)
{
    static QElapsedTimer sinceLastClick;
    if (sinceLastClick.isValid())
        QTest::qWait(qMax(0, QApplication::doubleClickInterval() + 100 - int(sinceLastClick.elapsed())));
    sinceLastClick.start();
    const QString number = QString::number(button == Qt::RightButton ? 3 : 1);
    return QProcess::execute(QStringLiteral("xdotool"),
                             { QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y()),
                               QStringLiteral("click"), number }) == 0;
}

bool openMenu(QSystemTrayIcon *icon)
{
    // Shown is not yet on screen: a click on a menu that the X server has not mapped is lost.
    const QMenu *menu = icon->contextMenu();
    return clickAt(icon->geometry().center(), Qt::RightButton) && QTest::qWaitFor([menu] {
        return menu->isVisible() && menu->windowHandle() && menu->windowHandle()->isExposed();
    }, 5000);
}

QStringList entries(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts.append(action->isSeparator() ? QStringLiteral("--") : action->text());
    return texts;
}

// Clicks an entry of the open menu, which closes it.
bool clickEntry(QMenu *menu, const QString &entry)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == entry)
            return clickAt(menu->mapToGlobal(menu->actionGeometry(action).center()), Qt::LeftButton)
                && QTest::qWaitFor([menu] { return !menu->isVisible(); }, 5000);
    }
    return false;
}

bool choose(QSystemTrayIcon *icon, const QString &entry)
{
    return openMenu(icon) && clickEntry(icon->contextMenu(), entry);
}

QWidget *visibleWindow(const char *className)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->inherits(className) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

} // namespace

class TestTray : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void iconStandsInTheTray();
    void tooltipFollowsTheClock();
    void menuOpensTheDialogs();
    void menuAndClickHideAndShowTheClock();
    void closingTheLastDialogKeepsAHiddenClockRunning();
    void beendenEndsTheProgramWithZero();

private:
    // Runs steps inside the application's event loop, as the running program would, and gives
    // the loop's exit code; a loop still running after 15 s is ended with -1.
    int exitCodeAfter(const std::function<void()> &steps);
};

void TestTray::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("no xdotool (Debian package xdotool) to click the tray icon with");
    QVERIFY2(QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000),
             "the tray host runs but no tray appeared on the X server");
}

int TestTray::exitCodeAfter(const std::function<void()> &steps)
{
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    guard.start(15000);
    QTimer::singleShot(0, this, steps);
    return QApplication::exec();
}

void TestTray::iconStandsInTheTray()
{
    MainWindow window;
    window.show();
    QSystemTrayIcon *icon = trayIcon(window);
    QVERIFY(icon);
    QVERIFY(icon->isVisible());
    QVERIFY(!icon->icon().isNull());
    QVERIFY(waitUntilInTray(icon));
}

void TestTray::tooltipFollowsTheClock()
{
    MainWindow window;
    window.show();
    QSystemTrayIcon *icon = trayIcon(window);
    QVERIFY(icon);
    QTRY_VERIFY_WITH_TIMEOUT(!text(window, "showNormalTime").isEmpty(), 2000);

    const QString firstTime = text(window, "showNormalTime");
    const QString firstTip = icon->toolTip();
    QCOMPARE(firstTip, QStringLiteral("Aktuelle Zeit: %1\nMein Sternzeitformat: %2\nAnderes Sternzeitformat: %3")
                           .arg(firstTime, text(window, "myFormat"), text(window, "otherFormat")));

    QTRY_VERIFY_WITH_TIMEOUT(text(window, "showNormalTime") != firstTime, 2000);
    QVERIFY(icon->toolTip() != firstTip);
    QVERIFY2(icon->toolTip().startsWith(QLatin1String("Aktuelle Zeit: ") + text(window, "showNormalTime")),
             qPrintable(icon->toolTip()));
}

void TestTray::menuOpensTheDialogs()
{
    MainWindow window;
    window.show();
    QSystemTrayIcon *icon = trayIcon(window);
    QVERIFY(icon);
    QVERIFY(waitUntilInTray(icon));

    QVERIFY(openMenu(icon));
    QCOMPARE(entries(icon->contextMenu()),
             QStringList({ "Uhr verbergen", "Berechnen", "Info", "--", "Beenden" }));
    QVERIFY(clickEntry(icon->contextMenu(), QStringLiteral("Berechnen")));
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow("Compute"), 5000);
    QVERIFY(choose(icon, QStringLiteral("Info")));
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow("About"), 5000);
    QVERIFY(window.isVisible());
}

void TestTray::menuAndClickHideAndShowTheClock()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSystemTrayIcon *icon = trayIcon(window);
    QVERIFY(icon);
    QVERIFY(waitUntilInTray(icon));

    QVERIFY(choose(icon, QStringLiteral("Uhr verbergen")));
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 5000);
    QCOMPARE(icon->contextMenu()->actions().first()->text(), QStringLiteral("Uhr zeigen"));
    QVERIFY(choose(icon, QStringLiteral("Uhr zeigen")));
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 5000);
    QCOMPARE(icon->contextMenu()->actions().first()->text(), QStringLiteral("Uhr verbergen"));

    // A plain click on the icon does the same.
    QVERIFY(clickAt(icon->geometry().center(), Qt::LeftButton));
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 5000);
    QVERIFY(clickAt(icon->geometry().center(), Qt::LeftButton));
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 5000);
}

void TestTray::closingTheLastDialogKeepsAHiddenClockRunning()
{
    MainWindow window;
    window.show();
    QSystemTrayIcon *icon = trayIcon(window);
    QVERIFY(icon);
    QVERIFY(waitUntilInTray(icon));

    QTimer stillRunning;
    stillRunning.setSingleShot(true);
    connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    const int exitCode = exitCodeAfter([&] {
        QVERIFY(choose(icon, QStringLiteral("Uhr verbergen")));
        QVERIFY(choose(icon, QStringLiteral("Berechnen")));
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindow("Compute"), 5000);
        QWidget *compute = visibleWindow("Compute");
        QVERIFY(!window.isVisible());
        QTest::mouseClick(compute->findChild<QPushButton *>(QStringLiteral("Schliessen")), Qt::LeftButton);
        QVERIFY(!compute->isVisible());
        // Had the program ended with the dialog, the loop would be gone before this fires.
        stillRunning.start(1500);
    });
    QCOMPARE(exitCode, 7);
    QVERIFY(icon->isVisible());
    QVERIFY(choose(icon, QStringLiteral("Uhr zeigen")));
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 5000);
}

void TestTray::beendenEndsTheProgramWithZero()
{
    MainWindow window;
    window.show();
    QSystemTrayIcon *icon = trayIcon(window);
    QVERIFY(icon);
    QVERIFY(waitUntilInTray(icon));

    const int exitCode = exitCodeAfter([&] {
        QVERIFY(choose(icon, QStringLiteral("Berechnen")));
        QVERIFY(choose(icon, QStringLiteral("Info")));
        QVERIFY(choose(icon, QStringLiteral("Uhr verbergen")));
        QVERIFY(openMenu(icon));
        QVERIFY(clickEntry(icon->contextMenu(), QStringLiteral("Beenden")));
    });
    QCOMPARE(exitCode, 0);
    for (const char *kind : { "MainWindow", "Compute", "About" })
        QVERIFY2(!visibleWindow(kind), kind);
}

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
