// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace kv {

// A whole file of the user's, whatever lies under its name. Refused before it
// is read when it is not a regular file (a pipe would block, a device never
// end) or is larger than the caller's files can be; a link is followed.
struct RegularFile
{
    enum class Outcome
    {
        Read,
        NotRegular,
        TooLarge,
        Failed
    };

    static RegularFile read(const QString &path, qint64 maxBytes);

    Outcome outcome = Outcome::Failed;
    QByteArray bytes;
    // After Failed: the system's error number (0 if it gave none), and Qt's text
    // where Qt knew more.
    int errorNumber = 0;
    QString errorString;
};

} // namespace kv
