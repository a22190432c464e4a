// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Modes.h"
#include "SystemActions.h"

namespace kv {

class TaskTable;

// What a task does when it fires, and what "Play now!" does: thin calls into the
// machine. Each tells its outcome to `done` (see SystemActions).
class TaskActions
{
public:
    using Done = SystemActions::Done;
    using Pending = SystemActions::Pending;

    TaskActions(const TaskTable &table, SystemActions &system);

    // Opens the current task's file: its Path cell followed directly by its file
    // name cell. Does nothing without a current task.
    void PlaySelectedTask(const Done &done = {});
    void DoShutDown(const Done &done = {}, const Pending &pending = {});
    void DoRestart(const Done &done = {}, const Pending &pending = {});
    void DoStandBy(const Done &done = {}, const Pending &pending = {});
    void DoStandOff(const Done &done = {});

    void run(TaskAction action, const Done &done, const Pending &pending = {});

private:
    const TaskTable &m_table;
    SystemActions &m_system;
};

} // namespace kv
