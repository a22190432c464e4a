// SPDX-License-Identifier: GPL-3.0-or-later
#include "Modes.h"

#include <QHash>

namespace kv::Modes {

namespace {

constexpr TaskAction kEventActions[] = {TaskAction::ShutDown, TaskAction::Restart,
                                        TaskAction::StandBy, TaskAction::StandOff};

const QStringList &dayNames()
{
    static const QStringList names{QStringLiteral("Monday"),    QStringLiteral("Tuesday"),
                                   QStringLiteral("Wednesday"), QStringLiteral("Thursday"),
                                   QStringLiteral("Friday"),    QStringLiteral("Saturday"),
                                   QStringLiteral("Sunday")};
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
    static const QStringList modes = QStringList{QStringLiteral("Simple")} + dayNames() +
                                     QStringList{QStringLiteral("Every day")};
    return modes;
}

const QStringList &eventNames()
{
    static const QStringList names{QStringLiteral("Shut Down"), QStringLiteral("Restart"),
                                   QStringLiteral("Stand By"), QStringLiteral("Stand Off")};
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

} // namespace kv::Modes
