// SPDX-License-Identifier: GPL-3.0-or-later
#include "LocalChannel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace kv {

namespace {

constexpr int kPollMs = 50;
constexpr int kWriteMs = 1000;

bool addressOf(const QByteArray &path, sockaddr_un &address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

int unixSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

bool peerIsThisUser(int fd)
{
    ucred credentials = {};
    socklen_t size = sizeof(credentials);
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           credentials.uid == ::getuid();
}

bool waitFor(int fd, short events, int timeoutMs)
{
    pollfd entry{fd, events, 0};
    int ready = 0;
    do
        ready = ::poll(&entry, 1, timeoutMs);
    while (ready < 0 && errno == EINTR);
    return ready > 0 && (entry.revents & events);
}

bool writeAll(int fd, const QByteArray &bytes, const QDeadlineTimer &deadline)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::send(fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (written > 0)
            done += written;
        else if (written < 0 && errno == EINTR)
            continue;
        else if (written < 0 && errno == EAGAIN && !deadline.hasExpired())
            waitFor(fd, POLLOUT, int(deadline.remainingTime()));
        else
            return false;
    }
    return true;
}

QString systemError(const char *what, const QString &name)
{
    return QStringLiteral("%1 %2: %3")
        .arg(QLatin1String(what), name, QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

struct UnixLocalChannel::Peer
{
    int fd = -1;
    QSocketNotifier *notifier = nullptr;
    QByteArray buffer;
};

UnixLocalChannel::UnixLocalChannel(QObject *parent) : LocalChannel(parent) {}

UnixLocalChannel::~UnixLocalChannel()
{
    // The notifiers, children of the channel, go after their sockets.
    for (const auto &peer : m_peers) {
        peer->notifier->setEnabled(false);
        ::close(peer->fd);
    }
    if (m_fd >= 0) {
        m_notifier->setEnabled(false);
        ::close(m_fd);
        ::unlink(m_path.constData());
    }
}

bool UnixLocalChannel::listen(const QString &name)
{
    const QByteArray path = QFile::encodeName(name);
    // Bound under a name of its own and made private before it takes the real
    // name, so that no other user can ever connect; the rename also replaces a
    // socket left behind by a crash.
    const QByteArray bound = path + '.' + QByteArray::number(QCoreApplication::applicationPid());
    sockaddr_un address;
    if (!addressOf(bound, address)) {
        m_error = QStringLiteral("socket name too long: ") + name;
        return false;
    }
    const int fd = unixSocket();
    ::unlink(bound.constData());
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
        m_error = systemError("cannot bind", name);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    if (::chmod(bound.constData(), S_IRUSR | S_IWUSR) != 0 ||
        ::rename(bound.constData(), path.constData()) != 0 || ::listen(fd, SOMAXCONN) != 0) {
        m_error = systemError("cannot listen on", name);
        ::unlink(bound.constData());
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_path = path;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixLocalChannel::accept);
    return true;
}

void UnixLocalChannel::accept()
{
    for (;;) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        if (!peerIsThisUser(fd)) {
            ::close(fd);
            continue;
        }
        auto peer = std::make_unique<Peer>();
        peer->fd = fd;
        peer->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(peer->notifier, &QSocketNotifier::activated, this,
                [this, raw = peer.get()] { read(raw); });
        m_peers.push_back(std::move(peer));
    }
}

void UnixLocalChannel::read(Peer *peer)
{
    char chunk[1024];
    bool ended = false;
    // What is left waits for the next round, so that no peer fills the memory.
    while (peer->buffer.size() <= 2 * kLongestLine) {
        const ssize_t got = ::read(peer->fd, chunk, sizeof(chunk));
        if (got > 0) {
            peer->buffer.append(chunk, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        ended = got == 0 || errno != EAGAIN;
        break;
    }
    for (qsizetype end; (end = peer->buffer.indexOf('\n')) >= 0;) {
        // No request is that long: the peer is not one of ours.
        if (end > kLongestLine) {
            drop(peer);
            return;
        }
        const QByteArray line = peer->buffer.left(end);
        peer->buffer.remove(0, end + 1);
        emit lineReceived(line);
    }
    // An unfinished line at the end is no request.
    if (ended || peer->buffer.size() > kLongestLine)
        drop(peer);
}

void UnixLocalChannel::drop(Peer *peer)
{
    peer->notifier->setEnabled(false);
    peer->notifier->deleteLater();
    ::close(peer->fd);
    std::erase_if(m_peers, [peer](const auto &held) { return held.get() == peer; });
}

bool UnixLocalChannel::send(const QString &name, const QByteArray &line, int timeoutMs)
{
    sockaddr_un address;
    if (line.contains('\n') || !addressOf(QFile::encodeName(name), address)) {
        m_error = QStringLiteral("cannot send to ") + name;
        return false;
    }
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const int fd = unixSocket();
        if (fd < 0) {
            m_error = systemError("cannot connect to", name);
            return false;
        }
        // Refused also while the queue of a channel that is there is full.
        if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0) {
            // A socket that another user put there takes nothing of ours.
            const bool trusted = peerIsThisUser(fd);
            const bool sent =
                trusted && (line.isEmpty() || writeAll(fd, line + '\n', QDeadlineTimer(kWriteMs)));
            if (!trusted)
                m_error = QStringLiteral("not this user's socket: ") + name;
            else if (!sent)
                m_error = systemError("cannot send to", name);
            ::close(fd);
            return sent;
        }
        m_error = systemError("cannot connect to", name);
        ::close(fd);
        if (deadline.hasExpired())
            return false;
        QThread::msleep(kPollMs);
    }
}

} // namespace kv
