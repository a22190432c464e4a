// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "TaskActions.h"
#include "TaskTable.h"

#include <QTest>

using kv::TaskTable;

class TestTaskActions : public QObject
{
    Q_OBJECT

private slots:
    void playWithoutTaskDoesNothing();
    void playOpensPathThenName_data();
    void playOpensPathThenName();
    void eventsReachTheMachine();
};

void TestTaskActions::playWithoutTaskDoesNothing()
{
    TaskTable table;
    kv::RecordingSystemActions system;
    kv::TaskActions actions(table, system);
    actions.PlaySelectedTask(); // only the title row
    table.appendTask(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("a"),
                     QStringLiteral("/"), QStringLiteral("Simple"));
    table.DeleteSelectedTask();
    actions.PlaySelectedTask(); // the title row is current again, but no task
    QCOMPARE(system.calls, QStringList());
}

void TestTaskActions::playOpensPathThenName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("opened");
    QTest::newRow("folder with separator") << "song.ogg"
                                           << "/home/u/Music/"
                                           << "open /home/u/Music/song.ogg";
    QTest::newRow("folder without separator") << "song.ogg"
                                              << "/home/u/Music"
                                              << "open /home/u/Musicsong.ogg";
    QTest::newRow("event row") << "Shut Down"
                               << ""
                               << "open Shut Down";
    const QString longFolder = QStringLiteral("/") + QString(900, QLatin1Char('d')) + u'/';
    QTest::newRow("longer than 800 characters")
        << "f.txt" << longFolder << QStringLiteral("open ") + longFolder + QStringLiteral("f.txt");
}

void TestTaskActions::playOpensPathThenName()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    TaskTable table;
    kv::RecordingSystemActions system;
    kv::TaskActions actions(table, system);
    table.appendTask(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("other"),
                     QStringLiteral("/x/"), QStringLiteral("Simple"));
    table.appendTask(QStringLiteral("07.12.2026 10:00:00"), name, path, QStringLiteral("Simple"));
    actions.PlaySelectedTask();
    QFETCH(QString, opened);
    QCOMPARE(system.calls, QStringList{opened});
}

void TestTaskActions::eventsReachTheMachine()
{
    TaskTable table;
    kv::RecordingSystemActions system;
    kv::TaskActions actions(table, system);
    actions.DoShutDown();
    actions.DoRestart();
    actions.DoStandBy();
    actions.DoStandOff();
    QCOMPARE(system.calls, QStringList({"powerOff", "reboot", "standBy", "displayOff"}));
}

QTEST_GUILESS_MAIN(TestTaskActions)
#include "tst_taskactions.moc"
