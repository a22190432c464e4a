// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateTimeText.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace kv {

class Beeper;
class Clock;
class Error;
class ErrorSink;
class FileChooser;
class TaskTable;
class TCalendarForm;
class TZephButton;

// The dialog in which tasks are created and changed. It has no task of its own:
// a confirm writes its fields straight into the task table, appending a row or
// rewriting the edited one, and closes.
//
// The main window creates it once, as its child so that it opens centred over
// it, with the program's table, error box, clock, beep and file chooser, and
// calls
//   NewTask()          for "New task!" (button, Tasks menu Ctrl+N, grid menu);
//   EditSelectedTask() for "Edit task!" (button, Tasks menu Ctrl+E, grid menu),
//                      or EditTask() when it has picked the row itself.
// Each shows the dialog modally and returns when it has closed; the table then
// holds the result (a newly added task is its current row). The calendar picker
// behind the "Cal" buttons is the dialog's own, so that it stacks over it; the
// error box and the file chooser are given the dialog as their owner.
class TEditTaskForm : public QDialog
{
    Q_OBJECT

public:
    TEditTaskForm(TaskTable &table, ErrorSink &errors, const Clock &clock, Beeper &beeper,
                  FileChooser &files, QWidget *parent = nullptr,
                  const DateTimeText &texts = DateTimeText());

    // Shows the dialog for a new task.
    void NewTask();
    // Shows the dialog for the current task: an event task when its name is one of
    // the four event names, else a file task. Does nothing without a current task.
    void EditSelectedTask();
    // Shows the dialog for task row `row` as an event task or a file task. Does
    // nothing unless the row is a task.
    void EditTask(int row, bool eventTask);

    // The mode: both flags clear means a new task. Set only by the two entry
    // points, cleared by every way of closing.
    bool ModifyFileTask() const { return m_modifyFileTask; }
    bool ModifyEventTask() const { return m_modifyEventTask; }
    int EditedRow() const { return m_editedRow; }

    // The checks of the confirm buttons: true to go on, false to stop silently.
    // A text that is not a task's date or time text puts the focus on its field,
    // beeps and throws kv::Error with the message for the error box.
    bool CheckFileDate();
    bool CheckFileTime();
    bool CheckEventDate();
    bool CheckEventTime();

    void setVisible(bool visible) override;
    void done(int result) override;

    TCalendarForm *CalendarForm;
    QTabWidget *PageControl1;
    QWidget *TabSheet1;
    QWidget *TabSheet2;
    QGroupBox *GroupBox1, *GroupBox2, *GroupBox3, *GroupBox4, *GroupBox5, *GroupBox6;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6;
    QComboBox *ComboBox1, *ComboBox2;
    QRadioButton *RadioButton1, *RadioButton2, *RadioButton3, *RadioButton4, *RadioButton5,
        *RadioButton6, *RadioButton7, *RadioButton8;
    TZephButton *ZephButton1, *ZephButton2, *ZephButton3, *ZephButton4, *ZephButton5, *ZephButton6,
        *ZephButton7, *ZephButton8, *ZephButton9, *ZephButton10, *ZephButton11;

protected:
    // Shows the dialog modally; tests show it without a nested loop.
    virtual void runModal();
    // Shows the calendar picker modally.
    virtual void showCalendar();

    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFilePage();
    void buildEventPage();
    void buildTimerGroup(QGroupBox *group, QLineEdit *date, TZephButton *cal, QLineEdit *time,
                         TZephButton *currentDate, TZephButton *currentTime);
    void buildExpandedGroup(QGroupBox *group, QRadioButton *everyone, QComboBox *days,
                            QRadioButton *simple);
    void buildPageButtons(TZephButton *confirm, TZephButton *cancel);

    void FormActivate();
    void ZephButton1Click();
    void ZephButton2Click();
    void ZephButton3Click();
    void ZephButton5Click();
    void CalDatePicked(const QString &text);

    bool checkDate(QLineEdit *field, bool emptyPasses);
    bool checkTime(QLineEdit *field);
    [[noreturn]] void refuse(QLineEdit *field, const QString &message);
    QString currentDateText() const;
    QString currentTimeText() const;
    QString fileMode() const;
    QString eventName() const;
    QString eventMode() const;
    QList<QRadioButton *> eventRadios() const;
    void fillFilePage(int row);
    void fillEventPage(int row);

    TaskTable &m_table;
    ErrorSink &m_errors;
    const Clock &m_clock;
    Beeper &m_beeper;
    FileChooser &m_files;
    DateTimeText m_texts;

    bool m_modifyFileTask = false;
    bool m_modifyEventTask = false;
    int m_editedRow = 0;
};

} // namespace kv
