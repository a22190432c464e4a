// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the program's files from its own place: beside it, or in the tree it
// is installed in, wherever that tree lies.

#include "InstallLayout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;

class TestInstallLayout : public QObject
{
    Q_OBJECT

private slots:
    void filesFoundFromTheProgram_data();
    void filesFoundFromTheProgram();
};

void TestInstallLayout::filesFoundFromTheProgram_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("helpPage");
    QTest::addColumn<bool>("baseInDataFolder");
    QTest::addColumn<QString>("language"); // of the program's texts; empty: English

    QTest::newRow("portable copy") << QStringList{"kv/kronvale", "kv/help.html"} << "kv"
                                   << "kv/help.html" << false << "";
    QTest::newRow("installed tree")
        << QStringList{"tree/bin/kronvale", "tree/share/kronvale/help.html"} << "tree/bin"
        << "tree/share/kronvale/help.html" << true << "";
    // A base left beside an installed program is not used: the folder is shared.
    QTest::newRow("installed tree, a base in bin")
        << QStringList{"tree/bin/kronvale", "tree/bin/KV.log", "tree/share/kronvale/help.html"}
        << "tree/bin"
        << "tree/share/kronvale/help.html" << true << "";
    QTest::newRow("installed tree, a copy of the page beside")
        << QStringList{"tree/bin/kronvale", "tree/bin/help.html", "tree/share/kronvale/help.html"}
        << "tree/bin"
        << "tree/bin/help.html" << true << "";
    QTest::newRow("installed tree without its page")
        << QStringList{"tree/bin/kronvale", "tree/share/kronvale/"} << "tree/bin"
        << "" << true << "";
    QTest::newRow("a bin folder that is no tree")
        << QStringList{"tree/bin/kronvale", "tree/share/kronvale.html"} << "tree/bin"
        << "" << false << "";
    const QStringList both{"kv/kronvale", "kv/help.html", "kv/help_ru.html"};
    QTest::newRow("Russian") << both << "kv"
                             << "kv/help_ru.html" << false << "ru";
    QTest::newRow("English beside Russian") << both << "kv"
                                            << "kv/help.html" << false << "";
    QTest::newRow("a language without its page") << both << "kv"
                                                 << "kv/help.html" << false << "de";
    QTest::newRow("installed in Russian, a copy of the English page beside")
        << QStringList{"tree/bin/kronvale", "tree/bin/help.html",
                       "tree/share/kronvale/help_ru.html"}
        << "tree/bin"
        << "tree/share/kronvale/help_ru.html" << true << "ru";
}

void TestInstallLayout::filesFoundFromTheProgram()
{
    QFETCH(QStringList, files);
    QFETCH(QString, programFolder);
    QFETCH(QString, helpPage);
    QFETCH(bool, baseInDataFolder);
    QFETCH(QString, language);
    QTemporaryDir root;
    const QDir dir(root.path());
    for (const QString &file : files) {
        QVERIFY(dir.mkpath(QFileInfo(dir.filePath(file)).path()));
        if (!file.endsWith('/')) {
            QFile f(dir.filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    }
    const InstallLayout layout(dir.filePath(programFolder));
    QCOMPARE(layout.helpPage(language), helpPage.isEmpty() ? QString() : dir.filePath(helpPage));
    const QString data = dir.filePath("home/.local/share/kronvale");
    QCOMPARE(layout.baseFolder(data), baseInDataFolder ? data : dir.filePath(programFolder));
    QVERIFY(QFileInfo(layout.baseFolder(data)).isDir());
}

QTEST_GUILESS_MAIN(TestInstallLayout)
#include "tst_installlayout.moc"
