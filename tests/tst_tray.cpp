#include "mainwindow.h"
#include "shownwindow.h"

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

#include <memory>

// Runs on an X server with a real tray host (tests/with_tray_host.sh), whose panel stands at the
// top right of the screen. Clicks on the icon and its menu go in through the X server, so that
// the tray host hands them over as it does for a user.
namespace {

QString text(const QWidget &window, const char *label)
{
    return window.findChild<QLabel *>(QLatin1String(label))->text();
}

// Clicks come one at a time, never so close together that they make a double click.
bool clickAt(const QPoint &global, Qt::MouseButton button)
{
    static QElapsedTimer sinceLastClick;
    if (sinceLastClick.isValid())
        QTest::qWait(qMax(0, QApplication::doubleClickInterval() + 100 - int(sinceLastClick.elapsed())));
    sinceLastClick.start();
    return QProcess::execute(QStringLiteral("xdotool"),
                             { "mousemove", QString::number(global.x()), QString::number(global.y()),
                               "click", button == Qt::RightButton ? "3" : "1" }) == 0;
}

// Shown is not yet on screen: a click on a menu that the X server has not mapped is lost.
bool openMenu(QSystemTrayIcon *icon)
{
    const QMenu *menu = icon->contextMenu();
    return clickAt(icon->geometry().center(), Qt::RightButton) && QTest::qWaitFor([menu] {
        return menu->isVisible() && menu->windowHandle() && menu->windowHandle()->isExposed();
    }, 5000);
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

} // namespace

// Every case starts with the clock window shown and its icon taken in by the tray host; until
// then the icon stands alone at the screen's top left corner.
class TestTray : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { window.reset(); }
    void tooltipFollowsTheClock();
    void menuEntriesAndAClickOnTheIcon();
    void hiddenClockOutlivesItsDialogsUntilBeenden();

private:
    std::unique_ptr<MainWindow> window;
    QSystemTrayIcon *icon = nullptr;
};

void TestTray::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("no xdotool (Debian package xdotool) to click the tray icon with");
    QVERIFY2(QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000),
             "the tray host runs but no tray appeared on the X server");
}

void TestTray::init()
{
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    icon = window->findChild<QSystemTrayIcon *>();
    QVERIFY(icon);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(QTest::qWaitFor([this, screen] {
        const QRect place = icon->geometry();
        return place.isValid() && place.bottom() < 40 && place.left() > screen.width() / 2;
    }, 5000));
}

void TestTray::tooltipFollowsTheClock()
{
    QTRY_VERIFY_WITH_TIMEOUT(!text(*window, "showNormalTime").isEmpty(), 2000);
    const QString firstTime = text(*window, "showNormalTime");
    const QString firstTip = icon->toolTip();
    QCOMPARE(firstTip, QStringLiteral("Aktuelle Zeit: %1\nMein Sternzeitformat: %2\nAnderes Sternzeitformat: %3")
                           .arg(firstTime, text(*window, "myFormat"), text(*window, "otherFormat")));

    QTRY_VERIFY_WITH_TIMEOUT(text(*window, "showNormalTime") != firstTime, 2000);
    QVERIFY2(icon->toolTip().startsWith(QLatin1String("Aktuelle Zeit: ") + text(*window, "showNormalTime")),
             qPrintable(icon->toolTip()));
}

void TestTray::menuEntriesAndAClickOnTheIcon()
{
    QVERIFY(openMenu(icon));
    QStringList entries;
    for (const QAction *action : icon->contextMenu()->actions())
        entries << (action->isSeparator() ? QStringLiteral("--") : action->text());
    QCOMPARE(entries, QStringList({ "Uhr verbergen", "Berechnen", "Info", "--", "Beenden" }));
    QVERIFY(clickEntry(icon->contextMenu(), QStringLiteral("Berechnen")));
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow("Compute"), 5000);
    QVERIFY(choose(icon, QStringLiteral("Info")));
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow("About"), 5000);
    QVERIFY(window->isVisible());

    // A plain click on the icon and the first entry, named for what it does, hide and show the clock.
    QVERIFY(clickAt(icon->geometry().center(), Qt::LeftButton));
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
    QVERIFY(choose(icon, QStringLiteral("Uhr zeigen")));
    QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 5000);
    QVERIFY(choose(icon, QStringLiteral("Uhr verbergen")));
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
    QVERIFY(clickAt(icon->geometry().center(), Qt::LeftButton));
    QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 5000);
}

// With the clock hidden, closing the last dialog leaves the program running; only "Beenden" ends
// it, with every window closed.
void TestTray::hiddenClockOutlivesItsDialogsUntilBeenden()
{
    // The steps run inside the application's event loop, as in the running program; a loop still
    // running after 15 s is ended with -1.
    const QObject scope;
    QTimer::singleShot(15000, &scope, [] { QCoreApplication::exit(-1); });
    bool survived = false;
    QTimer::singleShot(0, &scope, [this, &survived] {
        QVERIFY(choose(icon, QStringLiteral("Uhr verbergen")));
        QVERIFY(choose(icon, QStringLiteral("Berechnen")));
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindow("Compute"), 5000);
        QWidget *compute = visibleWindow("Compute");
        QVERIFY(!window->isVisible());
        QTest::mouseClick(compute->findChild<QPushButton *>(QStringLiteral("Schliessen")), Qt::LeftButton);
        QVERIFY(!compute->isVisible());
        // Had the program ended with the dialog, the loop would be gone before this runs.
        QTimer::singleShot(1500, window.get(), [this, &survived] {
            survived = true;
            for (const char *entry : { "Berechnen", "Info", "Beenden" })
                QVERIFY(choose(icon, QLatin1String(entry)));
        });
    });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(survived);
    for (const char *kind : { "MainWindow", "Compute", "About" })
        QVERIFY2(!visibleWindow(kind), kind);
}

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
