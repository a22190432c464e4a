// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstance.h"

#include "TaskBase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace kv {

namespace {

// "show", a space and the token where there is one.
const QByteArray kShowRequest = QByteArrayLiteral("show");
constexpr int kHandOverMs = 3000;

QString keyFor(const QString &baseFolder)
{
    const QString canonical = QFileInfo(baseFolder).canonicalFilePath();
    const QString folder = canonical.isEmpty() ? QDir::cleanPath(baseFolder) : canonical;
    const QByteArray hash =
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("kronvale-") + QString::fromLatin1(hash);
}

} // namespace

SingleInstance::SingleInstance(const QString &baseFolder, const QString &runtimeFolder,
                               std::unique_ptr<LocalChannel> channel, QObject *parent)
    : QObject(parent), m_baseFolder(baseFolder),
      m_runtimeFolder(runtimeFolder.isEmpty() ? FileLock::userRuntimeFolder() : runtimeFolder),
      m_channel(channel ? std::move(channel) : std::make_unique<UnixLocalChannel>())
{
    const QString key = keyFor(baseFolder);
    if (m_runtimeFolder.isEmpty()) {
        // Nowhere of the user's own: only the base folder's lock guards, and the
        // socket goes to the shared temporary folder.
        m_serverName = QDir::temp().filePath(key);
        return;
    }
    const QDir runtime(m_runtimeFolder);
    m_serverName = runtime.filePath(key + QStringLiteral(".socket"));
    m_userLockPath = runtime.filePath(key + QStringLiteral(".lock"));
    m_noticeRecordPath = runtime.filePath(key + QStringLiteral(".notices"));
}

SingleInstance::~SingleInstance() = default;

QByteArray SingleInstance::activationToken()
{
    // Wayland's launchers set the first, X11's the second, GNOME's both; the
    // running copy can use the one of the window system that both copies choose.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool x11 =
        platform.startsWith("xcb") || (platform.isEmpty() && qgetenv("WAYLAND_DISPLAY").isEmpty());
    const QByteArray wayland = qgetenv("XDG_ACTIVATION_TOKEN").trimmed();
    const QByteArray startupId = qgetenv("DESKTOP_STARTUP_ID").trimmed();
    return (x11 ? startupId : wayland).isEmpty() ? (x11 ? wayland : startupId)
                                                 : (x11 ? startupId : wayland);
}

SingleInstance::Claim SingleInstance::claim(const QByteArray &token)
{
    const QString folder = QDir::toNativeSeparators(m_baseFolder);
    if (!m_userLockPath.isEmpty()) {
        if (m_userLock.tryLock(m_userLockPath) == FileLock::Result::Busy) {
            if (askRunningInstance(token))
                return Claim::HandedOver;
            //: %1 is the folder of the task bases. The running copy did not answer the request
            //: to show its window.
            m_refusal = tr("Kronvale is already running on the task base folder %1, but it does "
                           "not answer. Two copies would fire every task twice, so this one "
                           "does not start.")
                            .arg(folder);
            return Claim::Refused;
        }
    }
    // A folder that cannot hold the lock file (one the user may not write) is
    // guarded by its default base, locked as it stands: that works on a file
    // opened for reading too, and so among users sharing a read-only base. The
    // base is locked beside the lock file as well, for a copy of a user who
    // could not make the lock file and holds the base alone.
    const QDir baseFolder(m_baseFolder);
    if (m_folderLock.tryLock(baseFolder.filePath(baseLockName())) == FileLock::Result::Busy ||
        m_baseLock.tryLockExisting(baseFolder.filePath(TaskBase::defaultName())) ==
            FileLock::Result::Busy) {
        m_folderLock.unlock();
        m_userLock.unlock();
        //: %1 is the folder of the task bases.
        m_refusal = tr("Another copy of Kronvale, perhaps one of another user, is already "
                       "running on the task base folder %1. Two copies would fire every task "
                       "twice, so this one does not start.")
                        .arg(folder);
        return Claim::Refused;
    }
    listen();
    return Claim::Ours;
}

void SingleInstance::listen()
{
    // The lock is ours, so a socket of that name is left over from a crash and
    // the channel takes its place.
    connect(m_channel.get(), &LocalChannel::lineReceived, this, [this](const QByteArray &line) {
        const QByteArray request = line.trimmed();
        emit activationRequested(request.startsWith(kShowRequest + ' ')
                                     ? request.mid(kShowRequest.size() + 1).trimmed()
                                     : QByteArray());
    });
    if (!m_channel->listen(m_serverName))
        qWarning("Kronvale cannot listen on %s: %s", qUtf8Printable(m_serverName),
                 qUtf8Printable(m_channel->errorString()));
}

bool SingleInstance::askRunningInstance(const QByteArray &token)
{
    QByteArray request = kShowRequest;
    if (!token.isEmpty() && !token.contains('\n'))
        request += ' ' + token;
    // The holder may be starting up and not yet listening.
    return m_channel->send(m_serverName, request, kHandOverMs);
}

} // namespace kv
