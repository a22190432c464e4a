// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileLock.h"

#include "UserFolders.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#include <QLockFile>
#endif

namespace kv {

#ifdef Q_OS_UNIX

struct FileLock::Handle
{
    int fd = -1;
};

FileLock::FileLock() : m_handle(std::make_unique<Handle>()) {}

FileLock::~FileLock()
{
    unlock();
}

FileLock::Result FileLock::tryLock(const QString &path)
{
    unlock();
    const QByteArray name = QFile::encodeName(path);
    constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW;
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | kFlags, 0644);
    if (fd >= 0) {
        struct stat status = {};
        // Readable by other users whatever the umask, on a file of our own.
        if (::fstat(fd, &status) == 0 && status.st_uid == ::getuid())
            ::fchmod(fd, 0644);
    } else {
        // Another user's lock file: reading is enough to take part.
        fd = ::open(name.constData(), O_RDONLY | kFlags);
    }
    return lockOpened(fd);
}

FileLock::Result FileLock::tryLockExisting(const QString &path)
{
    unlock();
    // Not blocking on a pipe that stands in its place.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    struct stat status = {};
    if (fd >= 0 && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
        ::close(fd);
        return Result::Unavailable;
    }
    return lockOpened(fd);
}

FileLock::Result FileLock::lockOpened(int fd)
{
    if (fd < 0)
        return Result::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? Result::Busy : Result::Unavailable;
    }
    m_handle->fd = fd;
    return Result::Locked;
}

void FileLock::unlock()
{
    if (m_handle->fd >= 0)
        ::close(m_handle->fd);
    m_handle->fd = -1;
}

bool FileLock::isLocked() const
{
    return m_handle->fd >= 0;
}

QString FileLock::userRuntimeFolder()
{
    const auto isOwnFolder = [](const QString &path) {
        struct stat status = {};
        return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &status) == 0 &&
               S_ISDIR(status.st_mode) && status.st_uid == ::getuid() &&
               (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
    };
    // A relative path would name another folder from every working folder.
    const QString fromSession = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (QDir::isAbsolutePath(fromSession) && isOwnFolder(fromSession))
        return QDir::cleanPath(fromSession);
    const QString standard = QStringLiteral("/run/user/%1").arg(::getuid());
    if (isOwnFolder(standard))
        return standard;
    // Never the shared temporary folder, where another user could be first.
    const QString cache = UserFolders::cacheHome();
    if (cache.isEmpty())
        return {};
    const QString own = cache + QStringLiteral("/kronvale");
    QDir().mkpath(own);
    ::chmod(QFile::encodeName(own).constData(), 0700);
    return isOwnFolder(own) ? own : QString();
}

#else

struct FileLock::Handle
{
    std::unique_ptr<QLockFile> file;
};

FileLock::FileLock() : m_handle(std::make_unique<Handle>()) {}

FileLock::~FileLock() = default;

FileLock::Result FileLock::tryLock(const QString &path)
{
    unlock();
    auto file = std::make_unique<QLockFile>(path);
    file->setStaleLockTime(0);
    if (file->tryLock(0)) {
        m_handle->file = std::move(file);
        return Result::Locked;
    }
    return file->error() == QLockFile::LockFailedError ? Result::Busy : Result::Unavailable;
}

FileLock::Result FileLock::tryLockExisting(const QString &path)
{
    return QFileInfo(path).isFile() ? tryLock(path + QStringLiteral(".lock")) : Result::Unavailable;
}

void FileLock::unlock()
{
    m_handle->file.reset();
}

bool FileLock::isLocked() const
{
    return m_handle->file != nullptr;
}

QString FileLock::userRuntimeFolder()
{
    const QString cache = UserFolders::cacheHome();
    if (cache.isEmpty())
        return {};
    const QString own = cache + QStringLiteral("/kronvale");
    QDir().mkpath(own);
    return own;
}

#endif

} // namespace kv
