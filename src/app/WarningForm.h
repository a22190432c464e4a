// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AdvanceWarnings.h"

#include <QMap>
#include <QPointer>
#include <QWidget>

class QLabel;
class QMenu;

namespace kv {

class TZephButton;
class WarningNotices;

// One advance warning on the screen: a small window of its own above the
// others, shown without taking the keyboard focus, that counts down to the
// occurrence and offers "Cancel" and "Postpone". Closing it only puts it out of
// sight; the task fires all the same.
class TWarningForm : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 340;
    static constexpr int kHeight = 114;

    TWarningForm(const AdvanceWarning &warning, const DateTimeText &texts,
                 QWidget *parent = nullptr);

    int warningId() const { return m_id; }
    void showCount(const AdvanceWarning &warning);

    QLabel *Label1;           // the countdown
    QLabel *Label2;           // the time
    TZephButton *ZephButton1; // "Cancel"
    TZephButton *ZephButton2; // "Postpone"
    QMenu *PopupMenu1;

signals:
    void cancelChosen(int id);
    void postponeChosen(int id, int minutes);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    int m_id;
    bool m_lastCallSpoken = false;
};

// A window for every open warning, each in a place of its own: a column up from
// the bottom right corner of the screen, then the next column to its left.
class WarningWindows : public QObject
{
    Q_OBJECT

public:
    WarningWindows(AdvanceWarnings &warnings, const DateTimeText &texts, QObject *parent = nullptr);
    ~WarningWindows() override;

    QList<TWarningForm *> windows() const;

    // From now on a window opens only for a warning whose notice no server has
    // taken, and its keys act only after a click in it: for a window system
    // that gives it the keyboard as it appears.
    void openOnlyUnnoticed(WarningNotices &notices);

private:
    void open(const AdvanceWarning &warning);
    void openUnnoticed(int id);
    void count(const AdvanceWarning &warning);
    void close(int id);
    // The top left corner of the frame of the window in `slot`.
    static QPoint placeOf(int slot);

    AdvanceWarnings &m_warnings;
    DateTimeText m_texts;
    QMap<int, QPointer<TWarningForm>> m_slots; // by place
    bool m_keysAfterClick = false;
};

} // namespace kv
