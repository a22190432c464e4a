// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserSettings.h"

#include <QDir>

namespace kv {

namespace {

const QString kWakeForTasks = QStringLiteral("wakeForTasks");

} // namespace

UserSettings::UserSettings(const QString &file)
    : m_settings(file.isEmpty() ? configFolder() + QStringLiteral("/kronvale/kronvale.conf") : file,
                 QSettings::IniFormat)
{}

QString UserSettings::configFolder()
{
    // A relative path is to be ignored, as the base directory rules say.
    const QString set = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(set))
        return QDir::cleanPath(set);
    return QDir::homePath() + QStringLiteral("/.config");
}

bool UserSettings::wakeForTasks() const
{
    return m_settings.value(kWakeForTasks, false).toBool();
}

bool UserSettings::setWakeForTasks(bool on)
{
    m_settings.setValue(kWakeForTasks, on);
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}

} // namespace kv
