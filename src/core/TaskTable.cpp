// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaskTable.h"

#include "Errors.h"
#include "Modes.h"

namespace kv {

TaskTable::TaskTable(QObject *parent) : StringGrid(kColumnCount, 1, parent)
{
    writeHeader();
}

namespace {
// The grid's column titles; column 0, the fired mark, has none.
constexpr const char *kHeaderTexts[TaskTable::kColumnCount] = {
    "",
    //: Column title: the date and time a task fires at.
    QT_TRANSLATE_NOOP("kv::TaskTable", "Time"),
    //: Column title: the file a task opens, or its power event.
    QT_TRANSLATE_NOOP("kv::TaskTable", "File name/Event"),
    //: Column title: the folder of the file a task opens.
    QT_TRANSLATE_NOOP("kv::TaskTable", "Path"),
    //: Column title: when a task fires (once, on a weekday, every day).
    QT_TRANSLATE_NOOP("kv::TaskTable", "Mode"),
    //: Column title: how many times a task has fired.
    QT_TRANSLATE_NOOP("kv::TaskTable", "Starts")};
} // namespace

const QStringList &TaskTable::headerTexts()
{
    static const QStringList texts = [] {
        QStringList list;
        for (const char *text : kHeaderTexts)
            list << QLatin1String(text);
        return list;
    }();
    return texts;
}

QVariant TaskTable::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return StringGrid::data(index, role);
    const int col = index.column();
    const int row = index.row();
    const QString text = cell(col, row);
    if (row == 0)
        return col < kColumnCount && text == headerTexts().at(col) ? tr(kHeaderTexts[col]) : text;
    if (col == ModeColumn || (col == NameColumn && Modes::eventNames().contains(text)))
        return Modes::shown(text);
    return text;
}

QVariant TaskTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
        return StringGrid::headerData(section, orientation, role);
    return section < columnCount() && rowCount() > 0 ? data(index(0, section))
                                                     : QVariant(tr(kHeaderTexts[section]));
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
        //: %1 is 254, the most tasks a list holds.
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
