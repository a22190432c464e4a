// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserSettings.h"
#include "UserFolders.h"

namespace kv {

namespace {

const QString kWakeForTasks = QStringLiteral("wakeForTasks");

QString userFile()
{
    const QString folder = UserFolders::configHome();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/kronvale/kronvale.conf");
}

} // namespace

UserSettings::UserSettings(const QString &file)
    : m_writable(!file.isEmpty() || !userFile().isEmpty()),
      m_settings(file.isEmpty() ? userFile() : file, QSettings::IniFormat)
{}

bool UserSettings::wakeForTasks() const
{
    return m_settings.value(kWakeForTasks, false).toBool();
}

bool UserSettings::setWakeForTasks(bool on)
{
    // With no home there is nowhere to keep it: never beside the working folder.
    if (!m_writable)
        return false;
    m_settings.setValue(kWakeForTasks, on);
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}

} // namespace kv
