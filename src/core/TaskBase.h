// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

namespace kv {

class ErrorSink;
class TaskTable;

// The dialogs of the base commands; the program shows real ones, tests answer
// for the user.
class BaseDialogs
{
public:
    enum class CloseChoice
    {
        SaveElsewhere,
        QuitAnyway,
        KeepRunning
    };

    virtual ~BaseDialogs() = default;
    // The chosen file, or an empty text when the user cancels.
    virtual QString chooseSavePath(const QString &folder) = 0;
    virtual QString chooseOpenPath(const QString &folder) = 0;
    // "Tasks should be stopped!"
    virtual void warnTasksNotStopped() = 0;
    // The task list could not be saved as the user closes the program.
    virtual CloseChoice askAfterFailedSave(const QString &message) = 0;
};

// The task base files: the default base read at start, the current base written
// at close and whenever tasks fire, and the Save, Open and New base commands.
class TaskBase
{
    Q_DECLARE_TR_FUNCTIONS(kv::TaskBase)

public:
    static QString defaultName() { return QStringLiteral("KV.log"); }
    static QString newName() { return QStringLiteral("KV_new.log"); }
    // No base of 254 tasks comes near this; a larger file is no base.
    static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

    // Rescue copies of a table that could not be saved when nobody was there to
    // answer go to `rescueFolder` (the user's data folder), or beside the bases.
    TaskBase(TaskTable &table, ErrorSink &errors, BaseDialogs &dialogs, QString folder,
             QString rescueFolder = {});

    // The folder that holds the bases: the program's own folder when it holds a
    // default base or can be written, else the user's data folder (made when needed).
    static QString chooseFolder(const QString &programFolder, const QString &dataFolder);

    const QString &folder() const { return m_folder; }
    const QString &BaseFileName() const { return m_baseFileName; }
    QString currentPath() const;

    // At start: reads the default base, or creates it empty when there is none.
    // A base it cannot read is kept aside before anything can overwrite it, and
    // the error says where. Tells of rescue copies left by an earlier run.
    void loadAtStart();
    // The user closes the program: writes the table to the current base. When
    // that fails the user chooses to save elsewhere, to quit anyway or to stay;
    // returns whether the program may end.
    bool saveAtClose();
    // The program is stopped with nobody to answer (a signal, the session's end):
    // writes the table to the current base or, failing that, to a rescue copy.
    void saveAtStop();

    void LoadDefaultBase();
    // Throws kv::Error naming the base; the file on disk is the old one or the new one.
    void SaveCurrentBase();

    void Savebase1Click();
    void Openbase1Click();
    void Newbase1Click();
    // Empties the table unless a task has fired; returns whether it did.
    bool ClearTaskBase();

    // Both throw kv::Error with the system's message.
    static void writeBase(const TaskTable &table, const QString &path);
    static void readBase(const QString &path, TaskTable &table);

private:
    // Writes to `path`; returns the error text, or nothing when it worked.
    QString trySave(const QString &path) const;
    QString keepUnreadableBase(const QString &path, const QString &failure);
    QString writeRescueCopy() const;
    // Once, of the rescue copies of this folder's bases.
    void tellOfRescueCopies();

    TaskTable &m_table;
    ErrorSink &m_errors;
    BaseDialogs &m_dialogs;
    QString m_folder;
    QString m_rescueFolder;
    QString m_baseFileName = defaultName();
};

} // namespace kv
