// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateTimeText.h"

#include <QDialog>

class QCalendarWidget;

namespace kv {

class TZephButton;

// The date picker behind the task editor's "Cal" buttons. It is created once and
// only hidden when it closes, so the date picked last stays selected; the
// program never sets it. The task editor creates it as its own and shows it;
// it opens centred over the main window.
class TCalendarForm : public QDialog
{
    Q_OBJECT

public:
    explicit TCalendarForm(QWidget *parent = nullptr, const DateTimeText &texts = DateTimeText());

    // The selected date as the date text of a task.
    QString selectedDateText() const;

    void setVisible(bool visible) override;

    QCalendarWidget *MonthCalendar1;
    TZephButton *BitBtn1; // OK
    TZephButton *BitBtn2; // Cancel

signals:
    // OK was pressed; text is the selected date as date text.
    void datePicked(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The calendar's navigation shows arrows and numbers only.
    void nameForScreenReaders();
    void BitBtn1Click();

    DateTimeText m_texts;
};

} // namespace kv
