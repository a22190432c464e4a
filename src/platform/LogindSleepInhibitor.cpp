// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogindSleepInhibitor.h"

#include "DBusReply.h"

#include <QDBusMessage>

namespace kv {

LogindSleepInhibitor::LogindSleepInhibitor(const QDBusConnection &systemBus, QObject *parent)
    : QObject(parent), m_bus(systemBus)
{}

void LogindSleepInhibitor::hold(const QString &why)
{
    m_wanted = true;
    if (m_asked || m_lock.isValid())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call.setArguments(
        {QStringLiteral("sleep"), QStringLiteral("Kronvale"), why, QStringLiteral("block")});
    m_asked = true;
    whenAnswered(m_bus.asyncCall(call), this, [this](const QDBusMessage &reply) {
        m_asked = false;
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            qWarning("kronvale: no sleep inhibitor: %s", qUtf8Printable(reply.errorMessage()));
            return;
        }
        // Released before the answer came: the lock goes at once.
        if (m_wanted)
            m_lock = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
    });
}

void LogindSleepInhibitor::release()
{
    m_wanted = false;
    m_lock = QDBusUnixFileDescriptor();
}

} // namespace kv
