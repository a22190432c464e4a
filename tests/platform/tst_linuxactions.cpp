// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop side of the Linux actions: files reach the desktop's "open"
// handler (xdg-open, replaced here by a script that records its argument), and
// switching the display off does nothing where no display power control exists
// (a recorded one plays the X server's).
#include "DisplayPower.h"
#include "LinuxSystemActions.h"
#include "XvfbServer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class TestLinuxActions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opensFullNameWithDesktopHandler_data();
    void opensFullNameWithDesktopHandler();
    void openerThatCannotStartIsTold();
    void powerEventWithoutSystemBusIsTold();
    void displayOffWithoutDisplayDoesNothing();
    void displayOffThroughDisplayPower_data();
    void displayOffThroughDisplayPower();

private:
    QStringList opened();

    QTemporaryDir m_dir;
    QString m_record;
};

void TestLinuxActions::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_record = m_dir.filePath(QStringLiteral("opened"));
    const QString script = m_dir.filePath(QStringLiteral("xdg-open"));
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + m_record.toUtf8() + "\"\n");
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("PATH", m_dir.path().toUtf8() + ':' + qgetenv("PATH"));
}

// The local files the handler was asked to open, one a call.
QStringList TestLinuxActions::opened()
{
    QFile file(m_record);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList files;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (!line.isEmpty())
            files << QUrl(QString::fromUtf8(line)).toLocalFile();
    return files;
}

void TestLinuxActions::opensFullNameWithDesktopHandler_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::newRow("plain") << QStringLiteral("/home/u/Music/song.ogg") << false;
    QTest::newRow("blanks and accents")
        << QStringLiteral("/home/u/Mes documents/été 2026.odt") << false;
    QTest::newRow("longer than 800 characters")
        << QStringLiteral("/") + QString(300, QLatin1Char('a')) + QStringLiteral("/") +
               QString(300, QLatin1Char('b')) + QStringLiteral("/") +
               QString(250, QLatin1Char('c')) + QStringLiteral(".txt")
        << false;
    QTest::newRow("a file that is there") << m_dir.filePath(QStringLiteral("xdg-open")) << true;
}

void TestLinuxActions::opensFullNameWithDesktopHandler()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QFile::remove(m_record);
    kv::LinuxSystemActions system;
    QStringList told;
    system.openFile(name, [&told](const QString &failure) { told << failure; });
    QTRY_VERIFY_WITH_TIMEOUT(!opened().isEmpty(), 10000);
    QCOMPARE(opened(), QStringList{name});
    // A missing file is still handed over, and told.
    QCOMPARE(told, QStringList{exists ? QString() : "The file " + name + " does not exist."});
}

void TestLinuxActions::openerThatCannotStartIsTold()
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    kv::LinuxSystemActions system;
    QStringList told;
    system.openFile(m_record, [&told](const QString &failure) { told << failure; });
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
