// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaskTable.h"

#include "Errors.h"

namespace kv {

TaskTable::TaskTable(QObject *parent) : StringGrid(kColumnCount, 1, parent)
{
    writeHeader();
}

const QStringList &TaskTable::headerTexts()
{
    static const QStringList texts{QString(),
                                   QStringLiteral("Time"),
                                   QStringLiteral("File name/Event"),
                                   QStringLiteral("Path"),
                                   QStringLiteral("Mode"),
                                   QStringLiteral("Starts")};
    return texts;
}

void TaskTable::writeHeader()
{
    for (int c = 0; c < kColumnCount; ++c)
        setCell(c, 0, headerTexts().at(c));
}

int TaskTable::currentTask() const
{
    return hasTasks() && currentRow() >= 1 ? currentRow() : 0;
}

int TaskTable::appendTask(const QString &time, const QString &name, const QString &path,
                          const QString &mode)
{
    if (taskCount() >= kMaxTasks)
        throw Error(tr("The task list is full (%1 tasks).").arg(kMaxTasks));
    const int row = rowCount();
    setRowCount(row + 1);
    setCell(FiredColumn, row, QStringLiteral("0"));
    setCell(TimeColumn, row, time);
    setCell(NameColumn, row, name);
    setCell(PathColumn, row, path);
    setCell(ModeColumn, row, mode);
    setCell(StartsColumn, row, QStringLiteral("0"));
    setFixedRows(1);
    setCurrentRow(row);
    return row;
}

void TaskTable::changeFileTask(int row, const QString &time, const QString &name,
                               const QString &path, const QString &mode)
{
    if (!isTask(row))
        return;
    setCell(FiredColumn, row, QStringLiteral("0"));
    setCell(TimeColumn, row, time);
    setCell(NameColumn, row, name);
    setCell(PathColumn, row, path);
    setCell(ModeColumn, row, mode);
}

void TaskTable::changeEventTask(int row, const QString &time, const QString &name,
                                const QString &mode)
{
    if (!isTask(row))
        return;
    setCell(TimeColumn, row, time);
    setCell(NameColumn, row, name);
    setCell(ModeColumn, row, mode);
}

void TaskTable::DeleteSelectedTask()
{
    const int row = currentTask();
    if (row == 0)
        return;
    removeRow(row);
}

void TaskTable::DeleteAllTasks()
{
    if (!hasTasks())
        return;
    clearTasks();
}

void TaskTable::clearTasks()
{
    for (int c = 0; c < kColumnCount; ++c)
        for (int r = 1; r < rowCount(); ++r)
            setCell(c, r, {});
    setRowCount(1);
}

} // namespace kv
