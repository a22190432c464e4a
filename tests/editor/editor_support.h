// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Beeper.h"
#include "CalendarForm.h"
#include "EditTaskForm.h"
#include "Fakes.h"
#include "FileChooser.h"
#include "TaskTable.h"

namespace kv::test {

class CountingBeeper : public Beeper
{
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

class ScriptedFileChooser : public FileChooser
{
public:
    QString chooseFile(QWidget *) override
    {
        ++asked;
        return answer;
    }
    QString answer; // empty: the user cancels
    int asked = 0;
};

// The editor shown without nested event loops, so a test drives it directly.
// open() keeps the dialogs modal, as the program shows them.
class OpenEditTaskForm : public TEditTaskForm
{
public:
    using TEditTaskForm::TEditTaskForm;

protected:
    void runModal() override { open(); }
    void showCalendar() override { CalendarForm->open(); }
};

// The program's parts around one editor, with day-first dates ("07.12.2026");
// the clock reads 7 December 2026 9:05:00.
struct EditorRig
{
    DateTimeText texts{QLocale(QLocale::German, QLocale::Germany)};
    TaskTable table;
    RecordingErrorSink errors;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 5, 0))};
    CountingBeeper beeper;
    ScriptedFileChooser files;
    OpenEditTaskForm editor{table, errors, clock, beeper, files, nullptr, texts};
    TCalendarForm &calendar = *editor.CalendarForm;

    int addRow(const QString &fired, const QString &time, const QString &name, const QString &path,
               const QString &mode, const QString &starts)
    {
        const int row = table.appendTask(time, name, path, mode);
        table.setCell(TaskTable::FiredColumn, row, fired);
        table.setCell(TaskTable::StartsColumn, row, starts);
        return row;
    }
    QStringList rowCells(int row) const
    {
        QStringList cells;
        for (int c = 0; c < TaskTable::kColumnCount; ++c)
            cells << table.cell(c, row);
        return cells;
    }
};

} // namespace kv::test
