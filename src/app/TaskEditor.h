// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kv {

// The task editor as the main window calls it: modally, for a new task or on
// one task row. The editor writes its result into the task table itself.
class TaskEditor
{
public:
    virtual ~TaskEditor() = default;
    virtual void editNewTask() = 0;
    // eventTask: the row holds a power event rather than a file.
    virtual void editTask(int row, bool eventTask) = 0;
};

} // namespace kv
