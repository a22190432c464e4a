// SPDX-License-Identifier: GPL-3.0-or-later
// The built program as a child process: one instance per base folder, and a
// kill that saves the task table. Each run has its own copy of the program in a
// temporary folder, which is also its base folder.

#include "SingleInstance.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace kv;

namespace {

// A base with one task, written with bare LF line ends: the program writes CR LF,
// so the ends tell whether it saved.
const QByteArray kBaseWithLf = "6\n2\n1\n07.12.2026 9:05:00\nreport.odt\n/docs/\nMonday\n3\n";

class Program
{
public:
    explicit Program(const QString &folder) : m_folder(folder)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        // The start at login is written here, not into the user's own login.
        env.insert("XDG_CONFIG_HOME", QDir(folder).filePath("config"));
        m_process.setProcessEnvironment(env);
        m_process.setProgram(QDir(folder).filePath("kronvale"));
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    QProcess &process() { return m_process; }
    void start() { m_process.start(); }
    // Running and answering on its instance socket.
    bool listening() const
    {
        QLocalSocket socket;
        socket.connectToServer(SingleInstance::keyFor(m_folder));
        return socket.waitForConnected(200);
    }

private:
    QString m_folder;
    QProcess m_process;
};

bool copyProgram(const QString &folder)
{
    const QString copy = QDir(folder).filePath("kronvale");
    return QFile::copy(QStringLiteral(KV_PROGRAM), copy) &&
           QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void stopSignalSavesAndEnds_data();
    void stopSignalSavesAndEnds();
    void secondStartHandsOverAndEnds();
    void instancesOfOneFolder();
    void staleLockIsTakenOver();
};

void TestProgram::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    // What it prints: on its standard output after 0, on its error output else.
    QTest::addColumn<QString>("printed");
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "^Kronvale 1\\.1\n$";
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "^Usage: kronvale .*\n  --tray ";
    QTest::newRow("unknown option")
        << QStringList{"--tray", "--bogus"} << 2
        << "^kronvale: Unknown option 'bogus'\\.\nTry 'kronvale --help' .*\n$";
    QTest::newRow("an argument") << QStringList{"tasks.log"} << 2
                                 << "^kronvale: Unexpected argument 'tasks\\.log'\\.\n";
}

void TestProgram::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, printed);
    // Answered before any window: no display is needed.
    QTemporaryDir dir;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("XDG_CONFIG_HOME", dir.path());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KV_PROGRAM), arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), status);
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    const QString &text = status == 0 ? out : err;
    QVERIFY2(QRegularExpression(printed, QRegularExpression::DotMatchesEverythingOption)
                 .match(text)
                 .hasMatch(),
             qPrintable(text));
    QVERIFY2((status == 0 ? err : out).isEmpty(), qPrintable(out + err));
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TestProgram::stopSignalSavesAndEnds_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestProgram::stopSignalSavesAndEnds()
{
    QFETCH(int, signalNumber);
    QTemporaryDir dir;
    QVERIFY(copyProgram(dir.path()));
    {
        QFile base(dir.filePath("KV.log"));
        QVERIFY(base.open(QIODevice::WriteOnly));
        base.write(kBaseWithLf);
    }
    Program program(dir.path());
    program.start();
    QVERIFY(program.process().waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(program.listening(), 30000);

    ::kill(pid_t(program.process().processId()), signalNumber);
    QVERIFY(program.process().waitForFinished(30000));
    QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.process().exitCode(), 0);

    QFile base(dir.filePath("KV.log"));
    QVERIFY(base.open(QIODevice::ReadOnly));
    QCOMPARE(base.readAll(), QByteArray(kBaseWithLf).replace("\n", "\r\n"));
}

void TestProgram::secondStartHandsOverAndEnds()
{
    QTemporaryDir dir;
    QVERIFY(copyProgram(dir.path()));
    Program first(dir.path());
    first.start();
    QTRY_VERIFY_WITH_TIMEOUT(first.listening(), 30000);

    Program second(dir.path());
    second.start();
    QVERIFY(second.process().waitForFinished(30000));
    QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process().exitCode(), 0);
    QCOMPARE(first.process().state(), QProcess::Running);

    first.process().terminate();
    QVERIFY(first.process().waitForFinished(30000));
    QCOMPARE(first.process().exitCode(), 0);
}

void TestProgram::instancesOfOneFolder()
{
    QTemporaryDir one;
    QTemporaryDir other;
    SingleInstance first(one.path());
    QVERIFY(first.claim());
    QSignalSpy asked(&first, &SingleInstance::activationRequested);

    // Another folder is another instance.
    SingleInstance elsewhere(other.path());
    QVERIFY(elsewhere.claim());

    // The same folder, also spelt differently, hands over.
    SingleInstance second(one.path() + "/./");
    QCOMPARE(second.key(), first.key());
    QVERIFY(!second.claim());
    QTRY_COMPARE(asked.count(), 1);
}

void TestProgram::staleLockIsTakenOver()
{
    QTemporaryDir dir;
    QVERIFY(copyProgram(dir.path()));
    {
        Program crashed(dir.path());
        crashed.start();
        QTRY_VERIFY_WITH_TIMEOUT(crashed.listening(), 30000);
        crashed.process().kill();
        QVERIFY(crashed.process().waitForFinished(10000));
    }
    // Its lock and its socket are left behind.
    SingleInstance instance(dir.path());
    QVERIFY(instance.claim());
    QSignalSpy asked(&instance, &SingleInstance::activationRequested);
    QLocalSocket socket;
    socket.connectToServer(instance.key());
    QVERIFY(socket.waitForConnected(2000));
    socket.write("show\n");
    QVERIFY(socket.waitForBytesWritten(2000));
    QTRY_COMPARE(asked.count(), 1);
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
