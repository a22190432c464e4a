// SPDX-License-Identifier: GPL-3.0-or-later
// The about box: its links and where it opens.

#include "AboutForm.h"
#include "AppFakes.h"
#include "CalendarForm.h"
#include "ModalityProbe.h"
#include "ZephButton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

using namespace kv;

class TestAboutForm : public QObject
{
    Q_OBJECT

private slots:
    void followedLinkKeepsItsColour_data();
    void followedLinkKeepsItsColour();
    void linksAreReachedByKeyboard();
    void opensCentredThenWhereLeft();
    void okCloses();
    void blocksOnlyTheMainWindow_data();
    void blocksOnlyTheMainWindow();
    void minimisedBoxComesBack();

private:
    // Shows the box modally and runs check while it is open.
    template <typename Check> void whileOpen(TAboutForm &about, Check check)
    {
        QTimer::singleShot(0, &about, [&] {
            check();
            about.BitBtn1->click();
        });
        about.showModal();
    }
};

static QColor textColor(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

void TestAboutForm::followedLinkKeepsItsColour_data()
{
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QString>("target");
    QTest::newRow("Label1") << 1 << links::homePage();
    QTest::newRow("Label2") << 2 << "mailto:" + links::supportMail();
}

void TestAboutForm::followedLinkKeepsItsColour()
{
    QFETCH(int, clicked);
    QFETCH(QString, target);
    QWidget owner;
    test::RecordingLinkOpener opener;
    TAboutForm about(opener, &owner);
    QCOMPARE(textColor(about.Label1), TAboutForm::linkColor());
    QCOMPARE(textColor(about.Label2), TAboutForm::linkColor());
    QVERIFY(about.Label2->text().startsWith("E-mail: "));
    // The links fit inside the box.
    QVERIFY(about.Label1->geometry().right() < about.width());
    QVERIFY(about.Label2->geometry().right() < about.width());

    TLinkLabel *label = clicked == 1 ? about.Label1 : about.Label2;
    TLinkLabel *other = clicked == 1 ? about.Label2 : about.Label1;
    whileOpen(about, [&] { QTest::mouseClick(label, Qt::LeftButton); });
    QCOMPARE(opener.opened, QStringList{target});
    whileOpen(about, [&] {
        QCOMPARE(textColor(label), TAboutForm::visitedColor());
        QCOMPARE(textColor(other), TAboutForm::linkColor());
    });
    // A right click is no click on the link.
    opener.opened.clear();
    QTest::mouseClick(other, Qt::RightButton);
    QVERIFY(opener.opened.isEmpty());
}

void TestAboutForm::linksAreReachedByKeyboard()
{
    QWidget owner;
    test::RecordingLinkOpener opener;
    TAboutForm about(opener, &owner);
    whileOpen(about, [&] {
        QTRY_VERIFY(about.BitBtn1->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(about.Label1->hasFocus());
        QTest::keyClick(about.Label1, Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(about.Label2->hasFocus());
        QTest::keyClick(about.Label2, Qt::Key_Space);
        // Enter went to the link, not to OK.
        QVERIFY(about.isVisible());
    });
    QCOMPARE(opener.opened, QStringList({links::homePage(), "mailto:" + links::supportMail()}));
}

void TestAboutForm::opensCentredThenWhereLeft()
{
    QWidget owner;
    owner.setGeometry(200, 150, 808, 400);
    owner.show();
    test::RecordingLinkOpener opener;
    TAboutForm about(opener, &owner);
    QCOMPARE(about.size(), QSize(208, 196));
    QPoint first;
    whileOpen(about, [&] { first = about.geometry().center(); });
    QVERIFY((first - owner.frameGeometry().center()).manhattanLength() <= 4);

    QPoint second;
    whileOpen(about, [&] { about.move(20, 30); });
    whileOpen(about, [&] { second = about.pos(); });
    QCOMPARE(second, QPoint(20, 30));
}

void TestAboutForm::okCloses()
{
    QWidget owner;
    test::RecordingLinkOpener opener;
    TAboutForm about(opener, &owner);
    // The check mark of the calendar's OK.
    const QImage tick = TCalendarForm().BitBtn1->glyph().toImage();
    QVERIFY(!tick.isNull());
    QCOMPARE(about.BitBtn1->glyph().toImage(), tick);
    QTimer::singleShot(0, &about, [&] {
        // Enter reaches the OK of an active box; an inactive one fails the test.
        if (QTest::qWaitForWindowActive(&about))
            QTest::keyClick(&about, Qt::Key_Return);
        else
            about.reject();
    });
    about.showModal();
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

void TestAboutForm::blocksOnlyTheMainWindow_data()
{
    test::ModalityProbe::addRows();
}

void TestAboutForm::blocksOnlyTheMainWindow()
{
    QFETCH(bool, ofTheOwner);
    QFETCH(int, presses);
    test::ModalityProbe probe;
    QVERIFY(probe.shown());
    test::RecordingLinkOpener opener;
    TAboutForm about(opener, &probe.owner);
    whileOpen(about, [&] { probe.click(ofTheOwner); });
    QCOMPARE(probe.window(ofTheOwner).presses, presses);
}

void TestAboutForm::minimisedBoxComesBack()
{
    QWidget owner;
    test::RecordingLinkOpener opener;
    TAboutForm about(opener, &owner);
    bool restored = false;
    whileOpen(about, [&] {
        about.setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(!(about.windowState() & Qt::WindowMinimized));
        restored = about.isVisible();
    });
    QVERIFY(restored);
}

QTEST_MAIN(TestAboutForm)
#include "tst_aboutform.moc"
