// SPDX-License-Identifier: GPL-3.0-or-later
#include "Notices.h"

#include "Errors.h"
#include "Modes.h"
#include "Notifications.h"
#include "TrayIcon.h"

#include <QFileInfo>
#include <optional>

namespace kv {

namespace {

const QString kCancel = QStringLiteral("cancel");
const QString kPostpone = QStringLiteral("postpone-15");
const QString kDefault = QStringLiteral("default");

// The name a user knows the task by: the event, or the file without its folder.
QString taskName(const QString &task)
{
    // An event task names its event, a file task its file.
    const QString name = QFileInfo(task).fileName();
    return printableExcerpt(Modes::shown(name.isEmpty() ? task : name));
}

} // namespace

WarningNotices::WarningNotices(AdvanceWarnings &warnings, Notifications &notifications,
                               const DateTimeText &texts, QObject *parent)
    : QObject(parent), m_warnings(warnings), m_notifications(notifications), m_texts(texts)
{
    connect(&warnings, &AdvanceWarnings::opened, this, &WarningNotices::open);
    connect(&warnings, &AdvanceWarnings::closed, this, &WarningNotices::close);
    connect(&notifications, &Notifications::actionInvoked, this, &WarningNotices::answer);
    connect(&notifications, &Notifications::answered, this, [this](quint32 notice, bool shown) {
        if (const int id = m_notices.key(notice, 0); id != 0 && !shown)
            emit unnoticed(id);
    });
}

WarningNotices::~WarningNotices()
{
    for (quint32 notice : std::as_const(m_notices))
        m_notifications.withdraw(notice);
}

void WarningNotices::open(const AdvanceWarning &warning)
{
    //: The click on a warning's notice itself, which shows the main window; most
    //: desktops show no label for it.
    const QString openLabel = tr("Open");
    Notice notice{
        Modes::shown(warning.eventName),
        warning.whenText(m_texts),
        true,
        {kDefault, openLabel, kCancel, tr("Cancel"), kPostpone, tr("Postpone 15 minutes")}};
    m_notices.insert(warning.id, m_notifications.show(notice));
}

void WarningNotices::close(int id)
{
    if (const auto notice = m_notices.constFind(id); notice != m_notices.cend()) {
        m_notifications.withdraw(*notice);
        m_notices.erase(notice);
    }
}

void WarningNotices::answer(quint32 notice, const QString &action, const QByteArray &token)
{
    const int id = m_notices.key(notice, 0);
    if (id == 0)
        return;
    if (action == kDefault)
        emit windowAsked(token);
    else if (action == kCancel)
        m_warnings.cancel(id);
    else if (action == kPostpone)
        m_warnings.postpone(id, kPostponeMinutes);
}

FailureNotices::FailureNotices(Notifications &notifications, TTrayIcon &tray,
                               const DateTimeText &texts, QObject *parent)
    : QObject(parent), m_notifications(notifications), m_tray(tray), m_texts(texts)
{
    connect(&notifications, &Notifications::answered, this, [this](quint32 notice, bool shown) {
        const auto text = m_waiting.constFind(notice);
        if (text == m_waiting.cend())
            return;
        if (!shown)
            showAtTray(*text);
        m_waiting.erase(text);
    });
    connect(&tray, &TTrayIcon::messageClicked, this, [this] {
        m_atTray.clear();
        m_atTrayCount = 0;
    });
}

void FailureNotices::tell(const Scheduler::Report &report)
{
    // The reports of one firing share its row, task and moment.
    const QString firing = QString::number(report.row) + u' ' +
                           QString::number(report.at.toMSecsSinceEpoch()) + u' ' + report.task;
    if (report.outcome == Scheduler::Report::Unanswered) {
        if (!m_unanswered.contains(firing))
            m_unanswered.insert(firing, show(textOf(tr("No answer yet: %1"), report)));
        return;
    }
    const std::optional<quint32> unanswered =
        m_unanswered.contains(firing) ? std::optional(m_unanswered.take(firing)) : std::nullopt;
    if (unanswered)
        m_notifications.withdraw(*unanswered);
    if (report.outcome == Scheduler::Report::Failed) {
        show(textOf(tr("Not done: %1"), report));
    } else if (unanswered && report.outcome == Scheduler::Report::Done) {
        Scheduler::Report late = report;
        late.detail = tr("The system has answered after all and carried it out.");
        show(textOf(tr("Done late: %1"), late));
    }
}

FailureNotices::Text FailureNotices::textOf(const QString &summary,
                                            const Scheduler::Report &report) const
{
    return {summary.arg(taskName(report.task)),
            //: A task that fired but was not carried out, or not yet: %1 is why or what is
            //: known (a sentence), %2 its row number, %3 its mode, %4 the date and time it
            //: fired.
            tr("%1\nRow %2, %3, fired at %4.")
                .arg(printableExcerpt(report.detail, kLongestReason), QString::number(report.row),
                     printableExcerpt(Modes::shown(report.mode)), m_texts.dateTime(report.at))};
}

void FailureNotices::tellPlayFailed(const QString &task, const QString &reason)
{
    show({tr("Not done: %1").arg(taskName(task)), printableExcerpt(reason, kLongestReason)});
}

void FailureNotices::tellWakeFailed(const QString &reason)
{
    //: Title of the notice that the choice "Wake the computer for tasks" cannot be carried out.
    show({tr("The computer will not wake for tasks"), reason});
}

quint32 FailureNotices::show(const Text &text)
{
    const quint32 notice = m_notifications.show({text.summary, text.body, false, {}});
    m_waiting.insert(notice, text);
    return notice;
}

void FailureNotices::showAtTray(const Text &text)
{
    constexpr qsizetype kShownAtMost = 5;
    ++m_atTrayCount;
    m_atTray << text;
    if (m_atTray.size() > kShownAtMost)
        m_atTray.removeFirst();
    if (m_atTrayCount == 1) {
        m_tray.showMessage(text.summary, text.body);
        return;
    }
    QStringList texts;
    for (const Text &shown : std::as_const(m_atTray))
        texts << shown.summary + u'\n' + shown.body;
    //: Title of the tray message that lists the tasks not carried out; %1 is
    //: how many.
    m_tray.showMessage(tr("%1 tasks not done").arg(m_atTrayCount), texts.join(u"\n\n"));
}

} // namespace kv
