// SPDX-License-Identifier: GPL-3.0-or-later
#include "RescueCopies.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace kv {

namespace {

const QString kMark = QStringLiteral(".unsaved-");
const QString kRecordSuffix = QStringLiteral(".rescues");
const QByteArray kTold = QByteArrayLiteral("told\n");

// The same text for every spelling of a folder that exists.
QString folderKey(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) : canonical;
}

// The record: the base's folder and name, one a line, then "told" once told.
bool writeRecord(const QString &copy, const QByteArray &record)
{
    QSaveFile file(copy + kRecordSuffix);
    return file.open(QIODevice::WriteOnly) && file.write(record) == record.size() && file.commit();
}

} // namespace

RescueCopies::RescueCopies(QString folder) : m_folder(std::move(folder)) {}

QString RescueCopies::write(const QString &basePath, const QByteArray &bytes) const
{
    QDir().mkpath(m_folder);
    const QFileInfo base(basePath);
    const QString stem = QDir(m_folder).filePath(
        base.fileName() + kMark +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    for (int n = 0; n < 100; ++n) {
        // Never over an older copy, even one made in the same second.
        QFile file(n == 0 ? stem : stem + u'-' + QString::number(n));
        if (QFileInfo(file.fileName()).isSymLink() ||
            QFileInfo::exists(file.fileName() + kRecordSuffix))
            continue;
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists())
                continue;
            return {};
        }
        bool written = file.write(bytes) == bytes.size() && file.flush();
#ifdef Q_OS_UNIX
        written = written && ::fsync(file.handle()) == 0;
#endif
        file.close();
        if (!written) {
            file.remove();
            return {};
        }
        // A copy without its record is still named in the journal.
        writeRecord(file.fileName(),
                    (folderKey(base.absolutePath()) + u'\n' + base.fileName() + u'\n').toUtf8());
        return file.fileName();
    }
    return {};
}

QStringList RescueCopies::untold(const QString &baseFolder) const
{
    const QString folder = folderKey(baseFolder);
    QStringList copies;
    const QFileInfoList candidates =
        QDir(m_folder).entryInfoList({QStringLiteral("*") + kMark + QStringLiteral("*")},
                                     QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo &copy : candidates) {
        if (copy.fileName().endsWith(kRecordSuffix))
            continue;
        QFile record(copy.filePath() + kRecordSuffix);
        if (!record.open(QIODevice::ReadOnly) || record.size() > 64 * 1024)
            continue;
        const QList<QByteArray> lines = record.readAll().split('\n');
        if (lines.size() >= 2 && QString::fromUtf8(lines.at(0)) == folder &&
            !lines.contains(kTold.chopped(1)))
            copies << copy.filePath();
    }
    return copies;
}

void RescueCopies::markTold(const QString &copy)
{
    QFile record(copy + kRecordSuffix);
    if (!record.open(QIODevice::ReadOnly))
        return;
    const QByteArray lines = record.readAll();
    record.close();
    if (!lines.split('\n').contains(kTold.chopped(1)))
        writeRecord(copy, lines + kTold);
}

} // namespace kv
