// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kv {

enum class TaskAction
{
    OpenFile,
    ShutDown,
    Restart,
    StandBy,
    StandOff
};

// The mode texts of a task (column 4). Once-only modes are compared exactly;
// all others after lowering A to Z.
namespace Modes {

// "Simple", "Monday" ... "Sunday", "Every day": the schedules of a file task.
const QStringList &fileModes();
// "Shut Down", "Restart", "Stand By", "Stand Off".
const QStringList &eventNames();
// "(Simple)", "(Monday)" ... "(Every day)": appended to an event name.
const QStringList &eventSuffixes();

// The action of one of the five once-only modes, compared exactly.
std::optional<TaskAction> onceOnlyAction(const QString &mode);

struct WeeklyRule
{
    TaskAction action;
    int dayOfWeek; // 1 = Monday ... 7 = Sunday; 0 = every day
};
// The rule of a recurring mode, given with A to Z already lowered.
std::optional<WeeklyRule> weeklyRule(const QString &loweredMode);

// Lowers A to Z only, leaving every other character as it is.
QString lowerAscii(const QString &text);

// One of the 45 mode texts or the 4 event names in the user's language, as the
// grid and the editor show it; any other text as it stands. What is stored, and
// every comparison, stays with the English texts.
QString shown(const QString &text);

} // namespace Modes
} // namespace kv
