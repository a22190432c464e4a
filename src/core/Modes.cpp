// SPDX-License-Identifier: GPL-3.0-or-later
#include "Modes.h"

#include <QCoreApplication>
#include <QHash>

namespace kv::Modes {

namespace {

constexpr TaskAction kEventActions[] = {TaskAction::ShutDown, TaskAction::Restart,
                                        TaskAction::StandBy, TaskAction::StandOff};

// The file modes and event names as the catalogues know them.
constexpr const char *kFileModes[] = {
    //: A task's schedule: once, at its date and time. Shown in the grid's Mode column,
    //: and as the part in brackets of an event task's mode.
    QT_TRANSLATE_NOOP("kv::Modes", "Simple"),
    //: A task's schedule, every Monday. Also an item of the editor's day list, after
    //: "Everyone:".
    QT_TRANSLATE_NOOP("kv::Modes", "Monday"), QT_TRANSLATE_NOOP("kv::Modes", "Tuesday"),
    QT_TRANSLATE_NOOP("kv::Modes", "Wednesday"), QT_TRANSLATE_NOOP("kv::Modes", "Thursday"),
    QT_TRANSLATE_NOOP("kv::Modes", "Friday"), QT_TRANSLATE_NOOP("kv::Modes", "Saturday"),
    QT_TRANSLATE_NOOP("kv::Modes", "Sunday"),
    //: A task's schedule, every day: the last item of the editor's day list.
    QT_TRANSLATE_NOOP("kv::Modes", "Every day")};
constexpr const char *kEventNames[] = {
    //: Power event: switches the machine off.
    QT_TRANSLATE_NOOP("kv::Modes", "Shut Down"),
    //: Power event: restarts the machine.
    QT_TRANSLATE_NOOP("kv::Modes", "Restart"),
    //: Power event: hibernates the machine, or suspends it where it cannot hibernate.
    QT_TRANSLATE_NOOP("kv::Modes", "Stand By"),
    //: Power event: switches the display off; the machine runs on.
    QT_TRANSLATE_NOOP("kv::Modes", "Stand Off")};

QString translated(const char *text)
{
    return QCoreApplication::translate("kv::Modes", text);
}

QStringList texts(const auto &list)
{
    QStringList result;
    for (const char *text : list)
        result << QLatin1String(text);
    return result;
}

const QStringList &dayNames()
{
    static const QStringList names = fileModes().mid(1, 7);
    return names;
}

QHash<QString, WeeklyRule> buildWeeklyRules()
{
    QHash<QString, WeeklyRule> rules;
    const QString everyDay = QStringLiteral("every day");
    for (int day = 1; day <= 7; ++day)
        rules.insert(lowerAscii(dayNames().at(day - 1)), {TaskAction::OpenFile, day});
    rules.insert(everyDay, {TaskAction::OpenFile, 0});
    for (int e = 0; e < 4; ++e) {
        const QString event = lowerAscii(eventNames().at(e));
        rules.insert(event + u'(' + everyDay + u')', {kEventActions[e], 0});
        for (int day = 1; day <= 7; ++day)
            rules.insert(event + u'(' + lowerAscii(dayNames().at(day - 1)) + u')',
                         {kEventActions[e], day});
    }
    return rules;
}

} // namespace

const QStringList &fileModes()
{
    static const QStringList modes = texts(kFileModes);
    return modes;
}

const QStringList &eventNames()
{
    static const QStringList names = texts(kEventNames);
    return names;
}

const QStringList &eventSuffixes()
{
    static const QStringList suffixes = [] {
        QStringList list;
        for (const QString &mode : fileModes())
            list << u'(' + mode + u')';
        return list;
    }();
    return suffixes;
}

std::optional<TaskAction> onceOnlyAction(const QString &mode)
{
    if (mode == QLatin1String("Simple"))
        return TaskAction::OpenFile;
    for (int e = 0; e < 4; ++e)
        if (mode == eventNames().at(e) + QLatin1String("(Simple)"))
            return kEventActions[e];
    return std::nullopt;
}

std::optional<WeeklyRule> weeklyRule(const QString &loweredMode)
{
    static const QHash<QString, WeeklyRule> rules = buildWeeklyRules();
    const auto it = rules.constFind(loweredMode);
    if (it == rules.constEnd())
        return std::nullopt;
    return *it;
}

QString lowerAscii(const QString &text)
{
    QString result = text;
    for (QChar &c : result)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return result;
}

QString shown(const QString &text)
{
    if (const qsizetype mode = fileModes().indexOf(text); mode >= 0)
        return translated(kFileModes[mode]);
    for (int e = 0; e < 4; ++e) {
        const QString &event = eventNames().at(e);
        if (!text.startsWith(event))
            continue;
        if (text.size() == event.size())
            return translated(kEventNames[e]);
        if (const qsizetype suffix = eventSuffixes().indexOf(text.mid(event.size())); suffix >= 0)
            //: An event task's mode in the grid: %1 is the event ("Shut Down" ...), %2 its
            //: schedule ("Simple", "Monday" ... "Every day"), both as translated here. The
            //: English writes the bracket straight after the event, as the task base stores it.
            return QCoreApplication::translate("kv::Modes", "%1(%2)")
                .arg(translated(kEventNames[e]), translated(kFileModes[suffix]));
    }
    return text;
}

} // namespace kv::Modes
