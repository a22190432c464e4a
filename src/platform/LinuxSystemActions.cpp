// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxSystemActions.h"

#include "DBusReply.h"
#include "DisplayPower.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <limits>
#include <memory>

namespace kv {

namespace {

const QString kLogindService = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kLogindManager = QStringLiteral("org.freedesktop.login1.Manager");
constexpr int kQueryTimeoutMs = 2000;
// libdbus's DBUS_TIMEOUT_INFINITE.
constexpr int kNoTimeout = std::numeric_limits<int>::max();

} // namespace

LinuxSystemActions::LinuxSystemActions(const QDBusConnection &systemBus, int pendingAfterMs)
    : m_bus(systemBus), m_pendingAfterMs(pendingAfterMs)
{}

void LinuxSystemActions::openFile(const QString &fullName, const Done &done)
{
    if (fullName.isEmpty()) {
        tell(done, tr("The task names no file."));
        return;
    }
    // Relative names resolve against the working folder, as the shell does. The
    // desktop's opener is started directly: a burst of tasks due in one second
    // opens hundreds of files, and a copy of this process for each would take
    // seconds.
    const QFileInfo file(fullName);
    const QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    // A missing file still goes to the opener, which may know better.
    if (!m_launcher.start(QStringLiteral("xdg-open"), {QString::fromLatin1(url.toEncoded())}))
        tell(done, tr("The desktop's opener (xdg-open) could not be started."));
    else if (!file.exists())
        tell(done, tr("The file %1 does not exist.").arg(file.absoluteFilePath()));
    else
        tell(done);
}

void LinuxSystemActions::powerOff(const Done &done, const Pending &pending)
{
    changeState(QStringLiteral("PowerOff"), done, pending);
}

void LinuxSystemActions::reboot(const Done &done, const Pending &pending)
{
    changeState(QStringLiteral("Reboot"), done, pending);
}

void LinuxSystemActions::standBy(const Done &done, const Pending &pending)
{
    callLogind(QStringLiteral("CanHibernate"), {}, kQueryTimeoutMs,
               [this, done, pending](const QDBusMessage &reply) {
                   const bool canHibernate = reply.type() == QDBusMessage::ReplyMessage &&
                                             !reply.arguments().isEmpty() &&
                                             reply.arguments().constFirst().toString() == u"yes";
                   changeState(canHibernate ? QStringLiteral("Hibernate")
                                            : QStringLiteral("Suspend"),
                               done, pending);
               });
}

void LinuxSystemActions::displayOff(const Done &done)
{
    if (switchDisplayOff())
        tell(done);
    else
        tell(done, tr("No display power control is reachable."));
}

void LinuxSystemActions::callLogind(const QString &method, const QVariantList &arguments,
                                    int timeoutMs,
                                    std::function<void(const QDBusMessage &)> answered)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kLogindService, kLogindPath, kLogindManager, method);
    call.setArguments(arguments);
    whenAnswered(m_bus.asyncCall(call, timeoutMs), &m_replies, std::move(answered));
}

void LinuxSystemActions::changeState(const QString &method, const Done &done,
                                     const Pending &pending)
{
    // A logind that is busy or stopped may answer late and still carry the call
    // out, so the call is never given up on: a while without an answer is told
    // as such, and the answer whenever it comes.
    const auto answered = std::make_shared<bool>(false);
    if (pending)
        QTimer::singleShot(m_pendingAfterMs, &m_replies, [answered, pending] {
            if (!*answered)
                pending(tr("The system's power control (logind) has not answered yet. The "
                           "request stays with it and may still be carried out."));
        });
    // interactive = false: never ask for a password from a timer.
    callLogind(method, {false}, kNoTimeout, [done, answered](const QDBusMessage &reply) {
        *answered = true;
        if (reply.type() != QDBusMessage::ErrorMessage) {
            tell(done);
            return;
        }
        const QDBusError error(reply);
        if (error.type() == QDBusError::Disconnected ||
            error.type() == QDBusError::ServiceUnknown) {
            tell(done, tr("The system's power control (logind) cannot be reached."));
            return;
        }
        const QString text =
            reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
        tell(done, tr("The system refused: %1").arg(text));
    });
}

} // namespace kv
