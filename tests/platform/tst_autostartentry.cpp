// SPDX-License-Identifier: GPL-3.0-or-later
// The start at login: the autostart entry in a temporary configuration folder,
// never the user's own.

#include "AutostartEntry.h"
#include "Fakes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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
    QTest::newRow("its program moved away")
        << "[Desktop Entry]\nName=Kronvale\nExec=\"/gone/my copy/kronvale\" --tray\nHidden=true\n"
        << "[Desktop Entry]\nName=Kronvale\nExec=/usr/bin/kronvale --tray\nHidden=true\n";
}

void TestAutostartEntry::existingEntryAtStart()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    AutostartEntry entry(m_config->path(), kId, "/usr/bin/kronvale", m_errors);
    QVERIFY(writeAll(entry.path(), before));
    entry.writeUnlessPresent();
    QCOMPARE(readAll(entry.path()), after);
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

QTEST_GUILESS_MAIN(TestAutostartEntry)
#include "tst_autostartentry.moc"
