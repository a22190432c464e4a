// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModalityProbe.h"
#include "StandardErrorBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestErrorBox : public QObject
{
    Q_OBJECT

private slots:
    void showsRuntimeMessage();
    void doesNotStackTheSameMessage();
    void blocksOnlyItsOwner_data();
    void blocksOnlyItsOwner();
};

namespace {

QList<QMessageBox *> openBoxes()
{
    QList<QMessageBox *> boxes;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
            boxes << box;
    return boxes;
}

} // namespace

void TestErrorBox::showsRuntimeMessage()
{
    kv::StandardErrorBox errors;
    bool checked = false;
    QTimer::singleShot(0, [&] {
        const QList<QMessageBox *> boxes = openBoxes();
        QCOMPARE(boxes.size(), 1);
        QMessageBox *box = boxes.first();
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QCOMPARE(box->windowTitle(), QStringLiteral("Kronvale v1.1"));
        QCOMPARE(box->text(), QStringLiteral("'x' is not a valid date."));
        QCOMPARE(box->standardButtons(), QMessageBox::Ok);
        checked = true;
        box->button(QMessageBox::Ok)->click();
    });
    errors.showError(QStringLiteral("'x' is not a valid date"));
    QVERIFY(checked);
    QVERIFY(openBoxes().isEmpty());
}

void TestErrorBox::doesNotStackTheSameMessage()
{
    // An error that recurs at every tick while its box is open shows one box.
    kv::StandardErrorBox errors;
    const QString recurring = QStringLiteral("'' is not a valid integer value");
    QStringList textsWhileOpen;
    QTimer closer; // closes whatever box is open, so a failure cannot hang the test
    closer.setInterval(50);
    connect(&closer, &QTimer::timeout, [] {
        for (QMessageBox *box : openBoxes())
            box->button(QMessageBox::Ok)->click();
    });
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            for (QMessageBox *box : openBoxes())
                textsWhileOpen << box->text();
            closer.start();
        });
        errors.showError(recurring);                     // already on screen: returns at once
        errors.showError(QStringLiteral("I/O error 5")); // another message does show
    });
    errors.showError(recurring);
    textsWhileOpen.sort();
    QCOMPARE(textsWhileOpen, QStringList({"'' is not a valid integer value.", "I/O error 5."}));
    QTRY_VERIFY(openBoxes().isEmpty());
}

void TestErrorBox::blocksOnlyItsOwner_data()
{
    kv::test::ModalityProbe::addRows();
}

void TestErrorBox::blocksOnlyItsOwner()
{
    QFETCH(bool, ofTheOwner);
    QFETCH(int, presses);
    kv::test::ModalityProbe probe;
    QVERIFY(probe.shown());
    kv::StandardErrorBox errors;
    errors.setOwner(&probe.owner);
    QTimer::singleShot(0, [&] {
        probe.click(ofTheOwner);
        for (QMessageBox *box : openBoxes())
            box->button(QMessageBox::Ok)->click();
    });
    errors.showError(QStringLiteral("I/O error 5"));
    QCOMPARE(probe.window(ofTheOwner).presses, presses);
}

QTEST_MAIN(TestErrorBox)
#include "tst_errorbox.moc"
