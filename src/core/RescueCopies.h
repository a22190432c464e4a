// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kv {

// Copies of task lists that could not be saved when nobody was there to answer.
// Copies of many bases may share one folder, so each has a record beside it that
// names the base it rescues and whether the user has been told of it: only a
// start on that base tells of it, and only once.
class RescueCopies
{
public:
    explicit RescueCopies(QString folder);

    // A new copy of `bytes` for the base at `basePath`; its path, or nothing
    // when it could not be written whole.
    QString write(const QString &basePath, const QByteArray &bytes) const;
    // The copies of the bases in `baseFolder` not told of yet, oldest first.
    QStringList untold(const QString &baseFolder) const;
    // The user has been told of the copy, or has opened it.
    static void markTold(const QString &copy);

private:
    QString m_folder;
};

} // namespace kv
