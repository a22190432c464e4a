// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileBaseDialogs.h"
#include "ModalityProbe.h"

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
    void blockOnlyTheMainWindow_data();
    void blockOnlyTheMainWindow();
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
    int captionWidth = 0;
    int width = 0;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = true;
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->windowTitle(), QStringLiteral("Tasks are not stopped"));
        QCOMPARE(box->text(), QStringLiteral("Tasks should be stopped!"));
        QCOMPARE(box->standardButtons(), QMessageBox::Ok);
        QFont bold = box->font();
        bold.setBold(true);
        captionWidth = QFontMetrics(bold).horizontalAdvance(box->windowTitle());
        width = box->width();
        box->button(QMessageBox::Ok)->click();
    });
    dialogs.warnTasksNotStopped();
    QVERIFY(seen);
    // Wide enough for the caption in a bold title font, and the title bar's icon
    // and buttons beside it: a cut caption would read "Tasks are... stopped".
    QVERIFY(width >= captionWidth + 100);
}

void TestBaseDialogs::blockOnlyTheMainWindow_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("ofTheOwner");
    QTest::addColumn<int>("presses");
    for (const char *dialog : {"save", "open", "warning"}) {
        QTest::addRow("%s, the main window", dialog) << dialog << true << 0;
        QTest::addRow("%s, a window of its own", dialog) << dialog << false << 1;
    }
}

// The tray icon answers while a base dialog is open.
void TestBaseDialogs::blockOnlyTheMainWindow()
{
    QFETCH(QString, dialog);
    QFETCH(bool, ofTheOwner);
    QFETCH(int, presses);
    kv::test::ModalityProbe probe;
    QVERIFY(probe.shown());
    kv::FileBaseDialogs dialogs(&probe.owner);
    QTimer::singleShot(0, [&] {
        probe.click(ofTheOwner);
        if (QWidget *open = QApplication::activeModalWidget())
            open->close();
    });
    if (dialog == "save")
        dialogs.chooseSavePath(QDir::tempPath());
    else if (dialog == "open")
        dialogs.chooseOpenPath(QDir::tempPath());
    else
        dialogs.warnTasksNotStopped();
    QCOMPARE(probe.window(ofTheOwner).presses, presses);
}

QTEST_MAIN(TestBaseDialogs)
#include "tst_basedialogs.moc"
