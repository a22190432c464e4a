// SPDX-License-Identifier: GPL-3.0-or-later
// The start at login: the autostart entry in a temporary configuration folder,
// never the user's own.

#include "AutostartEntry.h"
#include "Fakes.h"
#include "UserFolders.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace kv;

namespace {

const QString kId = QStringLiteral("example.ostrova.Kronvale");

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool writeAll(const QString &path, const QString &text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

} // namespace

class TestAutostartEntry : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void firstStartWritesAValidEntry_data();
    void firstStartWritesAValidEntry();
    void switchOffLastsAcrossStarts_data();
    void switchOffLastsAcrossStarts();
    void existingEntryAtStart_data();
    void existingEntryAtStart();
    void unwritableEntryShowsWhy();
    void otherThanAnEntryIsLeftAlone_data();
    void otherThanAnEntryIsLeftAlone();
    void linkIsReplacedNotFollowed();
    void userFolders_data();
    void userFolders();

private:
    std::unique_ptr<QTemporaryDir> m_config;
    RecordingErrorSink m_errors;
};

void TestAutostartEntry::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    m_errors.shown.clear();
}

void TestAutostartEntry::firstStartWritesAValidEntry_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("plain") << "/usr/bin/kronvale";
    QTest::newRow("blank") << "/home/ann/My Programs/kronvale";
    QTest::newRow("shell characters") << "/opt/a$b/`c`/\"d\"/it's/kronvale";
    QTest::newRow("backslash and percent") << "/opt/100%/back\\slash/kronvale";
}

void TestAutostartEntry::firstStartWritesAValidEntry()
{
    QFETCH(QString, program);
    AutostartEntry entry(m_config->path(), kId, program, m_errors);
    QCOMPARE(entry.path(), m_config->filePath("autostart/" + kId + ".desktop"));
    entry.writeUnlessPresent();
    QVERIFY(m_errors.shown.isEmpty());
    QVERIFY(entry.isEnabled());

    const QString exec = QRegularExpression("^Exec=(.*)$", QRegularExpression::MultilineOption)
                             .match(readAll(entry.path()))
                             .captured(1);
    QVERIFY2(exec.endsWith(" --tray"), qPrintable(exec));
    QCOMPARE(AutostartEntry::programOf(exec), program);
    if (program == "/usr/bin/kronvale")
        QCOMPARE(exec, QStringLiteral("/usr/bin/kronvale --tray"));
    QString tryExec = QRegularExpression("^TryExec=(.*)$", QRegularExpression::MultilineOption)
                          .match(readAll(entry.path()))
                          .captured(1);
    QCOMPARE(tryExec.replace("\\\\", "\\"), program);

    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate (desktop-file-utils) is missing");
    QProcess validate;
    validate.start(validator, {entry.path()});
    QVERIFY(validate.waitForFinished(10000));
    const QByteArray said = validate.readAllStandardOutput() + validate.readAllStandardError();
    QVERIFY2(validate.exitCode() == 0 && said.isEmpty(), said.constData());
}

void TestAutostartEntry::switchOffLastsAcrossStarts_data()
{
    QTest::addColumn<QString>("offLine");
    QTest::newRow("by the program") << "";
    QTest::newRow("by GNOME's older switch") << "X-GNOME-Autostart-enabled=false";
}

void TestAutostartEntry::switchOffLastsAcrossStarts()
{
    QFETCH(QString, offLine);
    AutostartEntry entry(m_config->path(), kId, "/usr/bin/kronvale", m_errors);
    entry.writeUnlessPresent();
    if (offLine.isEmpty())
        QVERIFY(entry.setEnabled(false));
    else
        QVERIFY(writeAll(entry.path(), readAll(entry.path()) + offLine + "\n[Other]\nHidden=x\n"));
    QVERIFY(!entry.isEnabled());
    QVERIFY(offLine.isEmpty() == readAll(entry.path()).contains("\nHidden=true\n"));

    // The next start leaves it off.
    AutostartEntry next(m_config->path(), kId, "/usr/bin/kronvale", m_errors);
    next.writeUnlessPresent();
    QVERIFY(!next.isEnabled());

    QVERIFY(next.setEnabled(true));
    QVERIFY(next.isEnabled());
    const QString text = readAll(entry.path());
    QVERIFY2(!text.contains("Hidden=true") && !text.contains("enabled=false"), qPrintable(text));
    // Another group's keys are not the entry's switch.
    QCOMPARE(text.contains("[Other]\nHidden=x"), !offLine.isEmpty());
    QVERIFY(m_errors.shown.isEmpty());
}

void TestAutostartEntry::existingEntryAtStart_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    const QString own = "[Desktop Entry]\nType=Application\nName=Kronvale\n"
                        "Exec=/usr/bin/env kronvale --tray\nX-Note=mine\n";
    QTest::newRow("the user's own") << own << own;
    const QString moved = "[Desktop Entry]\nName=Kronvale\nExec=/usr/bin/kronvale --tray\n"
                          "TryExec=/usr/bin/kronvale\nHidden=true\n";
    QTest::newRow("its program moved away")
        << "[Desktop Entry]\nName=Kronvale\nExec=\"/gone/my copy/kronvale\" --tray\nTryExec=/gone\n"
           "Hidden=true\n"
        << moved;
    QTest::newRow("its program moved away, CR LF")
        << "[Desktop Entry]\r\nName=Kronvale\r\nExec=\"/gone/my copy/kronvale\" --tray\r\n"
           "Hidden=true\r\n"
        << moved;
}

void TestAutostartEntry::existingEntryAtStart()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    AutostartEntry entry(m_config->path(), kId, "/usr/bin/kronvale", m_errors);
    QVERIFY(writeAll(entry.path(), before));
    entry.writeUnlessPresent();
    QCOMPARE(readAll(entry.path()), after);
    QCOMPARE(entry.isEnabled(), !after.contains("Hidden=true"));
    QVERIFY(m_errors.shown.isEmpty());
}

void TestAutostartEntry::unwritableEntryShowsWhy()
{
    // A file where the folder should be stops root too.
    QVERIFY(writeAll(m_config->filePath("autostart"), "not a folder"));
    AutostartEntry entry(m_config->path(), kId, "/usr/bin/kronvale", m_errors);
    entry.writeUnlessPresent();
    QCOMPARE(m_errors.shown.size(), 1);
    QVERIFY2(m_errors.shown[0].contains(entry.path()), qPrintable(m_errors.shown[0]));
    QVERIFY(!entry.setEnabled(true));
    QCOMPARE(m_errors.shown.size(), 2);
    QCOMPARE(readAll(m_config->filePath("autostart")), QStringLiteral("not a folder"));
}

void TestAutostartEntry::otherThanAnEntryIsLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("pipe") << "pipe";
    QTest::newRow("link to /dev/zero") << "device";
    QTest::newRow("folder") << "folder";
    QTest::newRow("huge file") << "huge";
}

void TestAutostartEntry::otherThanAnEntryIsLeftAlone()
{
    QFETCH(QString, kind);
    AutostartEntry entry(m_config->path(), kId, "/usr/bin/kronvale", m_errors);
    QVERIFY(QDir().mkpath(QFileInfo(entry.path()).path()));
    const QByteArray path = QFile::encodeName(entry.path());
    if (kind == "pipe")
        QCOMPARE(::mkfifo(path, 0600), 0);
    else if (kind == "device")
        QVERIFY(QFile::link("/dev/zero", entry.path()));
    else if (kind == "folder")
        QVERIFY(QDir().mkdir(entry.path()));
    else
        QVERIFY(writeAll(entry.path(), "[Desktop Entry]\n" + QString(300 * 1024, 'x')));
    const QFileInfo before(entry.path());

    entry.writeUnlessPresent();
    QCOMPARE(m_errors.shown.size(), 1);
    QVERIFY2(m_errors.shown[0].contains(entry.path()), qPrintable(m_errors.shown[0]));
    QVERIFY(!entry.isEnabled());
    QCOMPARE(m_errors.shown.size(), 1);
    QVERIFY(!entry.setEnabled(false));
    QCOMPARE(m_errors.shown.size(), 2);
    const QFileInfo after(entry.path());
    QCOMPARE(after.isSymLink(), before.isSymLink());
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.lastModified(), before.lastModified());
}

void TestAutostartEntry::linkIsReplacedNotFollowed()
{
    AutostartEntry entry(m_config->path(), kId, "/usr/bin/kronvale", m_errors);
    QVERIFY(QDir().mkpath(QFileInfo(entry.path()).path()));
    const QString target = m_config->filePath("elsewhere.desktop");
    QVERIFY(QFile::link(target, entry.path()));
    entry.writeUnlessPresent();
    QVERIFY(entry.setEnabled(false));
    QVERIFY(!QFileInfo(entry.path()).isSymLink());
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(!entry.isEnabled());
    QCOMPARE(QDir(QFileInfo(entry.path()).path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QFileInfo(entry.path()).fileName()});
    QVERIFY(m_errors.shown.isEmpty());
}

void TestAutostartEntry::userFolders_data()
{
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<QByteArray>("configHome");
    QTest::addColumn<QString>("config");
    QTest::newRow("set") << QByteArray("/home/ann") << QByteArray("/cfg/") << "/cfg";
    QTest::newRow("unset") << QByteArray("/home/ann") << QByteArray() << "/home/ann/.config";
    QTest::newRow("relative") << QByteArray("/home/ann") << QByteArray("rel/cfg")
                              << "/home/ann/.config";
    QTest::newRow("no home") << QByteArray() << QByteArray() << "";
    QTest::newRow("relative home") << QByteArray("ann") << QByteArray("rel") << "";
}

void TestAutostartEntry::userFolders()
{
    QFETCH(QByteArray, home);
    QFETCH(QByteArray, configHome);
    QFETCH(QString, config);
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", configHome);
    qputenv("XDG_DATA_HOME", configHome);
    qputenv("XDG_CACHE_HOME", configHome);
    const QString configFolder = UserFolders::configHome();
    const QString dataFolder = UserFolders::dataHome();
    const QString cacheFolder = UserFolders::cacheHome();
    qputenv("HOME", savedHome);
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qunsetenv(name);
    QCOMPARE(configFolder, config);
    QCOMPARE(dataFolder, QString(config).replace(".config", ".local/share"));
    QCOMPARE(cacheFolder, QString(config).replace(".config", ".cache"));

    // Without a home the entry is nowhere, and saying so is all it does.
    if (config.isEmpty()) {
        AutostartEntry entry(configFolder, kId, "/usr/bin/kronvale", m_errors);
        entry.writeUnlessPresent();
        QVERIFY(!entry.isEnabled());
        QVERIFY(!entry.setEnabled(true));
        QCOMPARE(m_errors.shown.size(), 2);
        QVERIFY2(m_errors.shown[0].contains("HOME"), qPrintable(m_errors.shown[0]));
        QVERIFY(!QFileInfo::exists("autostart"));
    }
}

QTEST_GUILESS_MAIN(TestAutostartEntry)
#include "tst_autostartentry.moc"
