// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTrayBackend.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace kv {

namespace {

xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

template <typename Reply> using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

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
        static constexpr char name[] = "MANAGER";
        const XcbReply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name),
                                  nullptr),
            &std::free);
        if (reply) {
            m_managerAtom = reply->atom;
            QCoreApplication::instance()->installNativeEventFilter(this);
        }
    }
}

// The native event filter removes itself from the application.
QtTrayBackend::~QtTrayBackend() = default;

bool QtTrayBackend::add(const TrayNotifyData &data)
{
    apply(data);
    m_tray->show();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTrayBackend::modify(const TrayNotifyData &data)
{
    if (!m_tray->isVisible())
        return false;
    apply(data);
    return true;
}

bool QtTrayBackend::remove(const TrayNotifyData &)
{
    if (!m_tray->isVisible())
        return false;
    m_tray->hide();
    return true;
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
    if (eventType == "xcb_generic_event_t" && isTrayManagerAnnouncement(message)) {
        // Reported once Qt has handled the announcement and docked its icon.
        QTimer::singleShot(0, this, [this] { emit hostReturned(); });
    }
    return false;
}

bool QtTrayBackend::isTrayManagerAnnouncement(void *event) const
{
    const auto *generic = static_cast<const xcb_generic_event_t *>(event);
    if ((generic->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto *client = static_cast<const xcb_client_message_event_t *>(event);
    if (client->type != m_managerAtom || client->format != 32)
        return false;
    // Other managers (XSETTINGS, clipboard) announce themselves the same way;
    // the second word names the selection taken: _NET_SYSTEM_TRAY_S<screen>.
    xcb_connection_t *connection = x11Connection();
    const XcbReply<xcb_get_atom_name_reply_t> reply(
        xcb_get_atom_name_reply(connection, xcb_get_atom_name(connection, client->data.data32[1]),
                                nullptr),
        &std::free);
    if (!reply)
        return false;
    const QByteArray selection(xcb_get_atom_name_name(reply.get()),
                               xcb_get_atom_name_name_length(reply.get()));
    return selection.startsWith("_NET_SYSTEM_TRAY_S");
}

} // namespace kv
