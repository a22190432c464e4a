// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTest>
#include <QWidget>

namespace kv::test {

// Counts the mouse presses that reach it.
class PressCounter : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

// A dialog's owner and a window of the program's own beside it (such as the
// tray icon's, which must answer while the dialog is open), to find out which
// of them a modal dialog blocks.
struct ModalityProbe
{
    PressCounter owner;
    PressCounter other;

    ModalityProbe()
    {
        owner.resize(300, 200);
        owner.show();
        other.resize(100, 100);
        other.show();
    }
    bool shown() { return QTest::qWaitForWindowExposed(&other); }
    PressCounter &window(bool ofTheOwner) { return ofTheOwner ? owner : other; }
    // To be called while the dialog is open.
    void click(bool ofTheOwner)
    {
        QTest::mouseClick(window(ofTheOwner).windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
    }
    // The rows of a data-driven test: ofTheOwner, and the presses it must get.
    static void addRows()
    {
        QTest::addColumn<bool>("ofTheOwner");
        QTest::addColumn<int>("presses");
        QTest::newRow("the main window") << true << 0;
        QTest::newRow("a window of its own") << false << 1;
    }
};

} // namespace kv::test
