// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "StringGrid.h"

namespace kv {

// The task list: a six-column grid whose row 0 is the title row and whose other
// rows are tasks, every cell text. Row 0 is fixed while there is a task; with no
// task it is an ordinary row and the current row is 0.
class TaskTable : public StringGrid
{
    Q_OBJECT

public:
    enum Column
    {
        FiredColumn,
        TimeColumn,
        NameColumn,
        PathColumn,
        ModeColumn,
        StartsColumn
    };
    static constexpr int kColumnCount = 6;
    static constexpr int kMaxTasks = 254;

    explicit TaskTable(QObject *parent = nullptr);

    static const QStringList &headerTexts();
    void writeHeader();

    // As the grid shows a cell: the title row, the modes and the event names in the
    // user's language. Every other role, and cell(), give the stored text.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The column titles are those the title row shows, for the views and the
    // assistive tools that ask the model for them.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int taskCount() const { return rowCount() - 1; }
    bool hasTasks() const { return rowCount() >= 2; }
    // The current row when it is a task, else 0.
    int currentTask() const;

    // Adds an armed task (fired mark and start count "0") as the last row and makes
    // it current; the title row becomes fixed again. Throws kv::Error when the list
    // already holds kMaxTasks tasks. Returns the new row.
    int appendTask(const QString &time, const QString &name, const QString &path,
                   const QString &mode);
    // Rewrites a file task and arms it again; the start count stays.
    void changeFileTask(int row, const QString &time, const QString &name, const QString &path,
                        const QString &mode);
    // Rewrites an event task; the fired mark, path and start count stay.
    void changeEventTask(int row, const QString &time, const QString &name, const QString &mode);

    // Removes the current task; later tasks move up. Does nothing without one.
    void DeleteSelectedTask();
    // Removes every task without a question.
    void DeleteAllTasks();
    // Blanks every task cell, column by column, then leaves only the title row.
    void clearTasks();

private:
    bool isTask(int row) const { return row >= 1 && row < rowCount(); }
};

} // namespace kv
