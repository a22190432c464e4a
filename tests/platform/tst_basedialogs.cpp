// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileBaseDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestBaseDialogs : public QObject
{
    Q_OBJECT

private slots:
    void fileDialogs_data();
    void fileDialogs();
    void tasksNotStoppedWarning();
};

void TestBaseDialogs::fileDialogs_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("save, suffix added") << true << "mine"
                                        << "mine.log";
    QTest::newRow("save, suffix kept") << true << "mine.log"
                                       << "mine.log";
    QTest::newRow("save, cancelled") << true << QString() << QString();
    QTest::newRow("open") << false << "KV.log"
                          << "KV.log";
    QTest::newRow("open, cancelled") << false << QString() << QString();
}

void TestBaseDialogs::fileDialogs()
{
    QFETCH(bool, save);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    QTemporaryDir dir;
    QFile(dir.filePath("KV.log")).open(QIODevice::WriteOnly);
    kv::FileBaseDialogs dialogs;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        seen = true;
        QCOMPARE(dialog->nameFilters(), QStringList{"Text (*.log)"});
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("log"));
        QCOMPARE(dialog->directory().absolutePath(), dir.path());
        QCOMPARE(dialog->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        if (typed.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(typed);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
    });
    const QString path =
        save ? dialogs.chooseSavePath(dir.path()) : dialogs.chooseOpenPath(dir.path());
    QVERIFY(seen);
    QCOMPARE(path, chosen.isEmpty() ? QString() : dir.filePath(chosen));
}

void TestBaseDialogs::tasksNotStoppedWarning()
{
    kv::FileBaseDialogs dialogs;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = true;
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->windowTitle(), QStringLiteral("Tasks are not stopped"));
        QCOMPARE(box->text(), QStringLiteral("Tasks should be stopped!"));
        QCOMPARE(box->standardButtons(), QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    dialogs.warnTasksNotStopped();
    QVERIFY(seen);
}

QTEST_MAIN(TestBaseDialogs)
#include "tst_basedialogs.moc"
