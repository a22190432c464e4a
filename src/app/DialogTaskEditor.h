// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "EditTaskForm.h"
#include "TaskEditor.h"

namespace kv {

// The main window's task editor: the "New/modify task" dialog.
class DialogTaskEditor : public TaskEditor
{
public:
    explicit DialogTaskEditor(TEditTaskForm &form) : m_form(form) {}
    void editNewTask() override { m_form.NewTask(); }
    void editTask(int row, bool eventTask) override { m_form.EditTask(row, eventTask); }

private:
    TEditTaskForm &m_form;
};

} // namespace kv
