// SPDX-License-Identifier: GPL-3.0-or-later
// The wake alarm's helper, run for real; it needs CAP_WAKE_ALARM, which root has.
// Nothing here sends the machine to sleep.
#include "HelperWakeAlarm.h"

#include <QDir>
#include <QProcess>
#include <QTest>

namespace {

const QString kHelper = QStringLiteral(KV_WAKE_HELPER);

struct Alarm
{
    qint64 secondsLeft; // of the time last set, kept after a disarm too
    int expiries;
};

// The helper's CLOCK_REALTIME_ALARM timer as /proc shows it; all -1 without one.
Alarm alarmOf(qint64 pid)
{
    const QDir fdinfo(QStringLiteral("/proc/%1/fdinfo").arg(pid));
    for (const QString &fd : fdinfo.entryList(QDir::Files)) {
        QFile file(fdinfo.filePath(fd));
        const QByteArray info = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const auto field = [&info](const QByteArray &name) {
            const qsizetype from = info.indexOf("\n" + name + ": ") + name.size() + 3;
            return info.mid(from, info.indexOf('\n', from) - from);
        };
        if (info.contains("\nclockid: 8\n"))
            return Alarm{field("it_value").mid(1).split(',').at(0).toLongLong(),
                         field("ticks").toInt()};
    }
    return {-1, -1};
}

QByteArray inSeconds(int seconds)
{
    return QByteArray::number(QDateTime::currentSecsSinceEpoch() + seconds);
}

// Says one line to the helper and returns its answer.
QByteArray tell(QProcess &helper, const QByteArray &line)
{
    helper.write(line + '\n');
    while (!helper.canReadLine() && helper.waitForReadyRead(5000)) {
    }
    return helper.readLine().trimmed();
}

} // namespace

class TestWakeAlarm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void armsDisarmsAndEndsWithItsInput();
    void refusesAnythingButSeconds_data();
    void refusesAnythingButSeconds();
    void saysSoWithoutTheCapability();
    void programSetsTheWakeTime();

private:
    QProcess m_helper;
};

void TestWakeAlarm::init()
{
    m_helper.start(kHelper, {});
    QVERIFY(m_helper.waitForStarted());
}

void TestWakeAlarm::cleanup()
{
    m_helper.closeWriteChannel();
    QVERIFY(m_helper.waitForFinished(5000)); // its input closed, it ends
    QCOMPARE(m_helper.exitCode(), 0);
}

void TestWakeAlarm::armsDisarmsAndEndsWithItsInput()
{
    const QByteArray inAnHour = inSeconds(3600);
    QCOMPARE(tell(m_helper, inAnHour), "armed " + inAnHour);
    const qint64 left = alarmOf(m_helper.processId()).secondsLeft;
    QVERIFY2(left > 3590 && left <= 3600, qPrintable(QString::number(left)));

    // Armed for the next second it expires; disarmed, it does not.
    QVERIFY(tell(m_helper, inSeconds(1)).startsWith("armed"));
    QTRY_COMPARE_WITH_TIMEOUT(alarmOf(m_helper.processId()).expiries, 1, 3000);
    QVERIFY(tell(m_helper, inSeconds(1)).startsWith("armed"));
    QCOMPARE(tell(m_helper, "0"), QByteArray("disarmed"));
    QTest::qWait(2500);
    QCOMPARE(alarmOf(m_helper.processId()).expiries, 0);
}

void TestWakeAlarm::refusesAnythingButSeconds_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("negative") << QByteArray("-5");
    QTest::newRow("two numbers") << QByteArray("100 200");
    QTest::newRow("carriage return") << QByteArray("1900000000\r");
    QTest::newRow("command") << QByteArray("1900000000; reboot");
    QTest::newRow("too long") << QByteArray(4096, '7');
}

void TestWakeAlarm::refusesAnythingButSeconds()
{
    QFETCH(QByteArray, line);
    QVERIFY(tell(m_helper, inSeconds(86400)).startsWith("armed"));
    const qint64 before = alarmOf(m_helper.processId()).secondsLeft;
    QVERIFY(tell(m_helper, line).startsWith("refused "));
    const qint64 after = alarmOf(m_helper.processId()).secondsLeft;
    QVERIFY(before > 86390 && after > before - 5 && after <= before);
}

void TestWakeAlarm::saysSoWithoutTheCapability()
{
    QProcess helper;
    helper.start(QStringLiteral("setpriv"), {QStringLiteral("--bounding-set=-wake_alarm"), kHelper,
                                             QStringLiteral("--check")});
    QVERIFY(helper.waitForFinished(5000));
    QCOMPARE(helper.exitCode(), 3);
    QCOMPARE(helper.readAllStandardError(),
             QByteArray("kronvale-wakealarm: no CAP_WAKE_ALARM capability\n"));
}

void TestWakeAlarm::programSetsTheWakeTime()
{
    kv::HelperWakeAlarm alarm(kHelper);
    alarm.setWakeTime(QDateTime::currentDateTime().addSecs(7200));
    QTRY_VERIFY(alarmOf(alarm.processId()).secondsLeft > 7190);
    alarm.stop();
    QVERIFY(!alarm.isRunning());
}

QTEST_GUILESS_MAIN(TestWakeAlarm)
#include "tst_wakealarm.moc"
