// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTrayBackend.h"

#include "StatusNotifierNames.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QPixmap>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>
#include <xcb/xcb.h>

namespace kv {

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

// The names hosts own on the bus while they run.
bool isHostName(const QString &name)
{
    return name.startsWith(QLatin1String("org.kde.StatusNotifierHost-")) ||
           name.startsWith(QLatin1String("org.freedesktop.StatusNotifierHost-"));
}

xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

template <typename Reply> using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

quint32 internAtom(xcb_connection_t *connection, const QByteArray &name)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, quint16(name.size()), name.constData()),
            nullptr),
        &std::free);
    return reply ? reply->atom : 0;
}

} // namespace

QtTrayBackend::QtTrayBackend(QObject *parent)
    : TrayBackend(parent), m_tray(new QSystemTrayIcon(this))
{
    // Hosts show an icon without a picture as an empty slot, but Qt shows no
    // icon at all without one.
    QPixmap empty(16, 16);
    empty.fill(Qt::transparent);
    m_emptyIcon = QIcon(empty);

    connect(m_tray, &QSystemTrayIcon::activated, this, &QtTrayBackend::activated);
    connect(m_tray, &QSystemTrayIcon::messageClicked, this, &TrayBackend::messageClicked);

    // An X11 tray host announces itself with a MANAGER client message to the
    // root window each time it starts.
    if (xcb_connection_t *connection = x11Connection()) {
        // The screen Qt connected to, as it read it from DISPLAY.
        char *host = nullptr;
        int display = 0;
        int screen = 0;
        xcb_parse_display(nullptr, &host, &display, &screen);
        std::free(host);
        m_managerAtom = internAtom(connection, "MANAGER");
        m_trayAtom = internAtom(connection, "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen));
        if (m_managerAtom && m_trayAtom) {
            QCoreApplication::instance()->installNativeEventFilter(this);
            watchX11Host();
        }
    }
    watchStatusNotifierHosts();
    m_hostPresent = QSystemTrayIcon::isSystemTrayAvailable();
}

// The native event filter removes itself from the application.
QtTrayBackend::~QtTrayBackend() = default;

bool QtTrayBackend::add(const TrayNotifyData &data)
{
    apply(data);
    m_added = true;
    showIfHosted();
    if (m_statusNotifierItem)
        recheckHost(); // from now on the hosts themselves tell
    return m_hostPresent;
}

bool QtTrayBackend::modify(const TrayNotifyData &data)
{
    if (!m_added)
        return false;
    apply(data);
    return true;
}

bool QtTrayBackend::remove(const TrayNotifyData &)
{
    if (!std::exchange(m_added, false))
        return false;
    m_tray->hide();
    return true;
}

void QtTrayBackend::showIfHosted()
{
    // Under X11 Qt docks the icon by itself once a host comes. Elsewhere it
    // would only complain that nothing can show it.
    if (m_added && !m_tray->isVisible() && (m_hostPresent || x11Connection())) {
        m_tray->show();
        // Qt chose between the two kinds when it made the icon.
        if (QObject *item = statusNotifierItem()) {
            m_statusNotifierItem = true;
            if (!m_names)
                m_names = StatusNotifierNames::attach(item, m_title, m_id);
        }
        exportMenu();
    }
}

void QtTrayBackend::setMenu(QMenu *menu)
{
    m_menu = menu;
    exportMenu();
}

void QtTrayBackend::exportMenu()
{
    // An X11 tray icon would open the menu itself on a right click, besides
    // the one the tray icon opens.
    if (m_statusNotifierItem && m_tray->contextMenu() != m_menu)
        m_tray->setContextMenu(m_menu);
}

void QtTrayBackend::setItemNames(const QString &title, const QString &id)
{
    m_title = title;
    m_id = id;
    if (m_names)
        m_names->setNames(title, id);
}

QObject *QtTrayBackend::statusNotifierItem() const
{
    // Qt's item has a connection of its own, named after the item, whether or
    // not it also owns that name on the bus; the number counts Qt's items.
    const QString name =
        QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(QCoreApplication::applicationPid());
    for (int n = 1; n <= 32; ++n) {
        const QDBusConnection item(name.arg(n));
        if (!item.isConnected())
            continue;
        if (QObject *object = item.objectRegisteredAt(QStringLiteral("/StatusNotifierItem")))
            return object;
    }
    return nullptr;
}

bool QtTrayBackend::statusNotifierHostPresent()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
        !reply.arguments().constFirst().value<QDBusVariant>().variant().toBool())
        return false;
    // A watcher that outlives its host (KDE's, in kded) keeps saying there is
    // one; the host's own name tells. A watcher whose host owns no such name
    // (it lives in the same process) is taken at its word.
    const QStringList names = bus.interface()->registeredServiceNames().value();
    const bool named = std::any_of(names.begin(), names.end(), isHostName);
    m_sawHostName = m_sawHostName || named;
    return named || !m_sawHostName;
}

void QtTrayBackend::busNameChanged(const QString &name, const QString &, const QString &)
{
    if (isHostName(name))
        recheckHost();
}

void QtTrayBackend::recheckHost()
{
    const bool present = m_statusNotifierItem ? statusNotifierHostPresent()
                                              : QSystemTrayIcon::isSystemTrayAvailable();
    if (present == std::exchange(m_hostPresent, present))
        return;
    showIfHosted();
    emit hostPresentChanged(present);
}

void QtTrayBackend::watchX11Host()
{
    xcb_connection_t *connection = x11Connection();
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, m_trayAtom),
                                      nullptr),
        &std::free);
    m_hostWindow = owner ? owner->owner : quint32(XCB_WINDOW_NONE);
    if (m_hostWindow == XCB_WINDOW_NONE)
        return;
    // The host's end comes as the DestroyNotify of its window; Qt listens for
    // it on the same window with the same mask.
    const quint32 mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    const XcbReply<xcb_generic_error_t> failed(
        xcb_request_check(connection, xcb_change_window_attributes_checked(
                                          connection, m_hostWindow, XCB_CW_EVENT_MASK, &mask)),
        &std::free);
    if (failed) { // gone already
        m_hostWindow = XCB_WINDOW_NONE;
        QTimer::singleShot(0, this, &QtTrayBackend::recheckHost);
    }
}

void QtTrayBackend::watchStatusNotifierHosts()
{
    const QString &watcher = watcherService;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto *service =
        new QDBusServiceWatcher(watcher, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(service, &QDBusServiceWatcher::serviceOwnerChanged, this, &QtTrayBackend::recheckHost);
    for (const char *change : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
        bus.connect(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher,
                    QLatin1String(change), this, SLOT(recheckHost()));
    // A host that ends without unregistering, or whose watcher does not tell.
    bus.connect(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"), this,
                SLOT(busNameChanged(QString, QString, QString)));
}

bool QtTrayBackend::showMessage(const QString &title, const QString &text)
{
    if (!m_tray->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable() ||
        !QSystemTrayIcon::supportsMessages())
        return false;
    m_tray->showMessage(title, text, QSystemTrayIcon::Warning, 0);
    return true;
}

void QtTrayBackend::apply(const TrayNotifyData &data)
{
    m_tray->setIcon(data.icon.isNull() ? m_emptyIcon : data.icon);
    m_tray->setToolTip(data.tip);
}

void QtTrayBackend::activated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (m_statusNotifierItem) {
            emit mouseMessage(TrayMouseMessage::LeftButtonUp);
            emit mouseMessage(TrayMouseMessage::LeftButtonDoubleClick);
            emit mouseMessage(TrayMouseMessage::LeftButtonUp);
            break;
        }
        // Held back one turn of the event loop, so that a DoubleClick that
        // follows on its heels comes before it.
        queueLeftButtonUp();
        break;
    case QSystemTrayIcon::DoubleClick:
        emit mouseMessage(TrayMouseMessage::LeftButtonDoubleClick);
        if (m_queuedReleases == 0)
            queueLeftButtonUp(); // the second release, which Qt does not report
        break;
    case QSystemTrayIcon::Context:
        emit mouseMessage(TrayMouseMessage::RightButtonUp);
        break;
    case QSystemTrayIcon::MiddleClick:
        emit mouseMessage(TrayMouseMessage::MiddleButtonUp);
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void QtTrayBackend::queueLeftButtonUp()
{
    ++m_queuedReleases;
    QTimer::singleShot(0, this, [this] {
        --m_queuedReleases;
        emit mouseMessage(TrayMouseMessage::LeftButtonUp);
    });
}

bool QtTrayBackend::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    switch (event->response_type & 0x7f) {
    case XCB_CLIENT_MESSAGE:
        if (isTrayManagerAnnouncement(message)) {
            // Reported once Qt has handled the announcement and docked its icon.
            QTimer::singleShot(0, this, [this] {
                watchX11Host();
                recheckHost();
                emit hostReturned();
            });
        }
        break;
    case XCB_DESTROY_NOTIFY:
        if (m_hostWindow != XCB_WINDOW_NONE &&
            static_cast<const xcb_destroy_notify_event_t *>(message)->window == m_hostWindow) {
            m_hostWindow = XCB_WINDOW_NONE;
            // Asked once Qt has seen the host go too.
            QTimer::singleShot(0, this, &QtTrayBackend::recheckHost);
        }
        break;
    default:
        break;
    }
    return false;
}

bool QtTrayBackend::isTrayManagerAnnouncement(void *event) const
{
    const auto *client = static_cast<const xcb_client_message_event_t *>(event);
    // Other managers (XSETTINGS, clipboard) announce themselves the same way;
    // the second word names the selection taken.
    return client->type == m_managerAtom && client->format == 32 &&
           client->data.data32[1] == m_trayAtom;
}

} // namespace kv
