// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>

class QAction;

namespace kv {

class HelperWakeAlarm;
class UserSettings;
class WakeForTasks;

// "Wake the computer for tasks": the user's choice, kept in the settings,
// switches the wake on and off. The command is greyed out, and says why in its
// tool tip, where the helper cannot set the alarm; a failure of the helper
// later is told as a notice.
class WakeCommand : public QObject
{
    Q_OBJECT

public:
    // `tellFailure` shows why the computer will not wake.
    WakeCommand(QAction &action, UserSettings &settings, WakeForTasks &wake, HelperWakeAlarm &alarm,
                std::function<void(const QString &)> tellFailure, QObject *parent = nullptr);

private:
    void available(bool usable, const QString &why);
    void toggled(bool on);
    void failed(const QString &why);

    QAction &m_action;
    UserSettings &m_settings;
    WakeForTasks &m_wake;
    HelperWakeAlarm &m_alarm;
    std::function<void(const QString &)> m_tellFailure;
};

} // namespace kv
