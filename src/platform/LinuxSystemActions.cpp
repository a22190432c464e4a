// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxSystemActions.h"

#include "DisplayPower.h"

#include <QDBusMessage>
#include <QFileInfo>
#include <QUrl>

namespace kv {

namespace {

const QString kLogindService = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kLogindManager = QStringLiteral("org.freedesktop.login1.Manager");
constexpr int kQueryTimeoutMs = 2000;

} // namespace

LinuxSystemActions::LinuxSystemActions(const QDBusConnection &systemBus) : m_bus(systemBus) {}

void LinuxSystemActions::openFile(const QString &fullName)
{
    if (fullName.isEmpty())
        return;
    // Relative names resolve against the working folder, as the shell does. The
    // desktop's opener is started directly: a burst of tasks due in one second
    // opens hundreds of files, and a copy of this process for each would take
    // seconds.
    const QUrl url = QUrl::fromLocalFile(QFileInfo(fullName).absoluteFilePath());
    m_launcher.start(QStringLiteral("xdg-open"), {QString::fromLatin1(url.toEncoded())});
}

void LinuxSystemActions::powerOff()
{
    sendToLogind(QStringLiteral("PowerOff"));
}

void LinuxSystemActions::reboot()
{
    sendToLogind(QStringLiteral("Reboot"));
}

void LinuxSystemActions::standBy()
{
    const QDBusMessage query = QDBusMessage::createMethodCall(
        kLogindService, kLogindPath, kLogindManager, QStringLiteral("CanHibernate"));
    const QDBusMessage reply = m_bus.call(query, QDBus::Block, kQueryTimeoutMs);
    const bool canHibernate = reply.type() == QDBusMessage::ReplyMessage &&
                              !reply.arguments().isEmpty() &&
                              reply.arguments().constFirst().toString() == QLatin1String("yes");
    sendToLogind(canHibernate ? QStringLiteral("Hibernate") : QStringLiteral("Suspend"));
}

void LinuxSystemActions::displayOff()
{
    switchDisplayOff();
}

void LinuxSystemActions::sendToLogind(const QString &method)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kLogindService, kLogindPath, kLogindManager, method);
    call << false; // interactive: never ask for a password from a timer
    m_bus.send(call);
}

} // namespace kv
