// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "HelperWakeAlarm.h"
#include "Scheduler.h"
#include "TaskActions.h"
#include "TaskTable.h"
#include "UserSettings.h"
#include "WakeCommand.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

class TestWakeCommand : public QObject
{
    Q_OBJECT

private slots:
    void greyedOutWhereTheHelperCannot_data();
    void greyedOutWhereTheHelperCannot();
};

void TestWakeCommand::greyedOutWhereTheHelperCannot_data()
{
    QTest::addColumn<QString>("helper");
    QTest::addColumn<QString>("why");
    // As a file system without file capabilities leaves it.
    QTest::newRow("no capability") << "#!/bin/sh\nexec setpriv --bounding-set=-wake_alarm "
                                      "" KV_WAKE_HELPER " \"$@\"\n"
                                   << "setcap cap_wake_alarm+ep";
    QTest::newRow("not installed") << ""
                                   << "is not installed";
}

void TestWakeCommand::greyedOutWhereTheHelperCannot()
{
    QFETCH(QString, helper);
    QFETCH(QString, why);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kronvale-wakealarm"));
    QFile script(path);
    if (!helper.isEmpty()) {
        QVERIFY(script.open(QIODevice::WriteOnly) && script.write(helper.toUtf8()) > 0);
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        script.close();
    }
    kv::UserSettings settings(dir.filePath(QStringLiteral("kronvale.conf")));
    QVERIFY(settings.setWakeForTasks(true)); // at an earlier run
    kv::FakeClock clock(QDateTime::currentDateTime());
    kv::TaskTable table;
    kv::RecordingSystemActions system;
    kv::RecordingErrorSink errors;
    kv::TaskActions actions(table, system);
    kv::Scheduler scheduler(table, actions, clock, errors);
    kv::HelperWakeAlarm alarm(path);
    kv::RecordingSleepInhibitor inhibitor;
    kv::WakeForTasks wake(scheduler, clock, alarm, inhibitor);
    QAction action;
    action.setCheckable(true);
    QStringList told;
    kv::WakeCommand command(action, settings, wake, alarm,
                            [&told](const QString &t) { told << t; });

    QTRY_VERIFY(!told.isEmpty());
    QVERIFY(!action.isEnabled() && action.isChecked());
    QVERIFY2(action.toolTip().contains(why), qPrintable(action.toolTip()));
    QCOMPARE(told, QStringList{action.toolTip()});
    QVERIFY(!wake.isEnabled());
}

QTEST_MAIN(TestWakeCommand)
#include "tst_wakecommand.moc"
