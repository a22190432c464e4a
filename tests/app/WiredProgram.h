// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AboutForm.h"
#include "AdvanceWarnings.h"
#include "AppFakes.h"
#include "Beeper.h"
#include "CalendarForm.h"
#include "DialogTaskEditor.h"
#include "EditTaskForm.h"
#include "Fakes.h"
#include "FileChooser.h"
#include "MainForm.h"
#include "RecordingTrayBackend.h"
#include "Scheduler.h"
#include "StandardErrorBox.h"
#include "TaskActions.h"
#include "TaskBase.h"
#include "TaskTable.h"

namespace kv::test {

class SilentBeeper : public Beeper
{
public:
    void beep() override {}
};

class CancelledFileChooser : public FileChooser
{
public:
    QString chooseFile(QWidget *) override { return {}; }
};

// The editor and its calendar open without loops of their own, so that the
// test goes on while they are shown; they are as modal as with them.
class Editor : public TEditTaskForm
{
public:
    using TEditTaskForm::TEditTaskForm;

protected:
    void runModal() override { open(); }
    void showCalendar() override { CalendarForm->open(); }
};

struct Program
{
    explicit Program(const QString &folder)
        : actions(table, system), scheduler(table, actions, clock, errors),
          base(table, errors, dialogs, folder),
          form({table, actions, scheduler, base, system, links, folder, new RecordingTrayBackend}),
          editor(table, editorErrors, clock, beeper, files, &form), taskEditor(editor)
    {
        errors.setOwner(&form);
        editorErrors.setOwner(&editor);
        form.setTaskEditor(&taskEditor);
    }

    TaskTable table;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(8, 0))};
    RecordingSystemActions system;
    StandardErrorBox errors;
    TaskActions actions;
    Scheduler scheduler;
    ScriptedBaseDialogs dialogs;
    TaskBase base;
    test::RecordingLinkOpener links;
    TMainForm form;
    StandardErrorBox editorErrors;
    SilentBeeper beeper;
    CancelledFileChooser files;
    Editor editor;
    DialogTaskEditor taskEditor;
};

// A warning of `event` with `secondsLeft` to go.
inline AdvanceWarning warningOf(const QString &event, int secondsLeft)
{
    AdvanceWarning warning;
    warning.id = 1;
    warning.eventName = event;
    warning.secondsLeft = secondsLeft;
    return warning;
}

} // namespace kv::test
