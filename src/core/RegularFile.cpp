// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kv {

namespace {

RegularFile failed(int errorNumber, const QFile &file)
{
    RegularFile result;
    result.errorNumber = errorNumber;
    if (file.error() != QFileDevice::NoError)
        result.errorString = file.errorString();
    return result;
}

RegularFile refused(RegularFile::Outcome outcome)
{
    RegularFile result;
    result.outcome = outcome;
    return result;
}

} // namespace

RegularFile RegularFile::read(const QString &path, qint64 maxBytes)
{
    QFile file;
    errno = 0;
#ifdef Q_OS_UNIX
    // Not blocking, so that opening a pipe with no writer returns.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(errno, file);
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return refused(Outcome::NotRegular);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(errno, file);
    }
#else
    if (const QFileInfo info(path); info.exists() && !info.isFile())
        return refused(Outcome::NotRegular);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(errno, file);
#endif
    if (file.size() > maxBytes)
        return refused(Outcome::TooLarge);
    errno = 0;
    RegularFile result;
    result.bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failed(errno, file);
    // A file that grew while it was read.
    if (result.bytes.size() > maxBytes)
        return refused(Outcome::TooLarge);
    result.outcome = Outcome::Read;
    return result;
}

} // namespace kv
