// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the program's files from its own place: beside it, or in the tree it
// is installed in, wherever that tree lies.

#include "InstallLayout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;

namespace {

bool makeFiles(const QDir &dir, const QStringList &files)
{
    for (const QString &file : files) {
        if (!dir.mkpath(QFileInfo(dir.filePath(file)).path()))
            return false;
        QFile f(dir.filePath(file));
        if (!file.endsWith('/') && !f.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

} // namespace

class TestInstallLayout : public QObject
{
    Q_OBJECT

private slots:
    void filesFoundFromTheProgram_data();
    void filesFoundFromTheProgram();
    void helpPageInTheLanguage_data();
    void helpPageInTheLanguage();
};

void TestInstallLayout::filesFoundFromTheProgram_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("helpPage");
    QTest::addColumn<bool>("baseInDataFolder");

    QTest::newRow("portable copy") << QStringList{"kv/kronvale", "kv/help.html"} << "kv"
                                   << "kv/help.html" << false;
    QTest::newRow("installed tree")
        << QStringList{"tree/bin/kronvale", "tree/share/kronvale/help.html"} << "tree/bin"
        << "tree/share/kronvale/help.html" << true;
    // A base left beside an installed program is not used: the folder is shared.
    QTest::newRow("installed tree, a base in bin")
        << QStringList{"tree/bin/kronvale", "tree/bin/KV.log", "tree/share/kronvale/help.html"}
        << "tree/bin"
        << "tree/share/kronvale/help.html" << true;
    QTest::newRow("installed tree, a copy of the page beside")
        << QStringList{"tree/bin/kronvale", "tree/bin/help.html", "tree/share/kronvale/help.html"}
        << "tree/bin"
        << "tree/bin/help.html" << true;
    QTest::newRow("installed tree without its page")
        << QStringList{"tree/bin/kronvale", "tree/share/kronvale/"} << "tree/bin"
        << "" << true;
    QTest::newRow("a bin folder that is no tree")
        << QStringList{"tree/bin/kronvale", "tree/share/kronvale.html"} << "tree/bin"
        << "" << false;
}

void TestInstallLayout::filesFoundFromTheProgram()
{
    QFETCH(QStringList, files);
    QFETCH(QString, programFolder);
    QFETCH(QString, helpPage);
    QFETCH(bool, baseInDataFolder);
    QTemporaryDir root;
    const QDir dir(root.path());
    QVERIFY(makeFiles(dir, files));
    const InstallLayout layout(dir.filePath(programFolder));
    QCOMPARE(layout.helpPage(), helpPage.isEmpty() ? QString() : dir.filePath(helpPage));
    const QString data = dir.filePath("home/.local/share/kronvale");
    QCOMPARE(layout.baseFolder(data), baseInDataFolder ? data : dir.filePath(programFolder));
    QVERIFY(QFileInfo(layout.baseFolder(data)).isDir());
}

void TestInstallLayout::helpPageInTheLanguage_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("helpPage");
    const QStringList both{"kv/help.html", "kv/help_ru.html"};
    QTest::newRow("Russian") << both << "kv"
                             << "ru"
                             << "kv/help_ru.html";
    QTest::newRow("English") << both << "kv"
                             << ""
                             << "kv/help.html";
    QTest::newRow("a language without its page") << both << "kv"
                                                 << "de"
                                                 << "kv/help.html";
    QTest::newRow("installed, the English page beside")
        << QStringList{"bin/help.html", "share/kronvale/help_ru.html"} << "bin"
        << "ru"
        << "share/kronvale/help_ru.html";
}

void TestInstallLayout::helpPageInTheLanguage()
{
    QFETCH(QStringList, files);
    QFETCH(QString, programFolder);
    QFETCH(QString, language);
    QFETCH(QString, helpPage);
    QTemporaryDir root;
    const QDir dir(root.path());
    QVERIFY(makeFiles(dir, files));
    const InstallLayout layout(dir.filePath(programFolder));
    QCOMPARE(layout.helpPage(language), dir.filePath(helpPage));
}

QTEST_GUILESS_MAIN(TestInstallLayout)
#include "tst_installlayout.moc"
