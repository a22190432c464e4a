// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxSystemActions.h"

#include "DBusReply.h"
#include "DesktopEntry.h"
#include "DisplayPower.h"
#include "Errors.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <limits>
#include <memory>

#include <unistd.h>

namespace kv {

namespace {

const QString kLogindService = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kLogindManager = QStringLiteral("org.freedesktop.login1.Manager");
constexpr int kQueryTimeoutMs = 2000;
// libdbus's DBUS_TIMEOUT_INFINITE.
constexpr int kNoTimeout = std::numeric_limits<int>::max();
constexpr qsizetype kLongestName = 200;

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
    // Relative names resolve against the working folder, as the shell does.
    const QFileInfo file(fullName);
    const QString path = file.absoluteFilePath();
    // Told here once: some openers would show a box of their own for it as well.
    if (!file.exists()) {
        tell(done, tr("The file %1 does not exist.").arg(excerpt(path, kLongestName)));
        return;
    }
    switch (kindOf(file)) {
    case Kind::Program:
        if (const QString failure = m_launcher.run(path, file.absolutePath()); !failure.isEmpty())
            tell(done, tr("The program %1 could not be started: %2")
                           .arg(excerpt(path, kLongestName), failure));
        else
            tell(done);
        return;
    case Kind::Launcher:
        tell(done, DesktopEntry::launch(path));
        return;
    case Kind::Document:
        break;
    }
    // The desktop's opener is started directly: a burst of tasks due in one
    // second opens hundreds of files, and a copy of this process for each would
    // take seconds. What it says goes to the journal only with its failure.
    const QUrl url = QUrl::fromLocalFile(path);
    const bool started = m_launcher.watch(
        QStringLiteral("xdg-open"), {QString::fromLatin1(url.toEncoded())},
        [done](int status, const QString &said) {
            if (status == 0)
                tell(done);
            else if (said.isEmpty())
                tell(done,
                     tr("The desktop's opener (xdg-open) failed with status %1.").arg(status));
            else
                tell(done, tr("The desktop's opener (xdg-open) failed: %1").arg(said));
        });
    if (!started)
        tell(done, tr("The desktop's opener (xdg-open) could not be started."));
}

LinuxSystemActions::Kind LinuxSystemActions::kindOf(const QFileInfo &file)
{
    if (!file.isFile())
        return Kind::Document;
    const bool mayRun = ::access(QFile::encodeName(file.absoluteFilePath()).constData(), X_OK) == 0;
    // Launchers from the menu's own folders are trusted as the menu trusts them;
    // one elsewhere only when the user has made it executable.
    if (file.suffix() == u"desktop") {
        const QString folder = file.absolutePath();
        const bool fromMenu =
            QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)
                .contains(folder);
        return mayRun || fromMenu ? Kind::Launcher : Kind::Document;
    }
    if (!mayRun)
        return Kind::Document;
    // An executable bit alone is no proof: file systems without permissions
    // show every file as executable.
    QFile content(file.absoluteFilePath());
    if (!content.open(QIODevice::ReadOnly))
        return Kind::Document;
    const QByteArray start = content.read(4);
    return start == "\177ELF" || start.startsWith("#!") ? Kind::Program : Kind::Document;
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
