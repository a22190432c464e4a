// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop side of the Linux actions: files open as the desktop opens them
// (the real xdg-open of a desktop it does not know, with a home, handlers and
// menu of the test's own), and switching the display off does nothing where no
// display power control exists (a recorded one plays the X server's).
#include "DisplayPower.h"
#include "LinuxSystemActions.h"
#include "TestFiles.h"
#include "XvfbServer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using kv::test::readFile;
using kv::test::writeFile;

class TestLinuxActions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opensAsTheDesktopDoes_data();
    void opensAsTheDesktopDoes();
    void openerThatCannotStartIsTold();
    void powerEventWithoutSystemBusIsTold();
    void displayOffWithoutDisplayDoesNothing();
    void displayOffThroughDisplayPower_data();
    void displayOffThroughDisplayPower();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    void writeExecutable(const QString &name, const QByteArray &text);
    // The lines of a file the test's programs write; none while it is not there.
    QStringList lines(const QString &name) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir m_dir;
};

void TestLinuxActions::writeExecutable(const QString &name, const QByteArray &text)
{
    writeFile(path(name), text);
    QFile::setPermissions(path(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestLinuxActions::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // A desktop that xdg-open does not know; a home, a menu and handlers of the
    // test's own, and of the system only its file types.
    for (const char *name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                             "GNOME_DESKTOP_SESSION_ID", "XDG_SESSION_DESKTOP"})
        qunsetenv(name);
    QDir(m_dir.path()).mkpath("data/applications");
    QDir(m_dir.path()).mkpath("system");
    QVERIFY(QFile::link("/usr/share/mime", path("system/mime")));
    qputenv("HOME", QFile::encodeName(m_dir.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(path("data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("data")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(path("system")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(path("system")));
    qputenv("BROWSER", "kv-no-browser");
    // The document handler notes each file it is given.
    writeExecutable("handler",
                    "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/opened\"\n");
    writeFile(path("data/applications/kv-documents.desktop"),
              "[Desktop Entry]\nType=Application\nName=Documents\nExec=" +
                  QFile::encodeName(path("handler")) + " %f\n");
    QCOMPARE(QProcess::execute("xdg-mime", {"default", "kv-documents.desktop", "text/plain",
                                            "text/x-shellscript", "application/x-shellscript"}),
             0);
    // Programs leave a mark in their working folder.
    QDir(m_dir.path()).mkpath("programs");
    writeExecutable("programs/script", "#!/bin/sh\necho script >> mark\n");
    writeExecutable("programs/elf", readFile(QStringLiteral(KV_MARK_PROGRAM)));
    writeFile(path("programs/not executable"), "#!/bin/sh\necho script >> mark\n");
    writeExecutable("programs/bad interpreter", "#!/nonexistent/sh\necho script >> mark\n");
    writeExecutable("programs/launcher.desktop",
                    "[Desktop Entry]\nType=Application\nName=Launcher\nExec=sh -c 'echo "
                    "launcher >> \"" +
                        QFile::encodeName(path("programs/mark")) + "\"'\n");
    writeExecutable("programs/missing.desktop",
                    "[Desktop Entry]\nType=Application\nName=Missing\nExec=kv-no-program %f\n");
    writeFile(path("Отчёт за май.txt"), "text\n");
    writeFile(path("data.kv-unknown"), QByteArray("\x01\x02\x03\xff\xfe", 5));
}

void TestLinuxActions::opensAsTheDesktopDoes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("failure"); // its start
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("marks");
    const QString noHandler = "The desktop's opener (xdg-open) failed: xdg-open: no method";
    QTest::newRow("document") << "Отчёт за май.txt" << QString() << QStringList{"Отчёт за май.txt"}
                              << QStringList{};
    QTest::newRow("script") << "programs/script" << QString() << QStringList{}
                            << QStringList{"script"};
    QTest::newRow("ELF program") << "programs/elf" << QString() << QStringList{}
                                 << QStringList{"elf"};
    QTest::newRow("launcher") << "programs/launcher.desktop" << QString() << QStringList{}
                              << QStringList{"launcher"};
    QTest::newRow("script that may not run")
        << "programs/not executable" << QString() << QStringList{"programs/not executable"}
        << QStringList{};
    QTest::newRow("type without a handler")
        << "data.kv-unknown" << noHandler << QStringList{} << QStringList{};
    QTest::newRow("launcher of a missing program")
        << "programs/missing.desktop"
        << "The program kv-no-program that the launcher missing.desktop starts cannot be found."
        << QStringList{} << QStringList{};
    QTest::newRow("missing interpreter") << "programs/bad interpreter"
                                         << "The program " + path("programs/bad interpreter") +
                                                " could not be started: No such file or directory"
                                         << QStringList{} << QStringList{};
    QTest::newRow("missing file") << "nowhere.txt"
                                  << "The file " + path("nowhere.txt") + " does not exist."
                                  << QStringList{} << QStringList{};
}

void TestLinuxActions::opensAsTheDesktopDoes()
{
    QFETCH(QString, name);
    QFETCH(QString, failure);
    QFETCH(QStringList, opened);
    QFETCH(QStringList, marks);
    QFile::remove(path("opened"));
    QFile::remove(path("programs/mark"));
    kv::LinuxSystemActions system;
    QStringList told;
    system.openFile(path(name), [&told](const QString &reason) { told << reason; });
    QTRY_COMPARE_WITH_TIMEOUT(told.size(), 1, 10000);
    QVERIFY2(told.first().startsWith(failure) && told.first().isEmpty() == failure.isEmpty(),
             qPrintable(told.first()));
    // Programs run in their folder.
    QTRY_COMPARE_WITH_TIMEOUT(lines("programs/mark"), marks, 5000);
    QStringList expected;
    for (const QString &file : std::as_const(opened))
        expected << path(file);
    QCOMPARE(lines("opened"), expected);
    QCOMPARE(told.size(), 1);
}

void TestLinuxActions::openerThatCannotStartIsTold()
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    kv::LinuxSystemActions system;
    QStringList told;
    system.openFile(m_dir.filePath("Отчёт за май.txt"),
                    [&told](const QString &failure) { told << failure; });
    qputenv("PATH", path);
    QCOMPARE(told, QStringList{"The desktop's opener (xdg-open) could not be started."});
}

void TestLinuxActions::powerEventWithoutSystemBusIsTold()
{
    kv::LinuxSystemActions system(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"), "no-bus"));
    QStringList told;
    system.powerOff([&told](const QString &failure) { told << failure; });
    QTRY_COMPARE(told, QStringList{"The system's power control (logind) cannot be reached."});
}

void TestLinuxActions::displayOffWithoutDisplayDoesNothing()
{
    const QByteArray saved = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    QVERIFY(!kv::switchDisplayOff());
    qputenv("DISPLAY", saved);
}

namespace {

class RecordingDisplayPower : public kv::DisplayPowerControl
{
public:
    bool capable() override { return hasPower; }
    bool enabled() override { return on; }
    void enable() override
    {
        calls << QStringLiteral("enable");
        on = true;
    }
    bool forceOff() override
    {
        calls << QStringLiteral("off");
        return on; // refused while power management is off
    }

    bool hasPower = false;
    bool on = false;
    QStringList calls;
};

} // namespace

void TestLinuxActions::displayOffThroughDisplayPower_data()
{
    QTest::addColumn<bool>("hasPower");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("no display power") << false << false << QStringList{};
    QTest::newRow("power management off") << true << false << QStringList{"enable", "off"};
    QTest::newRow("power management on") << true << true << QStringList{"off"};
}

void TestLinuxActions::displayOffThroughDisplayPower()
{
    QFETCH(bool, hasPower);
    QFETCH(bool, on);
    QFETCH(QStringList, calls);
    RecordingDisplayPower power;
    power.hasPower = hasPower;
    power.on = on;
    QCOMPARE(kv::switchDisplayOff(power), hasPower);
    QCOMPARE(power.calls, calls);
}

// The desktop services need a real platform: the offscreen one opens nothing.
// The desktop's own ways of switching the screen off stay out of reach.
int main(int argc, char *argv[])
{
    return kv::test::runOnXvfb<QGuiApplication, TestLinuxActions>(argc, argv);
}

#include "tst_linuxactions.moc"
