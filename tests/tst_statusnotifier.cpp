#include "mainwindow.h"
#include "shownwindow.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtTest>

#include <memory>

// Runs with a session bus of its own and a panel that shows status icons on a virtual X server
// (tests/with_status_panel.sh), the windows on that X server or on a Wayland compositor. The test
// starts and stops the panel itself and reads and clicks the clock's item over the bus as the
// panel does, through a connection of its own.
namespace {

const char watcherService[] = "org.kde.StatusNotifierWatcher";
const char watcherPath[] = "/StatusNotifierWatcher";
const char itemInterface[] = "org.kde.StatusNotifierItem";
const char menuInterface[] = "com.canonical.dbusmenu";

QDBusConnection panelBus()
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("panel"));
}

// The item lives in this process and answers only while its event loop runs, so the answer is
// awaited with the loop running.
QDBusMessage ask(const QString &service, const QString &path, const char *interface, const char *method,
                 const QVariantList &arguments = {})
{
    QDBusMessage question = QDBusMessage::createMethodCall(service, path, QLatin1String(interface),
                                                           QLatin1String(method));
    question.setArguments(arguments);
    QDBusPendingCall answer = panelBus().asyncCall(question, 5000);
    if (!QTest::qWaitFor([&answer] { return answer.isFinished(); }, 6000))
        return QDBusMessage();
    return answer.reply();
}

QVariant busProperty(const QString &service, const QString &path, const char *interface, const char *name)
{
    const QDBusMessage answer = ask(service, path, "org.freedesktop.DBus.Properties", "Get",
                                    { QLatin1String(interface), QLatin1String(name) });
    return answer.arguments().value(0).value<QDBusVariant>().variant();
}

// The watcher and the panel that the script names; the panel is there once the watcher says so.
class Panel
{
public:
    ~Panel() { stop(); }

    bool start()
    {
        for (const auto &[process, command] : { std::pair{ &watcher, "STATUS_WATCHER_COMMAND" },
                                                std::pair{ &panel, "STATUS_PANEL_COMMAND" } }) {
            const QStringList words = QProcess::splitCommand(qEnvironmentVariable(command));
            if (words.isEmpty())
                return false;
            process->setStandardOutputFile(QProcess::nullDevice());
            process->start(words.first(), words.mid(1));
        }
        return QTest::qWaitFor([] {
            return busProperty(QLatin1String(watcherService), QLatin1String(watcherPath), watcherService,
                               "IsStatusNotifierHostRegistered").toBool();
        }, 10000);
    }

    void stop()
    {
        for (QProcess *process : { &panel, &watcher }) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
            process->waitForFinished();
        }
    }

    bool running() const { return panel.state() == QProcess::Running; }

private:
    QProcess watcher;
    QProcess panel;
};

// Where the panel finds the item: the watcher names it by a bus name, which may carry the path.
struct Item
{
    QString service;
    QString path;
};

// The items the watcher lists that are still on the bus, newest last.
QList<Item> registeredItems()
{
    const QStringList names = busProperty(QLatin1String(watcherService), QLatin1String(watcherPath),
                                          watcherService, "RegisteredStatusNotifierItems").toStringList();
    QList<Item> items;
    for (const QString &name : names) {
        const int slash = name.indexOf(QLatin1Char('/'));
        Item item{ name.left(slash), slash < 0 ? QStringLiteral("/StatusNotifierItem") : name.mid(slash) };
        if (panelBus().interface()->isServiceRegistered(item.service))
            items << item;
    }
    return items;
}

QString menuPath(const Item &item)
{
    return busProperty(item.service, item.path, itemInterface, "Menu").value<QDBusObjectPath>().path();
}

// The clock's item as the panel lists it, once it is there and answers.
bool findItem(Item *item)
{
    return QTest::qWaitFor([item] {
        const QList<Item> items = registeredItems();
        if (items.isEmpty())
            return false;
        *item = items.last();
        return !menuPath(*item).isEmpty();
    }, 10000);
}

// Pictures in the item's form: width, height and ARGB pixels in network byte order.
QList<QImage> readPictures(const QDBusArgument &argument)
{
    QList<QImage> pictures;
    argument.beginArray();
    while (!argument.atEnd()) {
        int width = 0;
        int height = 0;
        QByteArray pixels;
        argument.beginStructure();
        argument >> width >> height >> pixels;
        argument.endStructure();
        QImage picture(width, height, QImage::Format_ARGB32);
        for (int i = 0; i + 3 < pixels.size() && i / 4 < width * height; i += 4) {
            const auto byte = [&pixels, i](int k) { return int(uchar(pixels.at(i + k))); };
            picture.setPixel(i / 4 % width, i / 4 / width, qRgba(byte(1), byte(2), byte(3), byte(0)));
        }
        pictures << picture;
    }
    argument.endArray();
    return pictures;
}

// The tooltip as a panel shows it: its title, and the text below it if there is one.
QString toolTipText(const Item &item)
{
    const QDBusArgument argument = busProperty(item.service, item.path, itemInterface, "ToolTip").value<QDBusArgument>();
    QString iconName;
    QString title;
    QString text;
    argument.beginStructure();
    argument >> iconName;
    readPictures(argument);
    argument >> title >> text;
    argument.endStructure();
    return text.isEmpty() ? title : title + QLatin1Char('\n') + text;
}

// The menu as the panel shows it: the visible entries' labels, "--" for a separator, and their ids.
struct MenuEntries
{
    QStringList labels;
    QList<int> ids;
};

void readEntries(const QDBusArgument &layout, MenuEntries *entries, bool isRoot)
{
    int id = 0;
    QVariantMap properties;
    layout.beginStructure();
    layout >> id >> properties;
    if (!isRoot && properties.value(QStringLiteral("visible"), true).toBool()) {
        entries->labels << (properties.value(QStringLiteral("type")) == QLatin1String("separator")
                                ? QStringLiteral("--") : properties.value(QStringLiteral("label")).toString());
        entries->ids << id;
    }
    layout.beginArray();
    while (!layout.atEnd()) {
        QDBusVariant child;
        layout >> child;
        readEntries(child.variant().value<QDBusArgument>(), entries, false);
    }
    layout.endArray();
    layout.endStructure();
}

MenuEntries menuEntries(const Item &item)
{
    const QString menu = menuPath(item);
    // A panel lets the menu bring itself up to date before it shows it.
    ask(item.service, menu, menuInterface, "AboutToShow", { 0 });
    const QDBusMessage answer = ask(item.service, menu, menuInterface, "GetLayout", { 0, -1, QStringList() });
    MenuEntries entries;
    if (answer.arguments().size() == 2)
        readEntries(answer.arguments().at(1).value<QDBusArgument>(), &entries, true);
    return entries;
}

// A click on the icon, or on the menu entry of that label.
bool click(const Item &item, const QString &what)
{
    if (what == QLatin1String("icon"))
        return ask(item.service, item.path, itemInterface, "Activate", { 0, 0 }).type() == QDBusMessage::ReplyMessage;
    const MenuEntries entries = menuEntries(item);
    const int index = entries.labels.indexOf(what);
    if (index < 0)
        return false;
    const QString menu = menuPath(item);
    return ask(item.service, menu, menuInterface, "Event",
               { entries.ids.at(index), QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0U })
               .type() == QDBusMessage::ReplyMessage;
}

QString text(const QWidget &window, const char *label)
{
    return window.findChild<QLabel *>(QLatin1String(label))->text();
}

QString timesSummary(const QWidget &window)
{
    return QStringLiteral("Aktuelle Zeit: %1\nMein Sternzeitformat: %2\nAnderes Sternzeitformat: %3")
        .arg(text(window, "showNormalTime"), text(window, "myFormat"), text(window, "otherFormat"));
}

} // namespace

// Every case starts with the clock window shown. Qt settles on its kind of tray the first time it
// is asked, so the late panel comes first, before anything in this process has asked.
class TestStatusNotifier : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { window.reset(); }
    void iconComesWithALatePanel();
    void panelReadsIconToolTipAndMenu();
    void clicksThroughTheBus_data();
    void clicksThroughTheBus();
    void beendenEndsTheProgramWithTheClockHidden();
    void clockComesBackWhenThePanelGoesAndTheIconWithIt();

private:
    bool panelShowsTheClock();

    Panel panel;
    std::unique_ptr<MainWindow> window;
    Item item;
};

void TestStatusNotifier::initTestCase()
{
    QVERIFY2(panelBus().isConnected(), "no session bus");
}

void TestStatusNotifier::init()
{
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

// Starts the panel unless it runs, and finds the clock's item in it.
bool TestStatusNotifier::panelShowsTheClock()
{
    return (panel.running() || panel.start()) && findItem(&item);
}

void TestStatusNotifier::iconComesWithALatePanel()
{
    // Past the first ticks without a panel, the clock is a window alone, as without a tray.
    QTest::qWait(1500);
    QVERIFY(!window->findChild<QSystemTrayIcon *>());
    QVERIFY(QApplication::quitOnLastWindowClosed());

    QVERIFY(panelShowsTheClock());
    QVERIFY(!QApplication::quitOnLastWindowClosed());
    QVERIFY(click(item, QStringLiteral("icon")));
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
}

void TestStatusNotifier::panelReadsIconToolTipAndMenu()
{
    QVERIFY(panelShowsTheClock());

    // Every picture of the icon is the program's own at that size.
    const QList<QImage> pictures =
        readPictures(busProperty(item.service, item.path, itemInterface, "IconPixmap").value<QDBusArgument>());
    QVERIFY(!pictures.isEmpty());
    for (const QImage &picture : pictures) {
        const QImage own(QStringLiteral(":/icons/sternzeit-%1.png").arg(picture.width()));
        QVERIFY2(!own.isNull(), qPrintable(QStringLiteral("no icon of width %1").arg(picture.width())));
        QCOMPARE(picture, own.convertToFormat(QImage::Format_ARGB32));
    }

    // The tooltip is read between two readings of the window, so that a tick in between is no fault.
    QTRY_VERIFY_WITH_TIMEOUT(!text(*window, "showNormalTime").isEmpty(), 2000);
    const auto tipShowsTheWindow = [this](QString *tip) {
        const QString before = timesSummary(*window);
        *tip = toolTipText(item);
        return *tip == before || *tip == timesSummary(*window);
    };
    QString firstTip;
    QVERIFY2(tipShowsTheWindow(&firstTip), qPrintable(firstTip));
    QString nextTip;
    QTRY_VERIFY_WITH_TIMEOUT(tipShowsTheWindow(&nextTip) && nextTip != firstTip, 2500);

    QCOMPARE(menuEntries(item).labels, QStringList({ "Uhr verbergen", "Berechnen", "Info", "--", "Beenden" }));
}

void TestStatusNotifier::clicksThroughTheBus_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("clockShown");
    QTest::addColumn<QString>("dialog");

    QTest::newRow("a click on the icon hides the clock") << QStringList{ "icon" } << false << QString();
    QTest::newRow("a second click shows it again") << QStringList{ "icon", "icon" } << true << QString();
    QTest::newRow("the first entry hides the clock") << QStringList{ "Uhr verbergen" } << false << QString();
    QTest::newRow("then shows it again") << QStringList{ "Uhr verbergen", "Uhr zeigen" } << true << QString();
    QTest::newRow("Berechnen opens the conversion dialog") << QStringList{ "Berechnen" } << true << "Compute";
    QTest::newRow("Info opens the info dialog") << QStringList{ "Info" } << true << "About";
}

void TestStatusNotifier::clicksThroughTheBus()
{
    QFETCH(QStringList, clicks);
    QFETCH(bool, clockShown);
    QFETCH(QString, dialog);
    QVERIFY(panelShowsTheClock());

    for (const QString &what : clicks) {
        const bool wasShown = window->isVisible();
        QVERIFY2(click(item, what), qPrintable(what));
        if (what != QLatin1String("Berechnen") && what != QLatin1String("Info"))
            QTRY_VERIFY_WITH_TIMEOUT(window->isVisible() != wasShown, 5000);
    }
    if (!dialog.isEmpty())
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindow(qPrintable(dialog)), 5000);
    QCOMPARE(window->isVisible(), clockShown);
    // The first entry, as the panel shows it, offers the opposite of what the clock is doing.
    QCOMPARE(menuEntries(item).labels.value(0), clockShown ? QStringLiteral("Uhr verbergen") : QStringLiteral("Uhr zeigen"));
}

// Inside the event loop, as in the running program: "Beenden" ends the loop with 0, and every
// window is closed; a loop still running after 15 s is ended with -1.
void TestStatusNotifier::beendenEndsTheProgramWithTheClockHidden()
{
    QVERIFY(panelShowsTheClock());
    const QObject scope;
    QTimer::singleShot(15000, &scope, [] { QCoreApplication::exit(-1); });
    QTimer::singleShot(0, &scope, [this] {
        QVERIFY(click(item, QStringLiteral("icon")));
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
        QVERIFY(click(item, QStringLiteral("Info")));
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindow("About"), 5000);
        QVERIFY(click(item, QStringLiteral("Beenden")));
    });
    QCOMPARE(QApplication::exec(), 0);
    for (const char *kind : { "MainWindow", "Compute", "About" })
        QVERIFY2(!visibleWindow(kind), kind);
}

// A panel that goes while the clock is hidden gives the clock back, and without a tray closing the
// last window ends the program again; once the panel is back, so is the icon, and it works.
void TestStatusNotifier::clockComesBackWhenThePanelGoesAndTheIconWithIt()
{
    QVERIFY(panelShowsTheClock());
    QVERIFY(click(item, QStringLiteral("icon")));
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);

    panel.stop();
    QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 5000);
    QVERIFY(QApplication::quitOnLastWindowClosed());
    QVERIFY(!window->findChild<QSystemTrayIcon *>());

    QVERIFY(panelShowsTheClock());
    QVERIFY(!QApplication::quitOnLastWindowClosed());
    QVERIFY(click(item, QStringLiteral("icon")));
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
}

QTEST_MAIN(TestStatusNotifier)
#include "tst_statusnotifier.moc"
