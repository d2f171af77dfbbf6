#include "panelwatch.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>

// After Qt's headers: Xlib's macros would change names in them.
#include <X11/Xlib.h>

namespace {

// Panels with status icons register with this service, and icons are announced to it.
const char watcherService[] = "org.kde.StatusNotifierWatcher";
const char watcherPath[] = "/StatusNotifierWatcher";
// A watcher that does not answer at once must not hold up the start.
const int watcherAnswerMs = 1000;

bool hostRegistered()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    // Asked while it is not running, the bus might start a watcher that no panel uses.
    if (!bus.interface()->isServiceRegistered(QLatin1String(watcherService)))
        return false;
    QDBusMessage question = QDBusMessage::createMethodCall(QLatin1String(watcherService), QLatin1String(watcherPath),
                                                           QStringLiteral("org.freedesktop.DBus.Properties"),
                                                           QStringLiteral("Get"));
    question << QLatin1String(watcherService) << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage answer = bus.call(question, QDBus::Block, watcherAnswerMs);
    return answer.arguments().value(0).value<QDBusVariant>().variant().toBool();
}

// An older tray on the X server owns the tray selection of its screen. Where that cannot be told,
// Qt is asked at once, as it always was.
bool xembedTrayPresent()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return true;
    const QByteArray selection = "_NET_SYSTEM_TRAY_S" + QByteArray::number(DefaultScreen(display));
    const bool present = XGetSelectionOwner(display, XInternAtom(display, selection.constData(), False)) != None;
    XCloseDisplay(display);
    return present;
}

} // namespace

PanelWatch::PanelWatch(QObject *parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    watching = bus.isConnected() && (hostRegistered() || !xembedTrayPresent());
    if (!watching)
        return;
    auto *watcher = new QDBusServiceWatcher(QLatin1String(watcherService), bus,
                                            QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, SIGNAL(serviceOwnerChanged(QString,QString,QString)), this, SLOT(noticeChange()));
    for (const char *change : { "StatusNotifierHostRegistered", "StatusNotifierHostUnregistered" })
        bus.connect(QLatin1String(watcherService), QLatin1String(watcherPath), QLatin1String(watcherService),
                    QLatin1String(change), this, SLOT(noticeChange()));
}

bool PanelWatch::trayPossible() const
{
    return !watching || hostRegistered();
}

void PanelWatch::noticeChange()
{
    emit panelsChanged();
}
