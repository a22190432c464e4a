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

void TaskActions::DoShutDown(const Done &done)
{
    m_system.powerOff(done);
}

void TaskActions::DoRestart(const Done &done)
{
    m_system.reboot(done);
}

void TaskActions::DoStandBy(const Done &done)
{
    m_system.standBy(done);
}

void TaskActions::DoStandOff(const Done &done)
{
    m_system.displayOff(done);
}

void TaskActions::run(TaskAction action, const Done &done)
{
    switch (action) {
    case TaskAction::OpenFile:
        PlaySelectedTask(done);
        break;
    case TaskAction::ShutDown:
        DoShutDown(done);
        break;
    case TaskAction::Restart:
        DoRestart(done);
        break;
    case TaskAction::StandBy:
        DoStandBy(done);
        break;
    case TaskAction::StandOff:
        DoStandOff(done);
        break;
    }
}

} // namespace kv
