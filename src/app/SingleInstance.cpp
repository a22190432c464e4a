// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <unistd.h>

namespace kv {

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
constexpr int kHandOverMs = 3000;
} // namespace

QString SingleInstance::keyFor(const QString &baseFolder)
{
    const QString canonical = QFileInfo(baseFolder).canonicalFilePath();
    const QString folder = canonical.isEmpty() ? QDir::cleanPath(baseFolder) : canonical;
    const QByteArray hash =
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("kronvale-%1-%2").arg(QString::fromLatin1(hash)).arg(getuid());
}

SingleInstance::SingleInstance(const QString &baseFolder, QObject *parent)
    : QObject(parent), m_key(keyFor(baseFolder)),
      m_lock(QDir(QDir::tempPath()).filePath(m_key + QStringLiteral(".lock")))
{
    // Held for the whole run: only a lock whose program has died is stale.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim()
{
    if (!m_lock.tryLock(0)) {
        askRunningInstance();
        return false;
    }
    // The lock is ours, so a socket of that name is left over from a crash.
    QLocalServer::removeServer(m_key);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains('\n'))
                    emit activationRequested();
            });
        }
    });
    m_server->listen(m_key);
    return true;
}

bool SingleInstance::askRunningInstance() const
{
    // The holder may be starting up and not yet listening.
    const QDeadlineTimer deadline(kHandOverMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_key);
        if (socket.waitForConnected(500)) {
            socket.write(kShowRequest);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(50);
    }
    return false;
}

} // namespace kv
