// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "Scheduler.h"
#include "TaskActions.h"
#include "TaskBase.h"
#include "TaskBaseFormat.h"
#include "TaskTable.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using kv::TaskBase;
using kv::TaskTable;
using kv::test::readFile;
using kv::test::writeFile;
namespace Format = kv::TaskBaseFormat;

namespace {

void fill(TaskTable &table)
{
    table.appendTask(QStringLiteral("07.12.2026 9:05:00"), QStringLiteral("Lied über Zürich.ogg"),
                     QStringLiteral("/home/u/Музыка/"), QStringLiteral("Simple"));
    table.appendTask(QStringLiteral("08.12.2026 19:05:00"), QStringLiteral("Shut Down"), QString(),
                     QStringLiteral("Shut Down(Monday)"));
    table.setCell(TaskTable::FiredColumn, 2, QStringLiteral("1"));
    table.setCell(TaskTable::StartsColumn, 2, QStringLiteral("12"));
}

QList<QStringList> rows(const TaskTable &table)
{
    QList<QStringList> list;
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < table.columnCount(); ++c)
            row << table.cell(c, r);
        list << row;
    }
    return list;
}

// Files written by this process may not grow past `bytes` while it lives: a disk
// that fills up, for root too.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

// Runs `work` as a user who may not create anything in the folder of `file`:
// the folder's owner is someone else. Root takes on another user's file access
// for the while.
bool inFolderOfAnotherUser(const QString &file, const std::function<bool()> &work)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (::getuid() != 0) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        const bool result = work();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return result;
    }
    constexpr uid_t kNobody = 65534;
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    ::setfsgid(kNobody);
    ::setfsuid(kNobody);
    bool result = false;
    try {
        result = work();
    } catch (const kv::Error &error) {
        qWarning("%s", error.what());
    }
    ::setfsuid(0);
    ::setfsgid(0);
    return result;
}

} // namespace

class TestTaskBase : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void encodesColumnByColumn();
    void roundTrip();
    void lineEndStyles_data();
    void lineEndStyles();
    void shortBaseLoadsWithEmptyCells();
    void cellLineBreaksKeepTheFileWhole();
    void readsWindows1251();
    void leavesTableForTinyColumnCount_data();
    void leavesTableForTinyColumnCount();
    void refusesWhatItCannotTake_data();
    void refusesWhatItCannotTake();
    void failedWriteKeepsOldBase_data();
    void failedWriteKeepsOldBase();
    void writesInPlaceWhereNoFileCanBeMade();
    void neverWritesOverWhatIsNoFile_data();
    void neverWritesOverWhatIsNoFile();
    void readsOnlyRegularFilesOfSensibleSize_data();
    void readsOnlyRegularFilesOfSensibleSize();
    void failedSaveAtClose_data();
    void failedSaveAtClose();
    void stopWithoutSaveKeepsRescueCopies();
    void startCreatesMissingDefaultBase();
    void startLoadsDefaultBase();
    void startKeepsUnreadableBaseAside();
    void saveBaseRenamesCurrentBase();
    void openBaseKeepsName();
    void newBase_data();
    void newBase();
    void chooseFolder();
    void firedTaskIsOnDiskBeforeItsAction();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void TestTaskBase::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestTaskBase::encodesColumnByColumn()
{
    TaskTable table;
    QCOMPARE(Format::encode(table), QByteArray("6\r\n1\r\n"));
    fill(table);
    QCOMPARE(Format::encode(table),
             QByteArray("6\r\n3\r\n"
                        "0\r\n1\r\n"
                        "07.12.2026 9:05:00\r\n08.12.2026 19:05:00\r\n") +
                 QString("Lied über Zürich.ogg\r\nShut Down\r\n/home/u/Музыка/\r\n\r\n").toUtf8() +
                 "Simple\r\nShut Down(Monday)\r\n0\r\n12\r\n");
}

void TestTaskBase::roundTrip()
{
    TaskTable table;
    fill(table);
    table.setCell(TaskTable::NameColumn, 2, QStringLiteral("\uFEFFstarts with a byte-order mark"));
    TaskBase::writeBase(table, path("a.log"));
    TaskTable copy;
    TaskBase::readBase(path("a.log"), copy);
    QCOMPARE(rows(copy), rows(table));

    TaskTable empty; // an empty base empties the table
    TaskBase::writeBase(empty, path("empty.log"));
    QCOMPARE(readFile(path("empty.log")), QByteArray("6\r\n1\r\n"));
    TaskBase::readBase(path("empty.log"), copy);
    QCOMPARE(copy.rowCount(), 1);
    QCOMPARE(copy.fixedRows(), 0);
}

void TestTaskBase::lineEndStyles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray lines[] = {"6",       "2",   "1",      "07.12.2026 9:05:00",
                                "a b.txt", "/x/", "Monday", "4"};
    QByteArray lf, cr, crlf, mixed;
    for (int i = 0; i < 8; ++i) {
        lf += lines[i] + "\n";
        cr += lines[i] + "\r";
        crlf += lines[i] + "\r\n";
        mixed += lines[i] + (i % 3 == 0 ? "\n" : i % 3 == 1 ? "\r" : "\r\n");
    }
    QTest::newRow("LF") << lf;
    QTest::newRow("CR") << cr;
    QTest::newRow("CR LF") << crlf;
    QTest::newRow("mixed") << mixed;
    QTest::newRow("no last line end") << crlf.chopped(2);
    QTest::newRow("end-of-file byte") << crlf + "\x1A" + "6\r\n9\r\n";
    QTest::newRow("blanks before counts") << "\r\n  6  \r\n\r\n\t2 rest\r\n" + crlf.sliced(6);
    QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + crlf;
}

void TestTaskBase::lineEndStyles()
{
    QFETCH(QByteArray, bytes);
    const auto contents = Format::decode(bytes);
    QVERIFY(contents);
    QCOMPARE(contents->rowCount, 2);
    QCOMPARE(contents->cells,
             QStringList({"1", "07.12.2026 9:05:00", "a b.txt", "/x/", "Monday", "4"}));
}

void TestTaskBase::shortBaseLoadsWithEmptyCells()
{
    // Lines missing at the end read as empty cells, without an error.
    const auto contents = Format::decode("6\r\n3\r\n0\r\n1\r\n07.12.2026 9:05:00\r\n");
    QVERIFY(contents);
    QCOMPARE(contents->rowCount, 3);
    QCOMPARE(contents->cells.size(), 12);
    QCOMPARE(contents->cell(TaskTable::FiredColumn, 2), QStringLiteral("1"));
    QCOMPARE(contents->cell(TaskTable::TimeColumn, 1), QStringLiteral("07.12.2026 9:05:00"));
    QCOMPARE(contents->cell(TaskTable::StartsColumn, 2), QString());
}

void TestTaskBase::cellLineBreaksKeepTheFileWhole()
{
    TaskTable table;
    fill(table);
    table.setCell(TaskTable::NameColumn, 1, QStringLiteral("two\r\nlines\x1A.txt"));
    const auto contents = Format::decode(Format::encode(table));
    QVERIFY(contents);
    QCOMPARE(contents->cell(TaskTable::NameColumn, 1), QStringLiteral("two  lines .txt"));
    QCOMPARE(contents->cell(TaskTable::StartsColumn, 2), QStringLiteral("12"));
}

void TestTaskBase::readsWindows1251()
{
    // "Музыка" and "Песня.mp3" as the Windows Cyrillic code page writes them.
    const QByteArray bytes = "6\r\n2\r\n0\r\n07.12.2026 9:05:00\r\n"
                             "\xCF\xE5\xF1\xED\xFF.mp3\r\nC:\\\xCC\xF3\xE7\xFB\xEA\xE0\\\r\n"
                             "Simple\r\n0\r\n";
    const auto contents = Format::decode(bytes);
    QVERIFY(contents);
    QCOMPARE(contents->cell(TaskTable::NameColumn, 1), QStringLiteral("Песня.mp3"));
    QCOMPARE(contents->cell(TaskTable::PathColumn, 1), QStringLiteral("C:\\Музыка\\"));
}

void TestTaskBase::leavesTableForTinyColumnCount_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("blank lines only") << QByteArray("\r\n \r\n");
    QTest::newRow("one column") << QByteArray("1\r\n5\r\nx\r\n");
    QTest::newRow("negative") << QByteArray("-6\r\n2\r\n");
}

void TestTaskBase::leavesTableForTinyColumnCount()
{
    QFETCH(QByteArray, bytes);
    writeFile(path("tiny.log"), bytes);
    TaskTable table;
    fill(table);
    const auto before = rows(table);
    TaskBase::readBase(path("tiny.log"), table);
    QCOMPARE(rows(table), before);
}

void TestTaskBase::refusesWhatItCannotTake_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QString rowsMessage = QStringLiteral(
        "This is no task base: it counts %1 rows where a task base has 1 to 255 (at most 254 "
        "tasks).");
    QTest::newRow("column count not a number")
        << QByteArray("six\r\n2\r\n") << "Invalid numeric input";
    QTest::newRow("row count not a number") << QByteArray("6\r\n2x\r\n") << "Invalid numeric input";
    QTest::newRow("huge number") << QByteArray("6\r\n99999999999\r\n") << "Invalid numeric input";
    QTest::newRow("five columns")
        << QByteArray("5\r\n2\r\n")
        << "This is no task base: it has 5 columns where a task base has 6.";
    QTest::newRow("256 rows") << QByteArray("6\r\n256\r\n") << rowsMessage.arg(256);
    QTest::newRow("no rows") << QByteArray("6\r\n0\r\n") << rowsMessage.arg(0);
    QTest::newRow("row count missing") << QByteArray("6\r\n") << rowsMessage.arg(0);
}

void TestTaskBase::refusesWhatItCannotTake()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    writeFile(path("bad.log"), bytes);
    TaskTable table;
    fill(table);
    const auto before = rows(table);
    try {
        TaskBase::readBase(path("bad.log"), table);
        QFAIL("accepted");
    } catch (const kv::Error &e) {
        QCOMPARE(e.message(), message);
    }
    QCOMPARE(rows(table), before); // nothing of the bad base reaches the table
}

void TestTaskBase::failedWriteKeepsOldBase_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("message");
    QTest::newRow("disk full") << "KV.log"
                               << "I/O error 27";
    QTest::newRow("folder missing") << "missing/KV.log"
                                    << "File not found";
    QTest::newRow("folder is a file") << "file/KV.log"
                                      << "File not found";
}

void TestTaskBase::failedWriteKeepsOldBase()
{
    QFETCH(QString, where);
    writeFile(path("file"), "not a folder");
    TaskTable small;
    small.appendTask(QStringLiteral("07.12.2026 9:05:00"), QStringLiteral("old"),
                     QStringLiteral("/"), QStringLiteral("Simple"));
    TaskBase::writeBase(small, path("KV.log"));
    const QByteArray old = readFile(path("KV.log"));

    TaskTable big;
    for (int i = 0; i < 200; ++i)
        big.appendTask(QStringLiteral("07.12.2026 9:05:00"), QStringLiteral("new%1").arg(i),
                       QStringLiteral("/some/long/folder/name/"), QStringLiteral("Every day"));
    try {
        FileSizeLimit limit(4096);
        TaskBase::writeBase(big, path(where));
        QFAIL("the write went through");
    } catch (const kv::Error &e) {
        QTEST(e.message(), "message");
    }
    QCOMPARE(readFile(path("KV.log")), old);
    // No temporary file is left behind either.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"file", "KV.log"}));
}

void TestTaskBase::writesInPlaceWhereNoFileCanBeMade()
{
    // A shared install: the base may be written, its folder may not.
    const QString shared = path("shared");
    QVERIFY(QDir().mkpath(shared));
    QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ExeOther));
    const QString base = shared + "/KV.log";
    writeFile(base, "6\r\n1\r\n");
    QVERIFY(QFile::setPermissions(base, QFileDevice::Permissions(0x6666)));
    TaskTable table;
    fill(table);
    QVERIFY(inFolderOfAnotherUser(base, [&] {
        TaskBase::writeBase(table, base);
        return true;
    }));
    QCOMPARE(readFile(base), Format::encode(table));
    QCOMPARE(QDir(shared).entryList(QDir::Files), QStringList{"KV.log"});

    // Only when the base itself is read-only too does the save fail, and says why.
    QVERIFY(QFile::setPermissions(base, QFileDevice::Permissions(0x4444)));
    QVERIFY(inFolderOfAnotherUser(base, [&] {
        try {
            TaskBase::writeBase(TaskTable(), base);
        } catch (const kv::Error &error) {
            return error.message() == QStringLiteral("File access denied");
        }
        return false;
    }));
    QCOMPARE(readFile(base), Format::encode(table));
}

void TestTaskBase::neverWritesOverWhatIsNoFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("written");
    QTest::newRow("device") << "/dev/null" << false;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("pipe") << "pipe" << false;
    QTest::newRow("link to a device") << "device link" << false;
    QTest::newRow("link to a file: its file, mode kept") << "file link" << true;
}

void TestTaskBase::neverWritesOverWhatIsNoFile()
{
    QFETCH(QString, target);
    QVERIFY(QDir(m_dir->path()).mkdir("folder"));
    QCOMPARE(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    QVERIFY(QFile::link("/dev/null", path("device link")));
    writeFile(path("file.log"), "old");
    QVERIFY(QFile::setPermissions(path("file.log"), QFileDevice::Permissions(0x6604)));
    QVERIFY(QFile::link(path("file.log"), path("file link")));
    const QString where = target.startsWith('/') ? target : path(target);
    const QFileInfo before(where);
    TaskTable table;
    fill(table);
    kv::RecordingErrorSink errors;
    kv::ScriptedBaseDialogs dialogs;
    dialogs.savePath = where;
    TaskBase base(table, errors, dialogs, m_dir->path());
    base.Savebase1Click();
    QFETCH(bool, written);
    const QFileInfo after(where);
    QCOMPARE(after.isSymLink(), before.isSymLink());
    QCOMPARE(after.isFile(), written);
    QCOMPARE(after.exists(), true);
    if (written) {
        QCOMPARE(errors.shown, QStringList());
        QCOMPARE(readFile(path("file.log")), Format::encode(table));
        QCOMPARE(QFile::permissions(path("file.log")), QFileDevice::Permissions(0x6604));
        return;
    }
    QCOMPARE(errors.shown, QStringList{QStringLiteral("The task base %1 could not be saved: it is "
                                                      "not a regular file.")
                                           .arg(where)});
}

void TestTaskBase::readsOnlyRegularFilesOfSensibleSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    const QString notRegular = "This is no task base: it is not a regular file";
    QTest::newRow("pipe") << "pipe" << notRegular;
    QTest::newRow("link to an endless device") << "zero" << notRegular;
    QTest::newRow("folder") << "folder" << notRegular;
    QTest::newRow("huge file") << "huge"
                               << "This is no task base: it is larger than 16 MB, far more than "
                                  "254 tasks take";
}

void TestTaskBase::readsOnlyRegularFilesOfSensibleSize()
{
    QFETCH(QString, name);
    QCOMPARE(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    QVERIFY(QFile::link("/dev/zero", path("zero")));
    QVERIFY(QDir(m_dir->path()).mkdir("folder"));
    QFile huge(path("huge"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(TaskBase::kMaxBytes + 1));
    huge.close();

    TaskTable table;
    fill(table);
    const auto before = rows(table);
    try {
        TaskBase::readBase(path(name), table);
        QFAIL("accepted");
    } catch (const kv::Error &e) {
        QTEST(e.message(), "message");
    }
    QCOMPARE(rows(table), before);

    // As the default base it is moved aside, and the start goes on.
    QVERIFY(QFile::rename(path(name), path("KV.log")));
    kv::RecordingErrorSink errors;
    kv::ScriptedBaseDialogs dialogs;
    TaskBase base(table, errors, dialogs, m_dir->path());
    base.loadAtStart();
    QCOMPARE(errors.shown.size(), 1);
    QVERIFY2(errors.shown.first().contains("Its contents are kept in " + path("KV.log.bak")),
             qPrintable(errors.shown.first()));
    QVERIFY(QFileInfo(path("KV.log")).isFile());
}

void TestTaskBase::failedSaveAtClose_data()
{
    using Choice = kv::BaseDialogs::CloseChoice;
    QTest::addColumn<QList<Choice>>("answers");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<bool>("savedElsewhere");
    QTest::newRow("stay") << QList<Choice>{Choice::KeepRunning} << false << false;
    QTest::newRow("quit anyway") << QList<Choice>{Choice::QuitAnyway} << true << false;
    QTest::newRow("elsewhere") << QList<Choice>{Choice::SaveElsewhere} << true << true;
}

void TestTaskBase::failedSaveAtClose()
{
    using Choice = kv::BaseDialogs::CloseChoice;
    QFETCH(QList<Choice>, answers);
    QVERIFY(QDir(m_dir->path()).mkdir("KV.log")); // replaced by a folder while running
    TaskTable table;
    fill(table);
    kv::RecordingErrorSink errors;
    kv::ScriptedBaseDialogs dialogs;
    dialogs.closeAnswers = answers;
    dialogs.savePath = path("elsewhere.log");
    TaskBase base(table, errors, dialogs, m_dir->path());
    QTEST(base.saveAtClose(), "ends");
    // The user is asked even when that error is already on screen: never a filter.
    QCOMPARE(dialogs.closeQuestions, QStringList{"The task base " + path("KV.log") +
                                                 " could not be saved: it is not a regular file."});
    QFETCH(bool, savedElsewhere);
    QCOMPARE(readFile(path("elsewhere.log")),
             savedElsewhere ? Format::encode(table) : QByteArray("<missing>"));
}

void TestTaskBase::stopWithoutSaveKeepsRescueCopies()
{
    QVERIFY(QDir(m_dir->path()).mkdir("KV.log"));
    const QString rescue = path("data");
    TaskTable table;
    fill(table);
    kv::RecordingErrorSink errors;
    kv::ScriptedBaseDialogs dialogs;
    TaskBase base(table, errors, dialogs, m_dir->path(), rescue);
    base.saveAtStop();
    base.saveAtStop(); // in the same second: a second copy, not over the first
    const QStringList copies = QDir(rescue)
                                   .entryList({"KV.log.unsaved-*"}, QDir::Files, QDir::Name)
                                   .filter(QRegularExpression("-[0-9]+$"));
    QCOMPARE(copies.size(), 2);
    for (const QString &copy : copies)
        QCOMPARE(readFile(rescue + '/' + copy), Format::encode(table));
    QCOMPARE(dialogs.closeQuestions, QStringList()); // nobody is asked

    // A copy of the program on another folder shares the data folder: the
    // copies are none of its business.
    QTemporaryDir otherFolder;
    TaskTable other;
    TaskBase elsewhere(other, errors, dialogs, otherFolder.path(), rescue);
    elsewhere.loadAtStart();
    QCOMPARE(errors.shown, QStringList());

    // The next start on this folder tells of them, once.
    QVERIFY(QDir(m_dir->path()).rmdir("KV.log"));
    TaskTable next;
    TaskBase later(next, errors, dialogs, m_dir->path() + "/.", rescue);
    later.loadAtStart();
    QCOMPARE(errors.shown.size(), 1);
    for (const QString &copy : copies)
        QVERIFY(errors.shown.first().contains(rescue + '/' + copy));
    later.loadAtStart();
    QCOMPARE(errors.shown.size(), 1);

    // A copy the user opens before being told is not told of.
    QVERIFY(QDir(m_dir->path()).mkdir("KV_new.log"));
    later.Newbase1Click();
    later.saveAtStop();
    const QStringList newer =
        QDir(rescue).entryList({"KV_new.log.unsaved-*"}, QDir::Files, QDir::Name);
    QCOMPARE(newer.size(), 2); // the copy and its record
    dialogs.openPath = rescue + '/' + newer.first();
    later.Openbase1Click();
    later.loadAtStart();
    QCOMPARE(errors.shown.size(), 1);
}

void TestTaskBase::startCreatesMissingDefaultBase()
{
    TaskTable table;
    kv::RecordingErrorSink errors;
    kv::ScriptedBaseDialogs dialogs;
    TaskBase base(table, errors, dialogs, m_dir->path());
    base.loadAtStart();
    QCOMPARE(readFile(path("KV.log")), QByteArray());
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(errors.shown, QStringList());
    QCOMPARE(base.currentPath(), path("KV.log"));
}

void TestTaskBase::startLoadsDefaultBase()
{
    TaskTable saved;
    fill(saved);
    TaskBase::writeBase(saved, path("KV.log"));
    TaskTable table;
    kv::RecordingErrorSink errors;
    kv::ScriptedBaseDialogs dialogs;
    TaskBase base(table, errors, dialogs, m_dir->path());
    base.loadAtStart();
    QCOMPARE(rows(table), rows(saved));
    QCOMPARE(table.fixedRows(), 1);
    QCOMPARE(errors.shown, QStringList());
}

void TestTaskBase::startKeepsUnreadableBaseAside()
{
    const QByteArray unreadable("6\r\n999\r\nprecious\r\n");
    writeFile(path("KV.log"), unreadable);
    writeFile(path("KV.log.bak"), "an older copy");
    TaskTable table;
    kv::RecordingErrorSink errors;
    kv::ScriptedBaseDialogs dialogs;
    TaskBase base(table, errors, dialogs, m_dir->path());
    base.loadAtStart();
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(readFile(path("KV.log.1.bak")), unreadable);
    QCOMPARE(readFile(path("KV.log.bak")), QByteArray("an older copy"));
    QCOMPARE(errors.shown,
             QStringList{"The task base " + path("KV.log") +
                         " could not be read: This is no task base: it counts 999 rows where a "
                         "task base has 1 to 255 (at most 254 tasks). Its contents are kept in " +
                         path("KV.log.1.bak") + "."});

    base.saveAtClose(); // the close may now write over it
    QCOMPARE(readFile(path("KV.log")), QByteArray("6\r\n1\r\n"));
    QCOMPARE(readFile(path("KV.log.1.bak")), unreadable);
}

void TestTaskBase::saveBaseRenamesCurrentBase()
{
    QVERIFY(QDir(m_dir->path()).mkdir("elsewhere"));
    TaskTable table;
    fill(table);
    kv::RecordingErrorSink errors;
    kv::ScriptedBaseDialogs dialogs;
    TaskBase base(table, errors, dialogs, m_dir->path());

    base.Savebase1Click(); // cancelled
    QCOMPARE(base.BaseFileName(), QStringLiteral("KV.log"));
    QCOMPARE(dialogs.shownIn, QStringList{m_dir->path()});

    dialogs.savePath = path("elsewhere/mine.log");
    base.Savebase1Click();
    QCOMPARE(base.BaseFileName(), QStringLiteral("mine.log"));
    base.saveAtClose(); // written twice: where chosen, and at close in the base folder
    QCOMPARE(readFile(path("elsewhere/mine.log")), Format::encode(table));
    QCOMPARE(readFile(path("mine.log")), Format::encode(table));
    QCOMPARE(errors.shown, QStringList());
}

void TestTaskBase::openBaseKeepsName()
{
    TaskTable other;
    fill(other);
    TaskBase::writeBase(other, path("other.log"));
    writeFile(path("broken.log"), "6\r\nx\r\n");

    TaskTable table; // empty: the title row stays an ordinary row after opening
    kv::RecordingErrorSink errors;
    kv::ScriptedBaseDialogs dialogs;
    TaskBase base(table, errors, dialogs, m_dir->path());
    dialogs.openPath = path("other.log");
    base.Openbase1Click();
    QCOMPARE(rows(table), rows(other));
    QCOMPARE(table.fixedRows(), 0);
    QCOMPARE(base.BaseFileName(), QStringLiteral("KV.log"));

    dialogs.openPath = path("broken.log");
    base.Openbase1Click();
    QCOMPARE(errors.shown, QStringList{"Invalid numeric input."});
    QCOMPARE(rows(table), rows(other));
}

void TestTaskBase::newBase_data()
{
    QTest::addColumn<QString>("fired");
    QTest::addColumn<int>("rowsAfter");
    QTest::addColumn<int>("warnings");
    QTest::newRow("nothing fired") << "0" << 1 << 0;
    QTest::newRow("a task fired") << "1" << 3 << 1;
    QTest::newRow("fired mark not exactly 1") << "01" << 1 << 0;
}

void TestTaskBase::newBase()
{
    QFETCH(QString, fired);
    TaskTable table;
    fill(table);
    table.setCell(TaskTable::FiredColumn, 2, fired);
    kv::RecordingErrorSink errors;
    kv::ScriptedBaseDialogs dialogs;
    TaskBase base(table, errors, dialogs, m_dir->path());
    base.Newbase1Click();
    QTEST(table.rowCount(), "rowsAfter");
    QTEST(dialogs.warnings, "warnings");
    QCOMPARE(base.BaseFileName(), QStringLiteral("KV_new.log"));
    QCOMPARE(base.currentPath(), path("KV_new.log"));
}

void TestTaskBase::chooseFolder()
{
    const QString data = path("data/kronvale");
    QCOMPARE(TaskBase::chooseFolder(m_dir->path(), data), m_dir->path());
    QVERIFY(!QFileInfo::exists(data));
    // A program folder that cannot hold the bases: the user's data folder, made.
    QCOMPARE(TaskBase::chooseFolder(path("no/such/folder"), data), data);
    QVERIFY(QFileInfo(data).isDir());
}

void TestTaskBase::firedTaskIsOnDiskBeforeItsAction()
{
    // The machine goes down in the action: the base must already say "fired".
    struct PowerOffReadsBase : kv::RecordingSystemActions
    {
        QString base;
        QByteArray seen;
        void powerOff(const Done &, const Pending &) override { seen = readFile(base); }
    };
    TaskTable table;
    kv::FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 59, 58)));
    PowerOffReadsBase system;
    system.base = path("KV.log");
    kv::RecordingErrorSink errors;
    kv::ScriptedBaseDialogs dialogs;
    kv::TaskActions actions(table, system);
    TaskBase base(table, errors, dialogs, m_dir->path());
    kv::Scheduler scheduler(table, actions, clock, errors,
                            kv::DateTimeText(QLocale(QStringLiteral("de_DE"))));
    scheduler.setBeforeActions([&] { base.SaveCurrentBase(); });
    table.appendTask(QStringLiteral("07.12.2026 10:00:00"), QStringLiteral("Shut Down"), QString(),
                     QStringLiteral("Shut Down(Simple)"));
    scheduler.Timer1Timer();
    clock.advance(5000);
    scheduler.Timer1Timer();
    QCOMPARE(system.seen, Format::encode(table));
    QCOMPARE(table.cell(TaskTable::FiredColumn, 1), QStringLiteral("1"));

    // A save that fails does not hold the actions back; one burst shows its error
    // once, after the tick, and names the base.
    for (int i = 0; i < 20; ++i)
        table.appendTask(QStringLiteral("07.12.2026 10:00:10"), QStringLiteral("Shut Down"),
                         QString(), QStringLiteral("Shut Down(Simple)"));
    base.Newbase1Click(); // refused, as a task has fired, but the name changes
    QVERIFY(QDir(m_dir->path()).mkdir("KV_new.log")); // a folder: no file can go there
    system.seen.clear();
    clock.advance(10000);
    scheduler.Timer1Timer();
    QCOMPARE(system.seen, readFile(path("KV.log")));
    QCOMPARE(table.cell(TaskTable::FiredColumn, 21), QStringLiteral("1"));
    QCOMPARE(errors.shown, QStringList{"The task base " + path("KV_new.log") +
                                       " could not be saved: it is not a regular file."});
}

QTEST_GUILESS_MAIN(TestTaskBase)
#include "tst_taskbase.moc"
