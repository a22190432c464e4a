// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kv {

class SystemActions;
class TaskTable;

// What a task does when it fires, and what "Play now!" does: thin calls into the
// machine whose results are never reported.
class TaskActions
{
public:
    TaskActions(const TaskTable &table, SystemActions &system);

    // Opens the current task's file: its Path cell followed directly by its file
    // name cell. Does nothing without a current task.
    void PlaySelectedTask();
    void DoShutDown();
    void DoRestart();
    void DoStandBy();
    void DoStandOff();

private:
    const TaskTable &m_table;
    SystemActions &m_system;
};

} // namespace kv
