// SPDX-License-Identifier: GPL-3.0-or-later
#include "Notifications.h"

#include "DBusReply.h"

#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QVariantMap>

namespace kv {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
constexpr int kCloseTimeoutMs = 1000;

} // namespace

DesktopNotifications::DesktopNotifications(const QDBusConnection &bus, QObject *parent)
    : Notifications(parent), m_bus(bus)
{
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
}

DesktopNotifications::~DesktopNotifications()
{
    for (QDBusPendingCall &call : m_closing)
        call.waitForFinished();
}

quint32 DesktopNotifications::show(const Notice &notice)
{
    const quint32 number = ++m_lastNotice;
    // The desktop finds the program's name and icon through its desktop entry.
    const QString entry = QGuiApplication::desktopFileName();
    QVariantMap hints{
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(notice.critical ? 2 : 1))}};
    if (!entry.isEmpty())
        hints.insert(QStringLiteral("desktop-entry"), entry);
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QGuiApplication::applicationDisplayName() << uint(0) << entry << notice.summary
         << notice.body << notice.actions << hints << 0; // never expires: nobody may be there
    m_waiting.insert(number);
    whenAnswered(m_bus.asyncCall(call), this, [this, number](const QDBusMessage &message) {
        const QDBusPendingReply<uint> reply = message;
        const bool wanted = m_waiting.remove(number);
        if (!reply.isError()) {
            if (wanted)
                m_ids.insert(number, reply.value());
            else // withdrawn while on its way
                close(reply.value());
        }
        emit answered(number, !reply.isError());
    });
    return number;
}

void DesktopNotifications::withdraw(quint32 notice)
{
    m_waiting.remove(notice);
    if (const auto id = m_ids.constFind(notice); id != m_ids.cend()) {
        close(*id);
        m_ids.erase(id);
    }
}

void DesktopNotifications::close(uint id)
{
    m_closing.removeIf([](const QDBusPendingCall &call) { return call.isFinished(); });
    m_closing << m_bus.asyncCall(QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                                QStringLiteral("CloseNotification"))
                                     << id,
                                 kCloseTimeoutMs);
}

void DesktopNotifications::onActionInvoked(uint id, const QString &action)
{
    // Every program's notices come by; only ours are named.
    const quint32 notice = m_ids.key(id, 0);
    if (notice != 0)
        emit actionInvoked(notice, action);
}

void DesktopNotifications::onNotificationClosed(uint id, uint)
{
    m_ids.remove(m_ids.key(id, 0));
}

} // namespace kv
