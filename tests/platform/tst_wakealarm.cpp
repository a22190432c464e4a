// SPDX-License-Identifier: GPL-3.0-or-later
// The wake alarm's helper, run for real: it sets the timer that wakes the
// machine, which nothing here sends to sleep. It needs CAP_WAKE_ALARM, which
// root has; without it every test but the one that drops it fails.
#include "HelperWakeAlarm.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kHelper = QStringLiteral(KV_WAKE_HELPER);

// The helper's alarm timer as /proc tells it; nothing when the helper holds no
// CLOCK_REALTIME_ALARM timer. The seconds left are those of the last time set,
// also after a disarm; a disarmed timer shows by never expiring.
struct Alarm
{
    qint64 secondsLeft = 0;
    int expiries = 0;
};

std::optional<Alarm> alarmOf(qint64 pid)
{
    const QDir fdinfo(QStringLiteral("/proc/%1/fdinfo").arg(pid));
    for (const QString &fd : fdinfo.entryList(QDir::Files)) {
        QFile file(fdinfo.filePath(fd));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray info = file.readAll();
        if (!info.contains("\nclockid: 8\n")) // CLOCK_REALTIME_ALARM
            continue;
        const auto field = [&info](const QByteArray &name) {
            const qsizetype from = info.indexOf("\n" + name + ": ") + name.size() + 3;
            return info.mid(from, info.indexOf('\n', from) - from);
        };
        return Alarm{field("it_value").mid(1).split(',').at(0).toLongLong(),
                     field("ticks").toInt()};
    }
    return std::nullopt;
}

int expiriesOf(qint64 pid)
{
    return alarmOf(pid).value_or(Alarm{0, -1}).expiries;
}

// Says one line to the helper and returns its answer.
QByteArray tell(QProcess &helper, const QByteArray &line)
{
    helper.write(line + '\n');
    while (!helper.canReadLine())
        if (!helper.waitForReadyRead(5000))
            return {};
    return helper.readLine().trimmed();
}

// Runs the helper without the capability, as a file system without file
// capabilities leaves it.
QString withoutCapability(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("kronvale-wakealarm"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return {};
    script.write("#!/bin/sh\nexec setpriv --bounding-set=-wake_alarm " + kHelper.toUtf8() +
                 " \"$@\"\n");
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    return path;
}

} // namespace

class TestWakeAlarm : public QObject
{
    Q_OBJECT

private slots:
    void armsDisarmsAndEndsWithItsInput();
    void refusesAnythingButSeconds_data();
    void refusesAnythingButSeconds();
    void tellsWhyItCannot_data();
    void tellsWhyItCannot();
    void programSetsAndStops();
};

void TestWakeAlarm::armsDisarmsAndEndsWithItsInput()
{
    QProcess helper;
    helper.start(kHelper, {});
    QVERIFY(helper.waitForStarted());
    const qint64 inAnHour = QDateTime::currentSecsSinceEpoch() + 3600;
    QCOMPARE(tell(helper, QByteArray::number(inAnHour)), "armed " + QByteArray::number(inAnHour));
    const auto alarm = alarmOf(helper.processId());
    QVERIFY2(alarm, "no CLOCK_REALTIME_ALARM timer in the helper's fdinfo");
    QVERIFY2(alarm->secondsLeft > 3590 && alarm->secondsLeft <= 3600,
             qPrintable(QString::number(alarm->secondsLeft)));

    // Armed for the next second it expires; disarmed, it does not.
    const auto inSeconds = [](int seconds) {
        return QByteArray::number(QDateTime::currentSecsSinceEpoch() + seconds);
    };
    QVERIFY(tell(helper, inSeconds(1)).startsWith("armed"));
    QTRY_COMPARE_WITH_TIMEOUT(expiriesOf(helper.processId()), 1, 3000);
    QVERIFY(tell(helper, inSeconds(1)).startsWith("armed"));
    QCOMPARE(tell(helper, "0"), QByteArray("disarmed"));
    QTest::qWait(2500);
    QCOMPARE(expiriesOf(helper.processId()), 0);

    QCOMPARE(tell(helper, QByteArray::number(inAnHour)), "armed " + QByteArray::number(inAnHour));
    helper.closeWriteChannel();
    QVERIFY(helper.waitForFinished(5000));
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QCOMPARE(helper.exitCode(), 0);
}

void TestWakeAlarm::refusesAnythingButSeconds_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("word") << QByteArray("soon");
    QTest::newRow("negative") << QByteArray("-5");
    QTest::newRow("two numbers") << QByteArray("100 200");
    QTest::newRow("blank before") << QByteArray(" 1900000000");
    QTest::newRow("carriage return") << QByteArray("1900000000\r");
    QTest::newRow("exponent") << QByteArray("2e9");
    QTest::newRow("command") << QByteArray("1900000000; rm -rf /");
    QTest::newRow("too long") << QByteArray(4096, '7');
}

void TestWakeAlarm::refusesAnythingButSeconds()
{
    QFETCH(QByteArray, line);
    QProcess helper;
    helper.start(kHelper, {});
    QVERIFY(helper.waitForStarted());
    const qint64 inADay = QDateTime::currentSecsSinceEpoch() + 86400;
    QVERIFY(tell(helper, QByteArray::number(inADay)).startsWith("armed"));
    const auto before = alarmOf(helper.processId());

    QVERIFY(tell(helper, line).startsWith("refused "));
    const auto after = alarmOf(helper.processId());
    QVERIFY(before && after);
    // Still armed, for the same time.
    QVERIFY(after->secondsLeft > before->secondsLeft - 5 &&
            after->secondsLeft <= before->secondsLeft);
    QCOMPARE(helper.state(), QProcess::Running);
    helper.closeWriteChannel();
    QVERIFY(helper.waitForFinished(5000));
}

void TestWakeAlarm::tellsWhyItCannot_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("why");
    QTest::newRow("no capability") << true << "setcap cap_wake_alarm+ep";
    QTest::newRow("not installed") << false << "is not installed";
}

void TestWakeAlarm::tellsWhyItCannot()
{
    QFETCH(bool, installed);
    QFETCH(QString, why);
    QTemporaryDir dir;
    const QString path = installed ? withoutCapability(dir) : dir.filePath(QStringLiteral("none"));
    if (installed) {
        QProcess helper;
        helper.start(path, {QStringLiteral("--check")});
        QVERIFY(helper.waitForFinished(5000));
        QCOMPARE(helper.exitCode(), 3);
        QVERIFY(helper.readAllStandardError().contains("no CAP_WAKE_ALARM capability"));
    }

    kv::HelperWakeAlarm alarm(path);
    QSignalSpy available(&alarm, &kv::HelperWakeAlarm::available);
    alarm.check();
    QVERIFY(available.wait(5000));
    QCOMPARE(available.at(0).at(0).toBool(), false);
    QVERIFY2(available.at(0).at(1).toString().contains(why),
             qPrintable(available.at(0).at(1).toString()));
}

void TestWakeAlarm::programSetsAndStops()
{
    kv::HelperWakeAlarm alarm(kHelper);
    QSignalSpy available(&alarm, &kv::HelperWakeAlarm::available);
    QSignalSpy failed(&alarm, &kv::HelperWakeAlarm::failed);
    alarm.check();
    QVERIFY(available.wait(5000));
    QCOMPARE(available.at(0).at(0).toBool(), true);

    alarm.setWakeTime(QDateTime::currentDateTime().addSecs(7200));
    QTRY_VERIFY(alarmOf(alarm.processId()).value_or(Alarm()).secondsLeft > 7190);
    alarm.setWakeTime(QDateTime::currentDateTime().addSecs(2));
    alarm.setWakeTime(std::nullopt);
    QTest::qWait(3000);
    QCOMPARE(expiriesOf(alarm.processId()), 0);
    alarm.stop();
    QVERIFY(!alarm.isRunning());
    QVERIFY(failed.isEmpty());
}

QTEST_GUILESS_MAIN(TestWakeAlarm)
#include "tst_wakealarm.moc"
