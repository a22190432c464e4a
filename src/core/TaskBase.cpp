// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaskBase.h"

#include "Errors.h"
#include "TaskBaseFormat.h"
#include "TaskTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <utility>

namespace kv {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("kv::TaskBase", text);
}

// The runtime's input/output messages for a system error number.
Error ioError(int code)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return Error(tr("File not found"));
    case EACCES:
    case EPERM:
    case EROFS:
        return Error(tr("File access denied"));
    default:
        return Error(tr("I/O error %1").arg(code != 0 ? code : EIO));
    }
}

} // namespace

TaskBase::TaskBase(TaskTable &table, ErrorSink &errors, BaseDialogs &dialogs, QString folder)
    : m_table(table), m_errors(errors), m_dialogs(dialogs), m_folder(std::move(folder))
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
    QSaveFile file(path);
    errno = 0;
    // Unbuffered, so a short write shows in write()'s count: a buffered one can be
    // cut short in the final flush and still be committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw ioError(errno);
    const QByteArray bytes = TaskBaseFormat::encode(table);
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw ioError(errno);
}

void TaskBase::readBase(const QString &path, TaskTable &table)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        throw ioError(errno);
    errno = 0;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ioError(errno);
    if (const auto contents = TaskBaseFormat::decode(bytes))
        TaskBaseFormat::apply(*contents, table);
}

void TaskBase::LoadDefaultBase()
{
    readBase(QDir(m_folder).filePath(defaultName()), m_table);
}

void TaskBase::SaveCurrentBase()
{
    writeBase(m_table, currentPath());
}

void TaskBase::loadAtStart()
{
    m_baseFileName = defaultName();
    const QString path = QDir(m_folder).filePath(defaultName());
    if (!QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            m_errors.showError(ioError(errno));
    } else {
        try {
            LoadDefaultBase();
        } catch (const Error &error) {
            m_errors.showError(keepUnreadableBase(path, error.message()));
        }
    }
    if (m_table.hasTasks())
        m_table.setFixedRows(1);
}

QString TaskBase::keepUnreadableBase(const QString &path, const QString &failure)
{
    QString copy = path + QStringLiteral(".bak");
    for (int n = 1; QFileInfo::exists(copy); ++n)
        copy = path + QStringLiteral(".%1.bak").arg(n);
    const QString base = QDir::toNativeSeparators(path);
    if (!QFile::copy(path, copy))
        return tr("The task base %1 could not be read (%2), nor copied aside; it will be "
                  "overwritten when Kronvale closes.")
            .arg(base, failure);
    return tr("The task base %1 could not be read (%2). Its contents are kept in %3")
        .arg(base, failure, QDir::toNativeSeparators(copy));
}

void TaskBase::saveAtClose()
{
    try {
        SaveCurrentBase();
    } catch (const Error &error) {
        m_errors.showError(error);
    }
}

void TaskBase::Savebase1Click()
{
    const QString path = m_dialogs.chooseSavePath(m_folder);
    if (path.isEmpty())
        return;
    m_baseFileName = QFileInfo(path).fileName();
    try {
        writeBase(m_table, path);
    } catch (const Error &error) {
        m_errors.showError(error);
    }
}

void TaskBase::Openbase1Click()
{
    const QString path = m_dialogs.chooseOpenPath(m_folder);
    if (path.isEmpty())
        return;
    try {
        readBase(path, m_table);
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
