// SPDX-License-Identifier: GPL-3.0-or-later
#include "WakeCommand.h"

#include "HelperWakeAlarm.h"
#include "UserSettings.h"
#include "WakeForTasks.h"

#include <QAction>
#include <utility>

namespace kv {

WakeCommand::WakeCommand(QAction &action, UserSettings &settings, WakeForTasks &wake,
                         HelperWakeAlarm &alarm, std::function<void(const QString &)> tellFailure,
                         QObject *parent)
    : QObject(parent), m_action(action), m_settings(settings), m_wake(wake), m_alarm(alarm),
      m_tellFailure(std::move(tellFailure))
{
    m_action.setChecked(m_settings.wakeForTasks());
    m_action.setEnabled(false);
    connect(&m_action, &QAction::triggered, this, &WakeCommand::toggled);
    connect(&m_alarm, &HelperWakeAlarm::available, this, &WakeCommand::available);
    connect(&m_alarm, &HelperWakeAlarm::failed, this, &WakeCommand::failed);
    m_alarm.check();
}

void WakeCommand::available(bool usable, const QString &why)
{
    m_action.setEnabled(usable);
    m_action.setToolTip(why);
    if (usable)
        m_wake.setEnabled(m_action.isChecked());
    else if (m_action.isChecked())
        // Switched on at an earlier run: the user counts on it.
        m_tellFailure(why);
}

void WakeCommand::toggled(bool on)
{
    if (!m_settings.setWakeForTasks(on))
        //: Why a choice of the user will be forgotten: %1 is the settings file's name.
        m_tellFailure(tr("The choice could not be saved in %1.").arg(m_settings.fileName()));
    m_wake.setEnabled(on);
    if (!on)
        m_alarm.stop();
}

void WakeCommand::failed(const QString &why)
{
    m_wake.setEnabled(false);
    m_alarm.stop();
    m_action.setEnabled(false);
    m_action.setToolTip(why);
    m_tellFailure(why);
}

} // namespace kv
