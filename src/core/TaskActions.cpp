// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaskActions.h"

#include "SystemActions.h"
#include "TaskTable.h"

namespace kv {

TaskActions::TaskActions(const TaskTable &table, SystemActions &system)
    : m_table(table), m_system(system)
{}

void TaskActions::PlaySelectedTask()
{
    const int row = m_table.currentTask();
    if (row == 0)
        return;
    m_system.openFile(m_table.cell(TaskTable::PathColumn, row) +
                      m_table.cell(TaskTable::NameColumn, row));
}

void TaskActions::DoShutDown()
{
    m_system.powerOff();
}

void TaskActions::DoRestart()
{
    m_system.reboot();
}

void TaskActions::DoStandBy()
{
    m_system.standBy();
}

void TaskActions::DoStandOff()
{
    m_system.displayOff();
}

} // namespace kv
