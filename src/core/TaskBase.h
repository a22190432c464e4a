// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kv {

class ErrorSink;
class TaskTable;

// The dialogs of the base commands; the program shows real ones, tests answer
// for the user.
class BaseDialogs
{
public:
    virtual ~BaseDialogs() = default;
    // The chosen file, or an empty text when the user cancels.
    virtual QString chooseSavePath(const QString &folder) = 0;
    virtual QString chooseOpenPath(const QString &folder) = 0;
    // "Tasks should be stopped!"
    virtual void warnTasksNotStopped() = 0;
};

// The task base files: the default base read at start, the current base written
// at close and whenever a task fires, and the Save, Open and New base commands.
class TaskBase
{
public:
    static QString defaultName() { return QStringLiteral("KV.log"); }
    static QString newName() { return QStringLiteral("KV_new.log"); }

    TaskBase(TaskTable &table, ErrorSink &errors, BaseDialogs &dialogs, QString folder);

    // The folder that holds the bases: the program's own folder when it holds a
    // default base or can be written, else the user's data folder (made when needed).
    static QString chooseFolder(const QString &programFolder, const QString &dataFolder);

    const QString &folder() const { return m_folder; }
    const QString &BaseFileName() const { return m_baseFileName; }
    QString currentPath() const;

    // At start: reads the default base, or creates it empty when there is none.
    // A base it cannot read is kept beside itself before anything can overwrite
    // it, and the error says where.
    void loadAtStart();
    // Writes the table to the current base; errors go to the error box.
    void saveAtClose();

    // Both throw kv::Error; the file on disk is either the old one or the new one.
    void LoadDefaultBase();
    void SaveCurrentBase();

    void Savebase1Click();
    void Openbase1Click();
    void Newbase1Click();
    // Empties the table unless a task has fired; returns whether it did.
    bool ClearTaskBase();

    static void writeBase(const TaskTable &table, const QString &path);
    static void readBase(const QString &path, TaskTable &table);

private:
    QString keepUnreadableBase(const QString &path, const QString &failure);

    TaskTable &m_table;
    ErrorSink &m_errors;
    BaseDialogs &m_dialogs;
    QString m_folder;
    QString m_baseFileName = defaultName();
};

} // namespace kv
