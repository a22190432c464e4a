// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "EditTaskForm.h"
#include "TaskEditor.h"

#include <functional>

namespace kv {

// The main window's task editor: the "New/modify task" dialog, either given or
// built when first opened, so that the start does not wait for a window it
// does not show.
class DialogTaskEditor : public TaskEditor
{
public:
    using Build = std::function<TEditTaskForm *()>;
    explicit DialogTaskEditor(TEditTaskForm &form) : m_form(&form) {}
    explicit DialogTaskEditor(Build build) : m_build(std::move(build)) {}
    void editNewTask() override { form().NewTask(); }
    void editTask(int row, bool eventTask) override { form().EditTask(row, eventTask); }

private:
    TEditTaskForm &form()
    {
        if (!m_form)
            m_form = m_build();
        return *m_form;
    }

    Build m_build;
    TEditTaskForm *m_form = nullptr; // owned by its parent window
};

} // namespace kv
