// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

namespace kv {

// An exclusive lock on a file that the system lets go of when the process ends,
// however it ends: a lock left by a crash never blocks a new start.
class FileLock
{
public:
    FileLock();
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    enum class Result
    {
        Locked,
        Busy,        // another process holds it
        Unavailable, // the file cannot be made or opened
    };
    // Makes the file when it is missing, readable by all so that other users can
    // see that it is held. Never follows a link.
    Result tryLock(const QString &path);
    // Locks a regular file that is there already, opened for reading only: it is
    // neither made nor changed. Unavailable for anything else.
    Result tryLockExisting(const QString &path);
    void unlock();
    bool isLocked() const;

    // This user's own folder for runtime files, which no other user can write:
    // $XDG_RUNTIME_DIR or /run/user/<uid> when it is such a folder, else one in
    // the user's cache folder. Empty when none can be had.
    static QString userRuntimeFolder();

private:
#ifdef Q_OS_UNIX
    Result lockOpened(int fd);
#endif
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};

} // namespace kv
