// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaskActions.h"

#include "TaskTable.h"

namespace kv {

TaskActions::TaskActions(const TaskTable &table, SystemActions &system)
    : m_table(table), m_system(system)
{}

void TaskActions::PlaySelectedTask(const Done &done)
{
    const int row = m_table.currentTask();
    if (row == 0)
        return;
    m_system.openFile(
        m_table.cell(TaskTable::PathColumn, row) + m_table.cell(TaskTable::NameColumn, row), done);
}

void TaskActions::DoShutDown(const Done &done, const Pending &pending)
{
    m_system.powerOff(done, pending);
}

void TaskActions::DoRestart(const Done &done, const Pending &pending)
{
    m_system.reboot(done, pending);
}

void TaskActions::DoStandBy(const Done &done, const Pending &pending)
{
    m_system.standBy(done, pending);
}

void TaskActions::DoStandOff(const Done &done)
{
    m_system.displayOff(done);
}

void TaskActions::run(TaskAction action, const Done &done, const Pending &pending)
{
    switch (action) {
    case TaskAction::OpenFile:
        PlaySelectedTask(done);
        break;
    case TaskAction::ShutDown:
        DoShutDown(done, pending);
        break;
    case TaskAction::Restart:
        DoRestart(done, pending);
        break;
    case TaskAction::StandBy:
        DoStandBy(done, pending);
        break;
    case TaskAction::StandOff:
        DoStandOff(done);
        break;
    }
}

} // namespace kv
