// SPDX-License-Identifier: GPL-3.0-or-later
// The skinned button's answers to the mouse, the keyboard, focus, its timers,
// its popup menu and its kind.

#include "XvfbServer.h"
#include "ZephButton.h"
#include "ZephSound.h"
#include "zephbutton_support.h"

#include <QDataStream>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <optional>

using kv::TZephButton;
using B = kv::TZephCustomButton;
using namespace zephtest;

namespace {

class RecordingSound : public kv::HoverSound
{
public:
    void play() override { ++plays; }
    int plays = 0;
};

// The mouse as the window system reports it, through the window, which works out
// enter and leave itself: the same on every platform. QTest's widget functions
// move the real pointer for a move without a button, whose crossing events a
// real X server delivers later, but hand presses straight to the widget.
QWindow *windowOf(QWidget *w, QPoint *pos)
{
    *pos = w->mapTo(w->window(), *pos);
    return w->window()->windowHandle();
}

void mouseMove(QWidget *w, QPoint pos)
{
    QTest::mouseMove(windowOf(w, &pos), pos);
}

void mousePress(QWidget *w, Qt::MouseButton button, Qt::KeyboardModifiers keys, QPoint pos)
{
    QTest::mousePress(windowOf(w, &pos), button, keys, pos);
}

void mouseRelease(QWidget *w, Qt::MouseButton button, Qt::KeyboardModifiers keys, QPoint pos)
{
    QTest::mouseRelease(windowOf(w, &pos), button, keys, pos);
}

void mouseClick(QWidget *w, Qt::MouseButton button, Qt::KeyboardModifiers keys, QPoint pos)
{
    QTest::mouseClick(windowOf(w, &pos), button, keys, pos);
}

// A stFlat button on an active form; with no frame at rest and a one-pixel
// frame while hot or pressed, the pixel (0, 12) tells the look apart.
struct Rig
{
    QWidget form;
    TZephButton *button = new TZephButton(&form);
    QSignalSpy clicks{button, &B::OnClick};

    Rig()
    {
        form.setGeometry(100, 100, 400, 200);
        button->move(10, 10);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        // Off the button, wherever an earlier test left the pointer. A move to
        // where the pointer already is counts for nothing, so it comes in two.
        mouseMove(&form, QPoint(389, 189));
        mouseMove(&form, QPoint(390, 190));
    }
    QColor look() { return at(shot(button), 0, 12); }
};

void send(QWidget *w, QEvent::Type type, Qt::MouseButton button, QPoint pos = {37, 12})
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Closes the popup menu that opens next, noting where it stood and how the
// button looked meanwhile.
struct MenuWatch
{
    QRect geometry;
    QColor buttonLook;

    explicit MenuWatch(QWidget *button)
    {
        QTimer::singleShot(0, [this, button] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                geometry = popup->geometry();
                buttonLook = at(shot(button), 0, 12);
                popup->close();
            }
        });
    }
};

} // namespace

class TestZephButtonInteraction : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTestLook();
        // Out of every test window: the real pointer's crossings would come late.
        QCursor::setPos(0, 0);
    }
    void pressAndReleaseInside();
    void leavingWhilePressed_data();
    void leavingWhilePressed();
    void otherButtonsDoNothing_data();
    void otherButtonsDoNothing();
    void disabledButtonIgnoresTheMouse();
    void doubleClickGivesTwoClicks();
    void repeatWhileHeld_data();
    void repeatWhileHeld();
    void repeatStopsWhenItCanGetNoRelease_data();
    void repeatStopsWhenItCanGetNoRelease();
    void noRepeatWhileTheReleaseClickRuns();
    void enterKey_data();
    void enterKey();
    void enterKeyWithNoControlFocused();
    void escapeKey_data();
    void escapeKey();
    void accelerator_data();
    void accelerator();
    void kindEndsTheDialog_data();
    void kindEndsTheDialog();
    void helpAsksForTheNearestContext();
    void popupMenuPlaces_data();
    void popupMenuPlaces();
    void popupMenuOnPress();
    void popupMenuForgottenWhenDestroyed();
    void focusOnRelease_data();
    void focusOnRelease();
    void hoverSoundAndCursor();
    void hoverSoundWithoutDevice();
    void disablingAHotButtonLeavesTheDisabledRestingLook();
    void hidingTheWindowUnderThePointerEndsTheHotLook();
};

void TestZephButtonInteraction::pressAndReleaseInside()
{
    Rig rig;
    QSignalSpy down(rig.button, &B::OnMouseDown);
    QSignalSpy up(rig.button, &B::OnMouseUp);
    QSignalSpy over(rig.button, &B::OnMouseOver);
    QCOMPARE(rig.look(), kBackground);
    mouseMove(rig.button, QPoint(37, 12));
    QTRY_COMPARE(over.count(), 1);
    QCOMPARE(over.at(0).at(0).value<B *>(), rig.button);
    QCOMPARE(rig.look(), kHighlight);
    mousePress(rig.button, Qt::LeftButton, {}, QPoint(37, 12));
    QCOMPARE(rig.look(), kShadow);
    QCOMPARE(down.count(), 0);
    mouseRelease(rig.button, Qt::LeftButton, {}, QPoint(37, 12));
    QCOMPARE(up.count(), 1);
    QCOMPARE(rig.clicks.count(), 1);
    QCOMPARE(rig.look(), kHighlight);
}

void TestZephButtonInteraction::leavingWhilePressed_data()
{
    QTest::addColumn<bool>("backInside");
    QTest::newRow("released outside") << false;
    QTest::newRow("back inside") << true;
}

void TestZephButtonInteraction::leavingWhilePressed()
{
    QFETCH(bool, backInside);
    Rig rig;
    QSignalSpy up(rig.button, &B::OnMouseUp);
    QSignalSpy out(rig.button, &B::OnMouseOut);
    mouseMove(rig.button, QPoint(37, 12));
    mousePress(rig.button, Qt::LeftButton, {}, QPoint(37, 12));
    mouseMove(rig.button, QPoint(200, 12));
    QTRY_COMPARE(out.count(), 1);
    QCOMPARE(rig.look(), kBackground);
    const QPoint releaseAt = backInside ? QPoint(37, 12) : QPoint(200, 12);
    if (backInside) {
        mouseMove(rig.button, releaseAt);
        QTRY_COMPARE(rig.look(), kHighlight); // entering draws the hot look
    }
    mouseRelease(rig.button, Qt::LeftButton, {}, releaseAt);
    QCOMPARE(up.count(), backInside ? 1 : 0);
    QCOMPARE(rig.clicks.count(), backInside ? 1 : 0);
}

void TestZephButtonInteraction::otherButtonsDoNothing_data()
{
    QTest::addColumn<Qt::MouseButton>("mouseButton");
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestZephButtonInteraction::otherButtonsDoNothing()
{
    QFETCH(Qt::MouseButton, mouseButton);
    Rig rig;
    QSignalSpy down(rig.button, &B::OnMouseDown);
    QSignalSpy up(rig.button, &B::OnMouseUp);
    enter(rig.button);
    send(rig.button, QEvent::MouseButtonPress, mouseButton);
    QCOMPARE(rig.look(), kHighlight);
    send(rig.button, QEvent::MouseButtonRelease, mouseButton);
    send(rig.button, QEvent::MouseButtonDblClick, mouseButton);
    QCOMPARE(down.count() + up.count() + rig.clicks.count(), 0);
}

void TestZephButtonInteraction::disabledButtonIgnoresTheMouse()
{
    Rig rig;
    QSignalSpy over(rig.button, &B::OnMouseOver);
    rig.button->setEnabled(false);
    mouseMove(rig.button, QPoint(37, 12));
    mouseClick(rig.button, Qt::LeftButton, {}, QPoint(37, 12));
    QCOMPARE(over.count(), 0);
    QCOMPARE(rig.clicks.count(), 0);
    QCOMPARE(rig.look(), kBackground);
}

void TestZephButtonInteraction::doubleClickGivesTwoClicks()
{
    Rig rig;
    QSignalSpy dbl(rig.button, &B::OnDblClick);
    enter(rig.button);
    send(rig.button, QEvent::MouseButtonPress, Qt::LeftButton);
    send(rig.button, QEvent::MouseButtonRelease, Qt::LeftButton);
    send(rig.button, QEvent::MouseButtonDblClick, Qt::LeftButton);
    QCOMPARE(rig.look(), kShadow); // the double click presses too
    send(rig.button, QEvent::MouseButtonRelease, Qt::LeftButton);
    QCOMPARE(dbl.count(), 1);
    QCOMPARE(rig.clicks.count(), 2);
}

void TestZephButtonInteraction::repeatWhileHeld_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("interval");
    QTest::newRow("500 then 100") << 500 << 100;
    QTest::newRow("creation values") << 0 << 0;
}

// Timers never fire early, so every repeat is checked against its earliest
// time (a late tick may be followed by a short gap, so gaps are not checked);
// the exact count is checked only when the machine kept up.
void TestZephButtonInteraction::repeatWhileHeld()
{
    QFETCH(int, start);
    QFETCH(int, interval);
    Rig rig;
    if (start) {
        rig.button->setRepeatStartInterval(start);
        rig.button->setRepeatInterval(interval);
    } else {
        start = interval = 50;
        QCOMPARE(rig.button->repeatStartInterval(), start);
        QCOMPARE(rig.button->repeatInterval(), interval);
    }
    rig.button->setRepeatAction(true);
    QElapsedTimer clock;
    QList<qint64> times;
    connect(rig.button, &B::OnClick, this, [&] { times << clock.elapsed(); });
    enter(rig.button);
    clock.start();
    send(rig.button, QEvent::MouseButtonPress, Qt::LeftButton);
    const qint64 hold = start + 5 * interval + interval / 2;
    QTRY_VERIFY_WITH_TIMEOUT(times.size() >= 5, 10 * hold);
    if (clock.elapsed() < hold)
        QTest::qWait(int(hold - clock.elapsed()));
    const qint64 releasedAt = clock.elapsed();
    const qsizetype repeats = times.size();
    send(rig.button, QEvent::MouseButtonRelease, Qt::LeftButton);
    QCOMPARE(times.size(), repeats + 1); // the release click
    for (qsizetype k = 0; k < repeats; ++k)
        QVERIFY2(times[k] >= start + (k + 1) * interval - 1, qPrintable(QString::number(times[k])));
    if (releasedAt < hold + interval / 2)
        QCOMPARE(repeats, 5);
    QTest::qWait(3 * interval);
    QCOMPARE(times.size(), repeats + 1);
}

void TestZephButtonInteraction::repeatStopsWhenItCanGetNoRelease_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("disabled") << "disabled";
    QTest::newRow("hidden") << "hidden";
    QTest::newRow("setting cleared while held") << "cleared";
    QTest::newRow("modal window opened") << "modal";
}

// Mended: a repeat could outlive the hold when no release could reach the
// button, or when RepeatAction was cleared while held and set again later.
void TestZephButtonInteraction::repeatStopsWhenItCanGetNoRelease()
{
    QFETCH(QString, how);
    Rig rig;
    rig.button->setRepeatAction(true);
    enter(rig.button);
    send(rig.button, QEvent::MouseButtonPress, Qt::LeftButton);
    QTRY_VERIFY(rig.clicks.count() >= 2);
    if (how == QLatin1String("disabled")) {
        rig.button->setEnabled(false);
    } else if (how == QLatin1String("hidden")) {
        rig.button->hide();
    } else if (how == QLatin1String("modal")) {
        // The release goes to the modal window.
        auto *box = new QDialog(&rig.form);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::ApplicationModal);
        box->show();
    } else {
        rig.button->setRepeatAction(false);
        send(rig.button, QEvent::MouseButtonRelease, Qt::LeftButton);
        rig.button->setRepeatAction(true);
    }
    const qsizetype after = rig.clicks.count();
    QTest::qWait(300);
    QCOMPARE(rig.clicks.count(), after);
}

// The release click's handler may run a nested event loop (a message box, say);
// the repeats end with the hold, not after the handler.
void TestZephButtonInteraction::noRepeatWhileTheReleaseClickRuns()
{
    Rig rig;
    rig.button->setRepeatAction(true);
    bool released = false;
    qsizetype duringClick = -1;
    connect(rig.button, &B::OnClick, this, [&] {
        if (!released || duringClick >= 0)
            return;
        duringClick = rig.clicks.count();
        QTest::qWait(300);
        duringClick = rig.clicks.count() - duringClick;
    });
    enter(rig.button);
    send(rig.button, QEvent::MouseButtonPress, Qt::LeftButton);
    QTRY_VERIFY(rig.clicks.count() >= 2);
    released = true;
    send(rig.button, QEvent::MouseButtonRelease, Qt::LeftButton);
    QCOMPARE(duringClick, 0);
}

void TestZephButtonInteraction::enterKey_data()
{
    QTest::addColumn<bool>("focusOnOther");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("defaultLate");
    QTest::addColumn<int>("defaultClicks");
    QTest::addColumn<int>("otherClicks");
    QTest::newRow("edit focused") << false << Qt::KeyboardModifiers() << false << 1 << 0;
    QTest::newRow("keypad enter") << false << Qt::KeyboardModifiers(Qt::KeypadModifier) << false
                                  << 1 << 0;
    QTest::newRow("other button focused") << true << Qt::KeyboardModifiers() << false << 0 << 1;
    QTest::newRow("with Shift") << false << Qt::KeyboardModifiers(Qt::ShiftModifier) << false << 0
                                << 0;
    QTest::newRow("Default set after the focus moved")
        << false << Qt::KeyboardModifiers() << true << 0 << 0;
}

void TestZephButtonInteraction::enterKey()
{
    QFETCH(bool, focusOnOther);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, defaultLate);
    QFETCH(int, defaultClicks);
    QFETCH(int, otherClicks);
    Rig rig;
    auto *edit = new QLineEdit(&rig.form);
    edit->move(10, 100);
    edit->show();
    auto *other = new TZephButton(&rig.form);
    other->move(100, 10);
    other->show();
    QSignalSpy otherSpy(other, &B::OnClick);
    if (!defaultLate)
        rig.button->setDefault(true);
    QWidget *focus = focusOnOther ? static_cast<QWidget *>(other) : edit;
    focus->setFocus();
    QTRY_VERIFY(focus->hasFocus());
    rig.button->setDefault(true);
    const Qt::Key key = modifiers & Qt::KeypadModifier ? Qt::Key_Enter : Qt::Key_Return;
    QTest::keyClick(focus, key, modifiers);
    QCOMPARE(rig.clicks.count(), defaultClicks);
    QCOMPARE(otherSpy.count(), otherClicks);
}

void TestZephButtonInteraction::enterKeyWithNoControlFocused()
{
    QWidget form;
    form.setGeometry(100, 100, 200, 100);
    auto *ok = new TZephButton(&form);
    ok->setButtonKind(B::skOK);
    auto *cancel = new TZephButton(&form);
    cancel->setButtonKind(B::skCancel);
    cancel->move(100, 10);
    QSignalSpy okClicks(ok, &B::OnClick);
    QSignalSpy cancelClicks(cancel, &B::OnClick);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(&form, Qt::Key_Return);
    QCOMPARE(okClicks.count(), 1);
    QCOMPARE(cancelClicks.count(), 0);
}

void TestZephButtonInteraction::escapeKey_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << Qt::KeyboardModifiers() << true << 1;
    QTest::newRow("Ctrl") << Qt::KeyboardModifiers(Qt::ControlModifier) << true << 0;
    QTest::newRow("Alt") << Qt::KeyboardModifiers(Qt::AltModifier) << true << 0;
    QTest::newRow("Shift") << Qt::KeyboardModifiers(Qt::ShiftModifier) << true << 0;
    QTest::newRow("disabled") << Qt::KeyboardModifiers() << false << 0;
}

void TestZephButtonInteraction::escapeKey()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, enabled);
    QFETCH(int, expected);
    Rig rig;
    auto *edit = new QLineEdit(&rig.form);
    edit->show();
    edit->setFocus();
    rig.button->setCancel(true);
    rig.button->setEnabled(enabled);
    QTest::keyClick(edit, Qt::Key_Escape, modifiers);
    QCOMPARE(rig.clicks.count(), expected);
}

void TestZephButtonInteraction::accelerator_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("focusOnEdit");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("expected");
    const Qt::KeyboardModifiers none, alt(Qt::AltModifier);
    QTest::newRow("Alt, edit focused") << "&Help" << true << alt << 1;
    QTest::newRow("Alt+Shift") << "&Help" << true << (alt | Qt::ShiftModifier) << 1;
    QTest::newRow("plain, edit takes it") << "&Help" << true << none << 0;
    QTest::newRow("plain, button focused") << "&Help" << false << none << 1;
    QTest::newRow("lower case mark") << "&help" << true << alt << 1;
    QTest::newRow("literal ampersand") << "&&Help" << true << alt << 0;
    QTest::newRow("after a literal one") << "&&H&elp" << true << alt << 0;
    QTest::newRow("no mark") << "Help" << true << alt << 0;
    QTest::newRow("Ctrl") << "&Help" << false << Qt::KeyboardModifiers(Qt::ControlModifier) << 0;
}

void TestZephButtonInteraction::accelerator()
{
    QFETCH(QString, caption);
    QFETCH(bool, focusOnEdit);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, expected);
    Rig rig;
    rig.button->setCaption(caption);
    auto *edit = new QLineEdit(&rig.form);
    edit->show();
    auto *other = new TZephButton(&rig.form);
    other->show();
    QWidget *focus = focusOnEdit ? static_cast<QWidget *>(edit) : other;
    focus->setFocus();
    QTRY_VERIFY(focus->hasFocus());
    QTest::keyClick(focus, Qt::Key_H, modifiers);
    QCOMPARE(rig.clicks.count(), expected);
}

void TestZephButtonInteraction::kindEndsTheDialog_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("modal");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("open");
    QTest::newRow("OK") << int(B::skOK) << true << 1 << false;
    QTest::newRow("Cancel") << int(B::skCancel) << true << 2 << false;
    QTest::newRow("Abort") << int(B::skAbort) << true << 3 << false;
    QTest::newRow("Retry") << int(B::skRetry) << true << 4 << false;
    QTest::newRow("Ignore") << int(B::skIgnore) << true << 5 << false;
    QTest::newRow("Yes") << int(B::skYes) << true << 6 << false;
    QTest::newRow("No") << int(B::skNo) << true << 7 << false;
    QTest::newRow("All") << int(B::skAll) << true << 8 << false;
    QTest::newRow("Custom") << int(B::skCustom) << true << 0 << true;
    QTest::newRow("Silly") << int(B::skSilly) << true << 0 << true;
    QTest::newRow("Close") << int(B::skClose) << true << 0 << false;
    QTest::newRow("OK, modeless") << int(B::skOK) << false << 1 << true;
}

void TestZephButtonInteraction::kindEndsTheDialog()
{
    QFETCH(int, kind);
    QFETCH(bool, modal);
    QFETCH(int, result);
    QFETCH(bool, open);
    QDialog dialog;
    auto *button = new TZephButton(&dialog);
    button->setButtonKind(B::TKind(kind));
    bool openAtClick = false;
    connect(button, &B::OnClick, this, [&] { openAtClick = dialog.isVisible(); });
    if (modal)
        dialog.open();
    else
        dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    button->click();
    QVERIFY(openAtClick);
    QCOMPARE(dialog.isVisible(), open);
    QCOMPARE(dialog.result(), result);
}

void TestZephButtonInteraction::helpAsksForTheNearestContext()
{
    QWidget outer;
    QWidget inner(&outer);
    B button(&inner); // the unpublished base too
    button.setButtonKind(B::skHelp);
    QSignalSpy help(&button, &B::OnHelp);
    button.click();
    QCOMPARE(help.count(), 0);
    outer.setProperty("HelpContext", 42);
    button.click();
    button.setHelpContext(7);
    button.click();
    QCOMPARE(help.count(), 2);
    QCOMPARE(help.at(0).at(0).toInt(), 42);
    QCOMPARE(help.at(1).at(0).toInt(), 7);
}

void TestZephButtonInteraction::popupMenuPlaces_data()
{
    QTest::addColumn<int>("position");
    QTest::newRow("down") << int(B::puDown);
    QTest::newRow("left") << int(B::puLeft);
    QTest::newRow("right") << int(B::puRight);
}

void TestZephButtonInteraction::popupMenuPlaces()
{
    QFETCH(int, position);
    Rig rig;
    rig.form.move(200, 150);
    QMenu menu;
    menu.addAction(QStringLiteral("First item"));
    rig.button->setPopupMenu(&menu);
    rig.button->setPositionPopup(B::TPositionPopup(position));
    const QRect button(rig.button->mapToGlobal(QPoint(0, 0)), rig.button->size());
    MenuWatch watch(rig.button);
    rig.button->click(); // as Enter or an accelerator would
    QCOMPARE(rig.clicks.count(), 1);
    QVERIFY(watch.geometry.isValid());
    QCOMPARE(watch.buttonLook, kShadow); // pressed while open
    switch (position) {
    case B::puDown:
        QCOMPARE(watch.geometry.topLeft(), QPoint(button.left() - 1, button.bottom() + 1));
        break;
    case B::puLeft: // the menu ends one pixel before the button
        QCOMPARE(watch.geometry.topRight(), QPoint(button.left() - 2, button.top()));
        break;
    case B::puRight:
        QCOMPARE(watch.geometry.topLeft(), QPoint(button.right() + 2, button.top()));
        break;
    }
    QCOMPARE(rig.look(), kBackground); // resting once closed
}

void TestZephButtonInteraction::popupMenuOnPress()
{
    Rig rig;
    QMenu menu;
    menu.addAction(QStringLiteral("Item"));
    rig.button->setPopupMenu(&menu);
    QSignalSpy down(rig.button, &B::OnMouseDown);
    mouseMove(rig.button, QPoint(37, 12));
    MenuWatch watch(rig.button);
    mousePress(rig.button, Qt::LeftButton, {}, QPoint(37, 12));
    QVERIFY(watch.geometry.isValid());
    QCOMPARE(watch.buttonLook, kShadow);
    QCOMPARE(down.count(), 1);
    QCOMPARE(rig.look(), kBackground);
    mouseRelease(rig.button, Qt::LeftButton, {}, QPoint(37, 12));
    QCOMPARE(rig.clicks.count(), 0); // the menu had the press
}

void TestZephButtonInteraction::popupMenuForgottenWhenDestroyed()
{
    Rig rig;
    auto *menu = new QMenu;
    rig.button->setPopupMenu(menu);
    delete menu;
    QCOMPARE(rig.button->popupMenu(), nullptr);
    rig.button->click();
    QCOMPARE(rig.clicks.count(), 1);
}

void TestZephButtonInteraction::focusOnRelease_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("withMenu");
    QTest::addColumn<bool>("focusOnEnter");
    QTest::addColumn<bool>("focusOnRelease");
    QTest::newRow("default") << int(B::stDefault) << false << false << true;
    QTest::newRow("frame lowered, menu") << int(B::stFrameLowered) << true << true << true;
    QTest::newRow("raised") << int(B::stRaised) << false << false << false;
    QTest::newRow("flat, menu") << int(B::stFlat) << true << false << false;
}

void TestZephButtonInteraction::focusOnRelease()
{
    QFETCH(int, style);
    QFETCH(bool, withMenu);
    QFETCH(bool, focusOnEnter);
    QFETCH(bool, focusOnRelease);
    Rig rig;
    QMenu menu;
    rig.button->setButtonStyle(B::TStyle(style));
    if (withMenu)
        rig.button->setPopupMenu(&menu);
    enter(rig.button);
    QCOMPARE(rig.button->hasFocus(), focusOnEnter);
    rig.button->setPopupMenu(nullptr);
    send(rig.button, QEvent::MouseButtonPress, Qt::LeftButton);
    send(rig.button, QEvent::MouseButtonRelease, Qt::LeftButton);
    QCOMPARE(rig.button->hasFocus(), focusOnRelease);
}

void TestZephButtonInteraction::hoverSoundAndCursor()
{
    Rig rig;
    RecordingSound sound;
    rig.button->setHoverSound(&sound);
    enter(rig.button);
    QCOMPARE(sound.plays, 0);
    QCOMPARE(rig.button->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(rig.button->cursor().pixmap().size(), QSize(32, 32));
    leave(rig.button);
    QVERIFY(!rig.button->testAttribute(Qt::WA_SetCursor));
    rig.button->setPlayMusic(true);
    rig.button->setCursorHandCustom(false);
    enter(rig.button);
    leave(rig.button);
    enter(rig.button);
    QCOMPARE(sound.plays, 2);
    QVERIFY(!rig.button->testAttribute(Qt::WA_SetCursor));
    leave(rig.button);
    rig.button->setEnabled(false);
    enter(rig.button);
    QCOMPARE(sound.plays, 2);
}

// Mended: the sound played synchronously and held the whole program meanwhile.
// Qt Multimedia plays it on its own; without a sound device nothing fails. A
// sound of two seconds shows whether entering waits for it.
void TestZephButtonInteraction::hoverSoundWithoutDevice()
{
    QTemporaryDir dir;
    QFile wave(dir.filePath(QStringLiteral("long.wav")));
    QVERIFY(wave.open(QIODevice::WriteOnly));
    const quint32 rate = 22050;
    const quint32 bytes = 2 * rate * 2; // two seconds, mono, 16 bits
    QDataStream out(&wave);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + bytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << bytes;
    out.writeRawData(QByteArray(int(bytes), '\0').constData(), int(bytes));
    wave.close();

    kv::QtHoverSound sound(nullptr, QUrl::fromLocalFile(wave.fileName()));
    Rig rig;
    rig.button->setHoverSound(&sound);
    rig.button->setPlayMusic(true);
    QElapsedTimer entering;
    entering.start();
    enter(rig.button);
    leave(rig.button);
    enter(rig.button);
    QVERIFY2(entering.elapsed() < 1000, qPrintable(QString::number(entering.elapsed())));
    // The player came from its module, once.
    const QList<QObject *> players = sound.findChildren<QObject *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(players.size(), 1);
    QCOMPARE(players.first()->metaObject()->className(), "QSoundEffect");
    QTest::qWait(50);
    QCOMPARE(rig.look(), kHighlight);
}

void TestZephButtonInteraction::disablingAHotButtonLeavesTheDisabledRestingLook()
{
    Rig rig;
    rig.button->setButtonKind(B::skOK);
    enter(rig.button);
    QCOMPARE(rig.look(), kHighlight);
    rig.button->setEnabled(false);
    auto *fresh = new TZephButton(&rig.form);
    fresh->move(100, 10);
    fresh->setButtonKind(B::skOK);
    fresh->setEnabled(false);
    fresh->show();
    QCOMPARE(shot(rig.button), shot(fresh));
}

void TestZephButtonInteraction::hidingTheWindowUnderThePointerEndsTheHotLook()
{
    Rig rig;
    QSignalSpy out(rig.button, &B::OnMouseOut);
    mouseMove(rig.button, QPoint(37, 12));
    QTRY_COMPARE(rig.look(), kHighlight);
    // A dialog closed by this very button: its window hides with the pointer on it.
    rig.form.hide();
    QCOMPARE(out.count(), 1);
    mouseMove(&rig.form, QPoint(390, 190));
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    QCOMPARE(rig.look(), kBackground);
}

// On the offscreen platform; with KV_ON_X11 set, on a private X server with a
// window manager, where windows are mapped, framed and focused for real.
int main(int argc, char *argv[])
{
    std::optional<kv::test::XvfbServer> xvfb;
    if (qEnvironmentVariableIsSet("KV_ON_X11")) {
        xvfb.emplace(kv::test::XvfbServer::WithWindowManager);
        if (!xvfb->isRunning()) {
            qCritical("Xvfb with openbox did not start");
            return 1;
        }
        qputenv("DISPLAY", xvfb->display().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        QApplication::setAttribute(Qt::AA_Use96Dpi, true);
        TestZephButtonInteraction test;
        result = QTest::qExec(&test, argc, argv);
    }
    return result;
}

#include "tst_zephbutton_interaction.moc"
