// SPDX-License-Identifier: GPL-3.0-or-later
// The built program as a child process: one instance per base folder, and a
// kill that saves the task table. Each run has its own copy of the program in a
// temporary folder, which is also its base folder, and a home of its own.

#include "Fakes.h"
#include "FileLock.h"
#include "MockBus.h"
#include "ProgramRun.h"
#include "SingleInstance.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSignalSpy>

using namespace kv;
using kv::test::copyProgram;
using kv::test::Home;
using kv::test::Program;
using kv::test::readFile;
using kv::test::writeFile;

namespace {

// A base with one task, written with bare LF line ends: the program writes CR LF,
// so the ends tell whether it saved.
const QByteArray kBaseWithLf = "6\n2\n1\n07.12.2026 9:05:00\nreport.odt\n/docs/\nMonday\n3\n";

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void stopSignalSavesAndEnds_data();
    void stopSignalSavesAndEnds();
    void stopDuringTheStartMessageEnds_data();
    void stopDuringTheStartMessageEnds();
    void noHomeRefusesTheStart();
    void secondStartHandsOverAndEnds_data();
    void secondStartHandsOverAndEnds();
    void instancesOfOneFolder();
    void sharedBaseWithoutLockFile();
    void holderThatDoesNotAnswerIsToldOf();
    void staleLockIsTakenOver();
    void requestsHandedOver_data();
    void requestsHandedOver();
    void failedTasksAreToldOnce();
    void startMapsNoLibraryItDoesNotNeedYet();
};

void TestProgram::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    // What it prints: on its standard output after 0, on its error output else.
    QTest::addColumn<QString>("printed");
    // Where its standard output goes; empty: to the test.
    QTest::addColumn<QString>("output");
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "^Kronvale 1\\.1\n$"
                               << "";
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "^Usage: kronvale .*\n  --tray "
                            << "";
    QTest::newRow("--help to a full disk")
        << QStringList{"--help"} << 1
        << "^kronvale: the answer cannot be written: No space left on device\n$"
        << "/dev/full";
    QTest::newRow("unknown option")
        << QStringList{"--tray", "--bogus=1"} << 2
        << "^kronvale: Unknown option '--bogus'\\.\nTry 'kronvale --help' .*\n$"
        << "";
    QTest::newRow("Qt's option") << QStringList{"-platform", "offscreen"} << 2
                                 << "^kronvale: Unknown option '-platform'\\.\n"
                                 << "";
    QTest::newRow("an argument") << QStringList{"tasks.log"} << 2
                                 << "^kronvale: Unexpected argument 'tasks\\.log'\\.\n"
                                 << "";
    QTest::newRow("control characters")
        << QStringList{"a\x1b]0;owned\a\u202e"} << 2
        << "^kronvale: Unexpected argument 'a\\\\x1b\\]0;owned\\\\x07\\\\u202e'\\.\n"
        << "";
}

void TestProgram::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, printed);
    QFETCH(QString, output);
    // Answered before any window: no display is needed.
    QTemporaryDir dir;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("XDG_CONFIG_HOME", dir.path());
    process.setProcessEnvironment(env);
    if (!output.isEmpty())
        process.setStandardOutputFile(output);
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
    QTest::addColumn<bool>("baseGone");
    QTest::newRow("SIGTERM") << SIGTERM << false;
    QTest::newRow("SIGINT") << SIGINT << false;
    QTest::newRow("SIGHUP") << SIGHUP << false;
    QTest::newRow("SIGTERM, base replaced by a folder") << SIGTERM << true;
}

void TestProgram::stopSignalSavesAndEnds()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, baseGone);
    QTemporaryDir dir;
    Home home;
    QVERIFY(copyProgram(dir.path()));
    writeFile(dir.filePath("KV.log"), kBaseWithLf);
    Program program(dir.path(), home);
    program.start();
    QVERIFY(program.process().waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(program.started(), 30000);
    if (baseGone) {
        QVERIFY(QFile::remove(dir.filePath("KV.log")));
        QVERIFY(QDir(dir.path()).mkdir("KV.log"));
    }
    program.stop(signalNumber);
    // Nobody answers a stop: what cannot go to the base goes to a rescue copy.
    QString saved = dir.filePath("KV.log");
    if (baseGone) {
        const QStringList copies =
            QDir(home.data()).entryList({"KV.log.unsaved-*"}, QDir::Files, QDir::Name);
        QCOMPARE(copies.size(), 2); // the copy and the record of its base
        saved = QDir(home.data()).filePath(copies.first());
    }
    QCOMPARE(readFile(saved), QByteArray(kBaseWithLf).replace("\n", "\r\n"));
}

void TestProgram::stopDuringTheStartMessageEnds_data()
{
    QTest::addColumn<QByteArray>("base");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("unreadable base") << QByteArray("6\n999\n") << QByteArray("6\r\n1\r\n");
    QTest::newRow("start at login unwritable")
        << kBaseWithLf << QByteArray(kBaseWithLf).replace("\n", "\r\n");
}

void TestProgram::stopDuringTheStartMessageEnds()
{
    QFETCH(QByteArray, base);
    QFETCH(QByteArray, saved);
    QTemporaryDir dir;
    Home home;
    QVERIFY(copyProgram(dir.path()));
    writeFile(dir.filePath("KV.log"), base);
    // A file where the configuration folder should be.
    writeFile(home.path("config"), "");
    Program program(dir.path(), home);
    program.start();
    // It listens before it reads the base, and shows the message soon after.
    QTRY_VERIFY_WITH_TIMEOUT(program.listening(), 30000);
    QTest::qWait(500);
    QVERIFY(program.process().state() == QProcess::Running);
    program.stop();
    QCOMPARE(readFile(dir.filePath("KV.log")), saved);
    // An unreadable base is kept aside.
    QCOMPARE(QFileInfo::exists(dir.filePath("KV.log.bak")), saved != base.replace("\n", "\r\n"));
}

void TestProgram::noHomeRefusesTheStart()
{
    // An installed copy, whose task list belongs in the user's data folder.
    QTemporaryDir dir;
    Home home;
    QVERIFY(QDir(dir.path()).mkpath("bin") && QDir(dir.path()).mkpath("share/kronvale"));
    QVERIFY(copyProgram(dir.filePath("bin")));
    Program program(dir.filePath("bin"), home);
    program.setEnv("HOME", "");
    program.setEnv("XDG_DATA_HOME", "rel/data");
    program.setEnv("XDG_CONFIG_HOME", "rel/config");
    program.process().setWorkingDirectory(home.path("runtime"));
    program.start();
    // Its message waits for somebody: a stop takes it down.
    QTest::qWait(2000);
    ::kill(pid_t(program.process().processId()), SIGTERM);
    QVERIFY(program.process().waitForFinished(30000));
    QCOMPARE(program.process().exitCode(), 1);
    QCOMPARE(QDir(home.runtime()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), {});
}

void TestProgram::secondStartHandsOverAndEnds_data()
{
    QTest::addColumn<bool>("otherTemporaryFolder");
    QTest::newRow("same environment") << false;
    QTest::newRow("other temporary folder") << true;
}

void TestProgram::secondStartHandsOverAndEnds()
{
    QFETCH(bool, otherTemporaryFolder);
    QTemporaryDir dir;
    QTemporaryDir tmp;
    Home home;
    QVERIFY(copyProgram(dir.path()));
    Program first(dir.path(), home);
    first.start();
    QTRY_VERIFY_WITH_TIMEOUT(first.listening(), 30000);

    Program second(dir.path(), home, otherTemporaryFolder ? tmp.path() : QDir::tempPath());
    second.start();
    QVERIFY(second.process().waitForFinished(30000));
    QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process().exitCode(), 0);
    QCOMPARE(first.process().state(), QProcess::Running);
    first.stop();
}

void TestProgram::instancesOfOneFolder()
{
    QTemporaryDir one;
    QTemporaryDir other;
    Home home;
    SingleInstance first(one.path(), home.runtime());
    QCOMPARE(first.claim(), SingleInstance::Claim::Ours);
    QSignalSpy asked(&first, &SingleInstance::activationRequested);

    // Another folder is another instance.
    SingleInstance elsewhere(other.path(), home.runtime());
    QCOMPARE(elsewhere.claim(), SingleInstance::Claim::Ours);

    // The same folder, also spelt differently, hands over.
    // It hands over its launcher's token, with which the first may take the focus.
    SingleInstance second(one.path() + "/./", home.runtime());
    QCOMPARE(second.serverName(), first.serverName());
    const QByteArray token = "gnome-shell/Kronvale/2317-4-host_TIME1834567";
    QCOMPARE(second.claim(token), SingleInstance::Claim::HandedOver);
    QTRY_COMPARE(asked.count(), 1);
    QCOMPARE(asked.first().value(0).toByteArray(), token);

    // A copy that finds the folder's own lock held (another user's, or one
    // started with another runtime folder) does not run on it.
    Home otherUser;
    SingleInstance stranger(one.path(), otherUser.runtime());
    QCOMPARE(stranger.claim(), SingleInstance::Claim::Refused);
    QVERIFY(stranger.refusal().contains(one.path()));
}

void TestProgram::sharedBaseWithoutLockFile()
{
    // A folder where no lock file can be made (a folder stands in its place here,
    // as tests run with rights that no read-only folder stops) still guards its
    // base against a second user's copy.
    QTemporaryDir shared;
    QVERIFY(QDir(shared.path()).mkdir(SingleInstance::baseLockName()));
    writeFile(shared.filePath("KV.log"), kBaseWithLf);
    QVERIFY(QFile::setPermissions(shared.filePath("KV.log"), QFile::ReadOwner | QFile::ReadOther));
    Home one;
    Home other;
    SingleInstance first(shared.path(), one.runtime());
    QCOMPARE(first.claim(), SingleInstance::Claim::Ours);
    SingleInstance second(shared.path(), other.runtime());
    QCOMPARE(second.claim(), SingleInstance::Claim::Refused);
    QCOMPARE(readFile(shared.filePath("KV.log")), kBaseWithLf); // locked as it stands
}

void TestProgram::holderThatDoesNotAnswerIsToldOf()
{
    QTemporaryDir dir;
    Home home;
    SingleInstance instance(dir.path(), home.runtime());
    FileLock holder;
    QCOMPARE(holder.tryLock(instance.userLockPath()), FileLock::Result::Locked);
    QCOMPARE(instance.claim(), SingleInstance::Claim::Refused);
    QVERIFY(instance.refusal().contains(QStringLiteral("does not answer")));
    // A name of the shared temporary folder decides nothing.
    QVERIFY(!instance.userLockPath().startsWith(QDir::tempPath() + "/kronvale"));
}

void TestProgram::staleLockIsTakenOver()
{
    QTemporaryDir dir;
    Home home;
    QVERIFY(copyProgram(dir.path()));
    {
        Program crashed(dir.path(), home);
        crashed.start();
        QTRY_VERIFY_WITH_TIMEOUT(crashed.listening(), 30000);
        crashed.process().kill();
        QVERIFY(crashed.process().waitForFinished(10000));
    }
    // Its lock files and its socket are left behind.
    SingleInstance instance(dir.path(), home.runtime());
    QCOMPARE(instance.claim(), SingleInstance::Claim::Ours);
    QSignalSpy asked(&instance, &SingleInstance::activationRequested);
    QVERIFY(UnixLocalChannel().send(instance.serverName(), "show", 2000));
    QTRY_COMPARE(asked.count(), 1);
    QCOMPARE(asked.first().value(0).toByteArray(), QByteArray()); // started from a terminal
}

// Through fakes of the channel: what a later start sends, and what the
// running one makes of it.
void TestProgram::requestsHandedOver_data()
{
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QByteArray>("received");
    QTest::newRow("from a terminal") << QByteArray() << "show" << QByteArray();
    QTest::newRow("with a token") << QByteArray("startup-id_TIME5") << "show startup-id_TIME5"
                                  << QByteArray("startup-id_TIME5");
    QTest::newRow("a token of two lines") << QByteArray("a\nshow b") << "show" << QByteArray();
    QTest::newRow("spaces around") << QByteArray(" tok ") << "show  tok " << QByteArray("tok");
}

void TestProgram::requestsHandedOver()
{
    QFETCH(QByteArray, token);
    QFETCH(QString, request);
    QFETCH(QByteArray, received);
    QTemporaryDir dir;
    Home home;
    auto channel = std::make_unique<FakeLocalChannel>();
    FakeLocalChannel &listening = *channel;
    SingleInstance running(dir.path(), home.runtime(), std::move(channel));
    QCOMPARE(running.claim(), SingleInstance::Claim::Ours);
    QCOMPARE(listening.listeningAt, running.serverName());
    QSignalSpy asked(&running, &SingleInstance::activationRequested);

    channel = std::make_unique<FakeLocalChannel>();
    FakeLocalChannel &sending = *channel;
    SingleInstance later(dir.path(), home.runtime(), std::move(channel));
    QCOMPARE(later.claim(token), SingleInstance::Claim::HandedOver);
    QCOMPARE(sending.sent, QStringList{running.serverName() + ' ' + request});
    listening.receive(request.toUtf8());
    QCOMPARE(asked.count(), 1);
    QCOMPARE(asked.first().value(0).toByteArray(), received);
}

// Tasks whose file the desktop cannot open, due while the program runs on a
// desktop that xdg-open does not know: each told once in a notification and in a
// journal line, which shows a task's control characters escaped.
void TestProgram::failedTasksAreToldOnce()
{
    test::PrivateBus bus;
    QVERIFY(bus.isRunning());
    test::DBusMock server(bus, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                          {"--template", "notification_daemon"});
    QVERIFY2(server.waitUntilServing(), "python3-dbusmock is missing");
    QTemporaryDir dir;
    Home home;
    QVERIFY(copyProgram(dir.path()));
    writeFile(dir.filePath("data.kv-unknown"), QByteArray("\x01\x02\x03\xff\xfe", 5));
    writeFile(dir.filePath("missing.desktop"),
              "[Desktop Entry]\nType=Application\nName=Missing\nExec=kv-no-program\n");
    QFile::setPermissions(dir.filePath("missing.desktop"), QFile::ReadOwner | QFile::ExeOwner);
    // Every day, a few seconds after the program has started.
    const QByteArray due =
        "07.12.2026 " + QTime::currentTime().addSecs(8).toString("H:mm:ss").toLatin1();
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    writeFile(dir.filePath("KV.log"), "6\n4\n0\n0\n0\n" + due + '\n' + due + '\n' + due +
                                          "\ndata.kv-unknown\nmissing.desktop\nred\x1b[31m\n" +
                                          folder + '\n' + folder + '\n' + folder +
                                          "\nEvery day\nEvery day\nEvery day\n0\n0\n0\n");
    Program program(dir.path(), home);
    program.setEnv("DBUS_SESSION_BUS_ADDRESS", QString::fromUtf8(bus.address()));
    program.setEnv("XDG_CURRENT_DESKTOP", {});
    program.setEnv("BROWSER", "kv-no-browser");
    program.process().setProcessChannelMode(QProcess::SeparateChannels);
    program.process().setReadChannel(QProcess::StandardError);
    program.start();
    QByteArray journal;
    const QDeadlineTimer deadline(60000);
    while (journal.count("\": failed: ") < 3 && !deadline.hasExpired())
        if (program.process().waitForReadyRead(int(deadline.remainingTime())))
            journal += program.process().readAllStandardError();
    QVERIFY2(journal.count("\": failed: ") == 3, journal.constData());
    const QList<QByteArray> lines = journal.split('\n');
    for (const QByteArray &line : lines)
        QVERIFY2(!line.contains('\x1b'), line.constData());
    const auto lineOf = [&lines](const QByteArray &task) {
        for (const QByteArray &line : lines)
            if (line.contains(task))
                return line;
        return QByteArray();
    };
    QVERIFY(lineOf("data.kv-unknown\": failed: The desktop's opener (xdg-open) failed: xdg-open: "
                   "no method available")
                .size());
    QVERIFY(lineOf("missing.desktop\": failed: The program kv-no-program that the launcher "
                   "missing.desktop starts cannot be found.")
                .size());
    QVERIFY(lineOf("red\\e[31m\": failed: The file").contains("red\\e[31m does not exist."));
    QStringList summaries;
    // The server's capabilities are asked for once, before the first.
    for (const test::MockCall &call : server.waitForCalls(4))
        if (call.method == "Notify")
            summaries << call.args.value(3).toString();
    summaries.sort();
    QCOMPARE(summaries, QStringList({"Not done: data.kv-unknown", "Not done: missing.desktop",
                                     "Not done: red\\e[31m"}));
}

// The hover sound's libraries wait for a button's first sound, GIO for the first
// launcher started, image plugins for a picture that needs one: at every login
// they would cost start time and memory for what most runs never do.
void TestProgram::startMapsNoLibraryItDoesNotNeedYet()
{
    QTemporaryDir dir;
    Home home;
    QVERIFY(copyProgram(dir.path()));
    Program program(dir.path(), home);
    program.start();
    QVERIFY(program.process().waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(program.started(), 30000);
    QFile maps(QStringLiteral("/proc/%1/maps").arg(program.process().processId()));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    QVERIFY(mapped.contains("libQt6Widgets"));
    QVERIFY(!mapped.contains("libQt6Multimedia"));
    QVERIFY(!mapped.contains("libpulse"));
    QVERIFY(!mapped.contains("libQt6Network"));
    QVERIFY(!mapped.contains("libgio-2.0")); // loaded at the first launcher started
    QVERIFY(!mapped.contains("/imageformats/"));
    program.stop();
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
