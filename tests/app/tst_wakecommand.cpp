// SPDX-License-Identifier: GPL-3.0-or-later
// "Wake the computer for tasks" with the real helper, which needs
// CAP_WAKE_ALARM (root has it), and with the helper stripped of it.
#include "Fakes.h"
#include "HelperWakeAlarm.h"
#include "Scheduler.h"
#include "TaskActions.h"
#include "TaskTable.h"
#include "UserSettings.h"
#include "WakeCommand.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestWakeCommand : public QObject
{
    Q_OBJECT

private slots:
    void settingsFileFollowsTheBaseDirectoryRules_data();
    void settingsFileFollowsTheBaseDirectoryRules();
    void greyedOutWhereTheHelperCannot_data();
    void greyedOutWhereTheHelperCannot();
    void switchedOnAndOff();
};

void TestWakeCommand::settingsFileFollowsTheBaseDirectoryRules_data()
{
    QTest::addColumn<QByteArray>("configHome");
    QTest::addColumn<QString>("file");
    QTest::newRow("set") << QByteArray("/tmp/kv-conf") << "/tmp/kv-conf/kronvale/kronvale.conf";
    QTest::newRow("relative, ignored")
        << QByteArray("conf") << QDir::homePath() + "/.config/kronvale/kronvale.conf";
    QTest::newRow("unset") << QByteArray() << QDir::homePath() + "/.config/kronvale/kronvale.conf";
}

void TestWakeCommand::settingsFileFollowsTheBaseDirectoryRules()
{
    QFETCH(QByteArray, configHome);
    QFETCH(QString, file);
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", configHome);
    const QString made = kv::UserSettings().fileName();
    qputenv("XDG_CONFIG_HOME", saved);
    QCOMPARE(made, file);
}

struct Rig
{
    explicit Rig(const QString &helper, bool on = false) : alarm(helper)
    {
        action.setCheckable(true);
        settings.setWakeForTasks(on);
        command = std::make_unique<kv::WakeCommand>(action, settings, wake, alarm,
                                                    [this](const QString &why) { told << why; });
    }
    QTemporaryDir dir;
    kv::UserSettings settings{dir.filePath(QStringLiteral("kronvale.conf"))};
    kv::FakeClock clock{QDateTime::currentDateTime()};
    kv::TaskTable table;
    kv::RecordingSystemActions system;
    kv::RecordingErrorSink errors;
    kv::TaskActions actions{table, system};
    kv::Scheduler scheduler{table, actions, clock, errors};
    kv::HelperWakeAlarm alarm;
    kv::RecordingSleepInhibitor inhibitor;
    kv::WakeForTasks wake{scheduler, clock, alarm, inhibitor};
    QAction action;
    QStringList told;
    std::unique_ptr<kv::WakeCommand> command;
};

void TestWakeCommand::greyedOutWhereTheHelperCannot_data()
{
    QTest::addColumn<bool>("on"); // switched on at an earlier run
    QTest::newRow("off") << false;
    QTest::newRow("on") << true;
}

void TestWakeCommand::greyedOutWhereTheHelperCannot()
{
    QFETCH(bool, on);
    QTemporaryDir bin;
    const QString helper = bin.filePath(QStringLiteral("kronvale-wakealarm"));
    QFile script(helper);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec setpriv --bounding-set=-wake_alarm " KV_WAKE_HELPER " \"$@\"\n");
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    script.close();

    Rig rig(helper, on);
    QTRY_VERIFY(!rig.action.toolTip().isEmpty());
    QVERIFY(!rig.action.isEnabled());
    QVERIFY(rig.action.toolTip().contains(QLatin1String("setcap cap_wake_alarm+ep")));
    QCOMPARE(rig.action.isChecked(), on);
    QCOMPARE(rig.told, on ? QStringList{rig.action.toolTip()} : QStringList());
    QVERIFY(!rig.wake.isEnabled());
}

void TestWakeCommand::switchedOnAndOff()
{
    Rig rig(QStringLiteral(KV_WAKE_HELPER));
    QTRY_VERIFY(rig.action.isEnabled());
    QVERIFY(!rig.action.isChecked());
    rig.table.appendTask(rig.scheduler.texts().dateTime(rig.clock.now().addSecs(3600)),
                         QStringLiteral("a"), QStringLiteral("/"), QStringLiteral("Simple"));

    rig.action.trigger();
    QVERIFY(rig.wake.isEnabled());
    QVERIFY(rig.settings.wakeForTasks());
    QVERIFY(rig.alarm.isRunning());
    QCOMPARE(kv::UserSettings(rig.settings.fileName()).wakeForTasks(), true);

    rig.action.trigger();
    QVERIFY(!rig.wake.isEnabled());
    QVERIFY(!rig.alarm.isRunning());
    QCOMPARE(kv::UserSettings(rig.settings.fileName()).wakeForTasks(), false);
    QVERIFY(rig.told.isEmpty());
}

QTEST_MAIN(TestWakeCommand)
#include "tst_wakecommand.moc"
