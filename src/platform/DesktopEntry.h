// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

namespace kv {

// A desktop entry file (a ".desktop" launcher) started as the desktop starts
// it, through GIO: its Exec with its field codes, in a terminal when it asks for
// one, in its Path folder, in a session of its own with its output away from
// ours.
class DesktopEntry
{
    Q_DECLARE_TR_FUNCTIONS(kv::DesktopEntry)

public:
    // Empty when its program started, else why not.
    static QString launch(const QString &fileName);

private:
    // Why GIO does not take the file as an application launcher.
    static QString whyNotLaunchable(const QString &fileName);
};

} // namespace kv
