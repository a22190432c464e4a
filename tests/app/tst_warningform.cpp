// SPDX-License-Identifier: GPL-3.0-or-later
// The warning windows, the notices and the row tool tip under a private X
// server with a window manager, which decides about focus and frames; with a
// fake clock and recorded notifications, tray and actions.
#include "Fakes.h"
#include "ForecastText.h"
#include "Notices.h"
#include "RecordingTrayBackend.h"
#include "TaskActions.h"
#include "TaskGrid.h"
#include "TaskTable.h"
#include "TrayIcon.h"
#include "WarningForm.h"
#include "XvfbServer.h"
#include "ZephButton.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>

using namespace kv;

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(22, 59, 30));

struct Rig
{
    // `noticeAlone`: as on Wayland; `refuses`: with no notification server.
    explicit Rig(bool noticeAlone = false, bool refuses = false)
    {
        if (noticeAlone)
            windows.openOnlyUnnoticed(notices);
        notifications.refuses = refuses;
        tray->setActive(true);
        table.appendTask("07.12.2026 23:00:00", "Shut Down", "", "Shut Down(Simple)");
        table.appendTask("07.12.2026 23:00:10", "Restart", "", "Restart(Every day)");
        warnings.update();
    }
    QString nextFor(int row) const { return ForecastText::toolTip(scheduler, row, clock.now()); }

    TaskTable table;
    FakeClock clock{kNow};
    RecordingSystemActions system;
    RecordingErrorSink errors;
    TaskActions actions{table, system};
    Scheduler scheduler{table, actions, clock, errors, DateTimeText(QLocale("de_DE"))};
    AdvanceWarnings warnings{scheduler, clock};
    RecordingNotifications notifications;
    RecordingTrayBackend *trayBackend = new RecordingTrayBackend;
    std::unique_ptr<TTrayIcon> tray = std::make_unique<TTrayIcon>(trayBackend, nullptr);
    WarningWindows windows{warnings, scheduler.texts()};
    WarningNotices notices{warnings, notifications, scheduler.texts()};
    FailureNotices failures{notifications, *tray, scheduler.texts()};
};

} // namespace

class TestWarningForm : public QObject
{
    Q_OBJECT

private slots:
    void windowsCountDownAndAnswer();
    void screenReadersHearTheCountTwice();
    void noticesAnswerToo();
    void noticeAloneWhereAServerTakesIt_data();
    void noticeAloneWhereAServerTakesIt();
    void failuresAreToldPassively();
    void unansweredIsToldThenItsOutcome_data();
    void unansweredIsToldThenItsOutcome();
    void rowToolTip();
};

void TestWarningForm::screenReadersHearTheCountTwice()
{
    Rig rig;
    TWarningForm *shutDown = rig.windows.windows().at(0);
    // When it opens, and once more at ten seconds.
    QCOMPARE(shutDown->accessibleName(), QStringLiteral("Shut Down in 30 s"));
    const std::pair<int, const char *> heard[] = {
        {19000, "Shut Down in 30 s"}, {1000, "Shut Down in 10 s"}, {1000, "Shut Down in 10 s"}};
    for (const auto &[ms, name] : heard) {
        rig.clock.advance(ms);
        rig.warnings.update();
        QCOMPARE(shutDown->accessibleName(), QString::fromLatin1(name));
    }
}

void TestWarningForm::windowsCountDownAndAnswer()
{
    QLineEdit typing; // what the user is typing in keeps the keyboard
    typing.show();
    typing.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&typing));
    Rig rig;
    const QList<TWarningForm *> shown = rig.windows.windows();
    QCOMPARE(shown.size(), 2);
    TWarningForm *shutDown = shown[0];
    TWarningForm *restart = shown[1];
    QCOMPARE(shutDown->windowTitle(), QStringLiteral("Shut Down"));
    QCOMPARE(restart->windowTitle(), QStringLiteral("Restart"));
    QVERIFY(shutDown->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(QTest::qWaitForWindowExposed(shutDown) && QTest::qWaitForWindowExposed(restart));
    QVERIFY(!shutDown->frameGeometry().intersects(restart->frameGeometry()));
    QTest::qWait(50);
    QCOMPARE(QApplication::focusWidget(), &typing);
    QCOMPARE(shutDown->Label1->text(), QStringLiteral("Shut Down in 30 s"));
    QCOMPARE(shutDown->Label2->text(), QStringLiteral("At 07.12.2026 23:00:00"));
    rig.clock.advance(1000);
    rig.warnings.update();
    QCOMPARE(shutDown->Label1->text(), QStringLiteral("Shut Down in 29 s"));

    // Esc cancels, once the user has made the window active.
    QPointer<TWarningForm> gone = shutDown;
    shutDown->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(shutDown));
    QTest::keyClick(shutDown, Qt::Key_Escape);
    QTRY_VERIFY(!gone);
    QCOMPARE(rig.table.cell(TaskTable::FiredColumn, 1), QStringLiteral("1"));

    // The skinned button's popup menu postpones.
    QStringList offered;
    QTimer::singleShot(0, [&offered] {
        QWidget *popup = QApplication::activePopupWidget();
        for (QAction *action : popup ? popup->actions() : QList<QAction *>())
            offered << action->text();
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
    });
    gone = restart;
    restart->ZephButton2->click();
    QCOMPARE(offered, QStringList({"5 minutes", "15 minutes", "1 hour"}));
    QTRY_VERIFY(!gone);
    QCOMPARE(rig.scheduler.nextOccurrence(rig.clock.now()).value_or(QDateTime()),
             QDateTime(kNow.date(), QTime(23, 15, 10)));
}

void TestWarningForm::noticesAnswerToo()
{
    Rig rig;
    const QList<Notice> shown = rig.notifications.current();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].summary, QStringLiteral("Shut Down"));
    QCOMPARE(shown[0].body, QStringLiteral("At 07.12.2026 23:00:00"));
    QVERIFY(shown[0].critical);
    QCOMPARE(shown[0].actions, QStringList({"default", "Open", "cancel", "Cancel", "postpone-15",
                                            "Postpone 15 minutes"}));
    // A click on the notice itself asks for the main window, with the server's token.
    QSignalSpy asked(&rig.notices, &WarningNotices::windowAsked);
    emit rig.notifications.actionInvoked(1, QStringLiteral("default"), "token-1");
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.at(0).at(0).toByteArray(), QByteArray("token-1"));
    emit rig.notifications.actionInvoked(2, QStringLiteral("postpone-15"), {});
    emit rig.notifications.actionInvoked(1, QStringLiteral("cancel"), {});
    // Both withdrawn as their warnings end; the windows go with them.
    QCOMPARE(rig.notifications.withdrawn, QList<quint32>({2, 1}));
    QTRY_COMPARE(rig.windows.windows().size(), 0);
    QCOMPARE(rig.nextFor(1), QStringLiteral("Done"));
    QCOMPARE(rig.nextFor(2), QStringLiteral("Next: 07.12.2026 23:15:10, in 15 min"));
}

void TestWarningForm::noticeAloneWhereAServerTakesIt_data()
{
    QTest::addColumn<bool>("server");
    QTest::newRow("notification server") << true;
    QTest::newRow("none") << false;
}

void TestWarningForm::noticeAloneWhereAServerTakesIt()
{
    QFETCH(bool, server);
    Rig rig(true, !server);
    if (server) {
        QTest::qWait(50); // the server's answers
        QCOMPARE(rig.notifications.current().size(), 2);
        QCOMPARE(rig.windows.windows().size(), 0);
        return;
    }
    QTRY_COMPARE(rig.windows.windows().size(), 2);
    TWarningForm *shutDown = rig.windows.windows().at(0);
    QCOMPARE(shutDown->windowTitle(), QStringLiteral("Shut Down"));
    // As a Wayland compositor does: the new window takes the keyboard, and the
    // user's next keys, typed for another window, reach it.
    shutDown->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(shutDown));
    QPointer<TWarningForm> gone = shutDown;
    for (const Qt::Key key :
         {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape, Qt::Key_C}) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QTest::keyClick(shutDown, key);
    }
    QTest::qWait(50);
    QVERIFY(gone);
    QCOMPARE(rig.notifications.withdrawn, QList<quint32>());
    // A click in it, or a way back to it from another window, and its keys act.
    TWarningForm *restart = rig.windows.windows().at(1);
    QTest::mouseClick(shutDown->Label2, Qt::LeftButton);
    restart->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(restart));
    shutDown->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(shutDown));
    restart->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(restart));
    QPointer<TWarningForm> restartGone = restart;
    for (TWarningForm *window : {shutDown, restart})
        QTest::keyClick(window, Qt::Key_Escape);
    QTRY_VERIFY(!gone && !restartGone);
    QCOMPARE(rig.table.cell(TaskTable::FiredColumn, 1), QStringLiteral("1"));
}

void TestWarningForm::failuresAreToldPassively()
{
    Rig rig;
    Scheduler::Report report{kNow,
                             2,
                             "Restart(Every day)",
                             "Restart",
                             Scheduler::Report::Failed,
                             "The system refused: Access denied"};
    rig.failures.tell(report);
    const QString body = "The system refused: Access denied\nRow 2, Restart(Every day), fired at "
                         "07.12.2026 22:59:30.";
    QCOMPARE(rig.notifications.current().last().summary, QStringLiteral("Not done: Restart"));
    QCOMPARE(rig.notifications.current().last().body, body);
    QTest::qWait(0);
    QCOMPARE(rig.trayBackend->messages, QStringList());
    // Where no notification server takes it: the tray icon's message, which tells
    // of all the failures since the user last clicked it.
    rig.notifications.refuses = true;
    const QString play = "Not done: a.ogg\nThe file /m/a.ogg does not exist.";
    rig.failures.tellPlayFailed("/m/a.ogg", "The file /m/a.ogg does not exist.");
    QTRY_COMPARE(rig.trayBackend->messages, QStringList{play});
    rig.failures.tell(report);
    QTRY_COMPARE(rig.trayBackend->messages.size(), 2);
    QCOMPARE(rig.trayBackend->messages.last(),
             "2 tasks not done\n" + play + "\n\nNot done: Restart\n" + body);
    emit rig.trayBackend->messageClicked();
    rig.failures.tellPlayFailed("/m/a.ogg", "The file /m/a.ogg does not exist.");
    QTRY_COMPARE(rig.trayBackend->messages.size(), 3);
    QCOMPARE(rig.trayBackend->messages.last(), play);
}

void TestWarningForm::unansweredIsToldThenItsOutcome_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("carried out late") << ""
                                      << "Done late: Restart";
    QTest::newRow("refused late") << "The system refused: Access denied"
                                  << "Not done: Restart";
}

void TestWarningForm::unansweredIsToldThenItsOutcome()
{
    QFETCH(QString, failure);
    Rig rig;
    rig.scheduler.setOnReport([&rig](const Scheduler::Report &r) { rig.failures.tell(r); });
    rig.system.unanswered.insert("reboot", "No answer from logind yet.");
    rig.clock.setNow(QDateTime(QDate(2026, 12, 7), QTime(23, 0, 10)));
    rig.scheduler.Timer1Timer();
    QVERIFY(rig.system.calls.contains("reboot"));
    const auto summaries = [&rig] {
        QStringList texts;
        for (const Notice &notice : rig.notifications.current())
            texts << notice.summary;
        return texts;
    };
    QVERIFY(summaries().contains("No answer yet: Restart"));
    QCOMPARE(
        rig.notifications.current().last().body,
        "No answer from logind yet.\nRow 2, Restart(Every day), fired at 07.12.2026 23:00:10.");
    // The answer takes the waiting notice down and tells how it ended.
    rig.system.answer(failure);
    QVERIFY(!summaries().contains("No answer yet: Restart"));
    QTEST(summaries().last(), "outcome");
}

void TestWarningForm::rowToolTip()
{
    Rig rig;
    TaskGrid grid(rig.table);
    grid.resize(600, 200);
    grid.setRowToolTip([&rig](int row) { return rig.nextFor(row); });
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const auto tipAt = [&grid](int row) {
        const QPoint pos(100, grid.rowViewportPosition(row) + 5);
        QHelpEvent help(QEvent::ToolTip, pos, grid.viewport()->mapToGlobal(pos));
        QApplication::sendEvent(grid.viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(2), QStringLiteral("Next: 07.12.2026 23:00:10, in 40 s"));
    tipAt(0); // the title row
    QTRY_VERIFY(!QToolTip::isVisible());
}

int main(int argc, char *argv[])
{
    return kv::test::runOnXvfb<QApplication, TestWarningForm>(
        argc, argv, kv::test::XvfbServer::WithWindowManager);
}

#include "tst_warningform.moc"
