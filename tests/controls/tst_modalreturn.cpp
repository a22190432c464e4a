// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModalReturn.h"

#include <QDialog>
#include <QSignalSpy>
#include <QWindow>
#include <QtTest>

using namespace kv;

class TestModalReturn : public QObject
{
    Q_OBJECT

private slots:
    void minimisedWindow_data();
    void minimisedWindow();
};

void TestModalReturn::minimisedWindow_data()
{
    QTest::addColumn<Qt::WindowModality>("modality");
    QTest::addColumn<bool>("back");
    QTest::newRow("window-modal dialog") << Qt::WindowModal << true;
    QTest::newRow("application-modal dialog") << Qt::ApplicationModal << true;
    QTest::newRow("modeless dialog") << Qt::NonModal << false;
}

void TestModalReturn::minimisedWindow()
{
    QFETCH(Qt::WindowModality, modality);
    QFETCH(bool, back);
    ModalReturn watch;
    QWidget owner;
    owner.show();
    QDialog dialog(&owner);
    dialog.setWindowModality(modality);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // As the window system tells it: the dialog's window, not the widget, minimised.
    QSignalSpy states(dialog.windowHandle(), &QWindow::windowStateChanged);
    dialog.windowHandle()->setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!states.isEmpty());
    QTest::qWait(50);
    QCOMPARE(dialog.isMinimized(), !back);
    QVERIFY(dialog.isVisible());
}

QTEST_MAIN(TestModalReturn)
#include "tst_modalreturn.moc"
