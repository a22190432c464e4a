// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QString>

namespace kv {

// The user's choices that outlive the program, in kronvale.conf of the user's
// configuration folder. The task base holds the tasks; this only the choices.
class UserSettings
{
public:
    // `file` empty: the user's own, $XDG_CONFIG_HOME/kronvale/kronvale.conf.
    explicit UserSettings(const QString &file = {});

    QString fileName() const { return m_settings.fileName(); }

    bool wakeForTasks() const;
    // False when the file could not be written, or there is no folder for it.
    bool setWakeForTasks(bool on);

private:
    bool m_writable;
    QSettings m_settings;
};

} // namespace kv
