// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaskBase.h"

#include "Errors.h"
#include "RegularFile.h"
#include "RescueCopies.h"
#include "TaskBaseFormat.h"
#include "TaskTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <utility>

/* TRANSLATOR kv::TaskBase

   Messages of the task base files, shown in the error box. The error box adds a full stop to a
   message unless it ends in ".", "!", ")" or a straight quote mark, so end each translation as its
   English ends.
*/

namespace kv {

namespace {

// The runtime's input/output messages for a system error number; where the
// system gave none, what Qt knows of the failure.
Error ioError(int code, const QFileDevice *file = nullptr)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return Error(TaskBase::tr("File not found"));
    case EACCES:
    case EPERM:
    case EROFS:
        return Error(TaskBase::tr("File access denied"));
    case 0:
        if (file && file->error() != QFileDevice::NoError)
            return Error(file->errorString());
        //: %1 is the system's error number.
        return Error(TaskBase::tr("I/O error %1").arg(EIO));
    default:
        return Error(TaskBase::tr("I/O error %1").arg(code));
    }
}

Error tooLarge()
{
    return Error(
        //: %1: the largest size of a task base in megabytes; %2: the most tasks a list holds.
        TaskBase::tr("This is no task base: it is larger than %1 MB, far more than %2 tasks "
                     "take")
            .arg(TaskBase::kMaxBytes / (1024 * 1024))
            .arg(TaskTable::kMaxTasks));
}

// The whole file; a base that cannot be one is refused before it is read.
QByteArray readBaseFile(const QString &path)
{
    RegularFile file = RegularFile::read(path, TaskBase::kMaxBytes);
    switch (file.outcome) {
    case RegularFile::Outcome::Read:
        return std::move(file.bytes);
    case RegularFile::Outcome::NotRegular:
        throw Error(TaskBase::tr("This is no task base: it is not a regular file"));
    case RegularFile::Outcome::TooLarge:
        throw tooLarge();
    case RegularFile::Outcome::Failed:
        break;
    }
    if (file.errorNumber == 0 && !file.errorString.isEmpty())
        throw Error(file.errorString);
    throw ioError(file.errorNumber);
}

// A free name beside `stem`: the stem itself, else stem + separator + 1, 2...
QString freeName(const QString &stem, const QString &separator, const QString &suffix)
{
    QString name = stem + suffix;
    for (int n = 1; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = stem + separator + QString::number(n) + suffix;
    return name;
}

} // namespace

TaskBase::TaskBase(TaskTable &table, ErrorSink &errors, BaseDialogs &dialogs, QString folder,
                   QString rescueFolder)
    : m_table(table), m_errors(errors), m_dialogs(dialogs), m_folder(std::move(folder)),
      m_rescueFolder(rescueFolder.isEmpty() ? m_folder : std::move(rescueFolder))
{}

QString TaskBase::chooseFolder(const QString &programFolder, const QString &dataFolder)
{
    const QFileInfo program(programFolder);
    if (QFileInfo::exists(QDir(programFolder).filePath(defaultName())) ||
        (program.isDir() && program.isWritable()))
        return programFolder;
    QDir().mkpath(dataFolder);
    return dataFolder;
}

QString TaskBase::currentPath() const
{
    return QDir(m_folder).filePath(m_baseFileName);
}

void TaskBase::writeBase(const TaskTable &table, const QString &path)
{
    // A device, a pipe, a socket or a folder is never replaced by a base; a link
    // is followed to its file.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        //: Why a task base could not be saved, after "The task base %1 could not be saved:": a
        //: folder, a device or a pipe stands where the file should be.
        throw Error(tr("it is not a regular file"));
    if (target.exists() && !target.isWritable())
        throw ioError(EACCES);
    QSaveFile file(path);
    // Where no new file can be made beside the base, the base is written in place.
    file.setDirectWriteFallback(true);
    errno = 0;
    // Unbuffered, so a short write shows in write()'s count: a buffered one can be
    // cut short in the final flush and still be committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw ioError(errno, &file);
    const QByteArray bytes = TaskBaseFormat::encode(table);
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw ioError(errno, &file);
}

void TaskBase::readBase(const QString &path, TaskTable &table)
{
    if (const auto contents = TaskBaseFormat::decode(readBaseFile(path)))
        TaskBaseFormat::apply(*contents, table);
}

void TaskBase::LoadDefaultBase()
{
    readBase(QDir(m_folder).filePath(defaultName()), m_table);
}

QString TaskBase::trySave(const QString &path) const
{
    try {
        writeBase(m_table, path);
        return {};
    } catch (const Error &error) {
        //: %1 is the file, %2 why (a message of its own).
        return tr("The task base %1 could not be saved: %2")
            .arg(QDir::toNativeSeparators(path), error.message());
    }
}

void TaskBase::SaveCurrentBase()
{
    if (const QString failure = trySave(currentPath()); !failure.isEmpty())
        throw Error(failure);
}

void TaskBase::loadAtStart()
{
    m_baseFileName = defaultName();
    const QString path = QDir(m_folder).filePath(defaultName());
    const auto createEmpty = [&] {
        QFile file(path);
        errno = 0;
        if (!file.open(QIODevice::WriteOnly))
            m_errors.showError(ioError(errno, &file));
    };
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        createEmpty();
    } else {
        try {
            LoadDefaultBase();
        } catch (const Error &error) {
            const QString message = keepUnreadableBase(path, error.message());
            // Moved aside rather than copied: the base is missing now.
            if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
                createEmpty();
            m_errors.showError(message);
        }
    }
    if (m_table.hasTasks())
        m_table.setFixedRows(1);
    tellOfRescueCopies();
}

QString TaskBase::keepUnreadableBase(const QString &path, const QString &failure)
{
    const QString copy = freeName(path, QStringLiteral("."), QStringLiteral(".bak"));
    const QString base = QDir::toNativeSeparators(path);
    const QString why = standardErrorText(failure);
    // A base of sensible size is copied, so a link to it stays a link; anything
    // else (a pipe, a device, a huge file) is moved out of the way whole.
    const QFileInfo info(path);
    QFile source(path);
    const bool kept = info.isFile() && info.size() <= kMaxBytes
                          ? source.copy(copy)
                          : std::rename(QFile::encodeName(path).constData(),
                                        QFile::encodeName(copy).constData()) == 0;
    if (!kept)
        //: %1 is the file, %2 why (a message that ends with its full stop). The file could not
        //: be copied aside either, and the program will write its list under that name.
        return tr("The task base %1 could not be read: %2 Nor could it be kept aside, so save a "
                  "copy of it yourself before Kronvale saves its task list under that name")
            .arg(base, why);
    //: %1 is the file, %2 why (a message that ends with its full stop), %3 the copy kept aside.
    return tr("The task base %1 could not be read: %2 Its contents are kept in %3")
        .arg(base, why, QDir::toNativeSeparators(copy));
}

bool TaskBase::saveAtClose()
{
    QString failure = trySave(currentPath());
    while (!failure.isEmpty()) {
        switch (m_dialogs.askAfterFailedSave(standardErrorText(failure))) {
        case BaseDialogs::CloseChoice::SaveElsewhere:
            if (const QString path = m_dialogs.chooseSavePath(m_folder); !path.isEmpty())
                failure = trySave(path);
            break;
        case BaseDialogs::CloseChoice::QuitAnyway:
            return true;
        case BaseDialogs::CloseChoice::KeepRunning:
            return false;
        }
    }
    return true;
}

void TaskBase::saveAtStop()
{
    const QString failure = trySave(currentPath());
    if (failure.isEmpty())
        return;
    const QString rescue = writeRescueCopy();
    // Nobody may see a box now; the journal of the session keeps this line.
    qWarning("%s %s", qUtf8Printable(standardErrorText(failure)),
             qUtf8Printable(
                 rescue.isEmpty()
                     //: Written to the session's journal after the last save failed as the
                     //: session ended.
                     ? tr("No rescue copy could be written either.")
                     //: Written to the session's journal after the last save failed: %1 is the
                     //: rescue copy.
                     : tr("The task list is kept in %1.").arg(QDir::toNativeSeparators(rescue))));
}

QString TaskBase::writeRescueCopy() const
{
    return RescueCopies(m_rescueFolder).write(currentPath(), TaskBaseFormat::encode(m_table));
}

void TaskBase::tellOfRescueCopies()
{
    const QStringList copies = RescueCopies(m_rescueFolder).untold(m_folder);
    if (copies.isEmpty())
        return;
    QStringList shown;
    for (const QString &copy : copies)
        shown << QDir::toNativeSeparators(copy);
    m_errors.showError(
        //: %1: the rescue copies, one a line. "Open base" is the File menu's item: write it as
        //: translated there.
        tr("When Kronvale last ended, it could not save its task list. The list "
           "was kept in:\n%1\nTo take it back, choose \"Open base\" and give that name.")
            .arg(shown.join(QLatin1Char('\n'))));
    for (const QString &copy : copies)
        RescueCopies::markTold(copy);
}

void TaskBase::Savebase1Click()
{
    const QString path = m_dialogs.chooseSavePath(m_folder);
    if (path.isEmpty())
        return;
    m_baseFileName = QFileInfo(path).fileName();
    if (const QString failure = trySave(path); !failure.isEmpty())
        m_errors.showError(failure);
}

void TaskBase::Openbase1Click()
{
    const QString path = m_dialogs.chooseOpenPath(m_folder);
    if (path.isEmpty())
        return;
    try {
        readBase(path, m_table);
        RescueCopies::markTold(path);
    } catch (const Error &error) {
        m_errors.showError(error);
    }
}

void TaskBase::Newbase1Click()
{
    ClearTaskBase();
    m_baseFileName = newName();
}

bool TaskBase::ClearTaskBase()
{
    for (int r = 1; r < m_table.rowCount(); ++r) {
        if (m_table.cell(TaskTable::FiredColumn, r) == QLatin1String("1")) {
            m_dialogs.warnTasksNotStopped();
            return false;
        }
    }
    m_table.clearTasks();
    return true;
}

} // namespace kv
