// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditTaskForm.h"

#include "Beeper.h"
#include "CalendarForm.h"
#include "Centring.h"
#include "Clock.h"
#include "Errors.h"
#include "FileChooser.h"
#include "FixedLook.h"
#include "Modes.h"
#include "TaskTable.h"
#include "ZephButton.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <algorithm>

namespace kv {

namespace {

constexpr int kEveryDayIndex = 7;

// "Monday" ... "Sunday", "Every day": the modes after "Simple".
QStringList dayItems()
{
    return Modes::fileModes().mid(1);
}

QLineEdit *newEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QComboBox *newDayList(QWidget *parent, const char *name)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    // Shown in the user's language; the index says which mode is meant.
    for (const QString &day : dayItems())
        list->addItem(Modes::shown(day));
    list->setCurrentIndex(kEveryDayIndex);
    list->setMaxVisibleItems(dayItems().size());
    return list;
}

QRadioButton *newRadio(QWidget *parent, const char *name, const QString &caption)
{
    auto *radio = new QRadioButton(caption, parent);
    radio->setObjectName(QLatin1String(name));
    return radio;
}

} // namespace

TEditTaskForm::TEditTaskForm(TaskTable &table, ErrorSink &errors, const Clock &clock,
                             Beeper &beeper, FileChooser &files, QWidget *parent,
                             const DateTimeText &texts)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      CalendarForm(new TCalendarForm(this, texts)), m_table(table), m_errors(errors),
      m_clock(clock), m_beeper(beeper), m_files(files), m_texts(texts)
{
    setObjectName(QStringLiteral("EditTaskForm"));
    // Modal to the main window only: the tray icon must still answer, so the
    // window can be brought back while the dialog is open.
    setWindowModality(Qt::WindowModal);
    //: Title of the task editor, which adds a new task or changes one.
    setWindowTitle(tr("New/modify task"));
    setFixedSize(610, 218);
    setPalette(lightPalette(QColor(196, 255, 179)));
    setAutoFillBackground(true);
    // The main window's font at its pixel size: the fixed layout holds whatever
    // the desktop's font size.
    setFont(dialogFont());

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(4, 4, 602, 210);
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    for (QWidget *page : {TabSheet1, TabSheet2})
        page->setAutoFillBackground(true);
    //: Tab of the page for a task that opens a file; also the caption of the group of the
    //: file's folder and name.
    PageControl1->addTab(TabSheet1, tr("File"));
    //: Tab of the page for a task that performs a power event (shut down, restart ...); also
    //: the caption of the group of the four events.
    PageControl1->addTab(TabSheet2, tr("Event"));

    buildFilePage();
    buildEventPage();

    // Dates, times and day lists are reached with the mouse, not with Tab.
    for (QWidget *w :
         std::initializer_list<QWidget *>{Edit2, Edit3, Edit5, Edit6, ComboBox1, ComboBox2})
        w->setFocusPolicy(Qt::ClickFocus);
    // Typed characters never reach the day lists, dropped down or not, so a day
    // is picked with the mouse or the arrow keys only.
    for (QComboBox *list : {ComboBox1, ComboBox2}) {
        list->installEventFilter(this);
        list->view()->installEventFilter(this);
    }

    // An edged style: it shows which button has the keyboard focus.
    for (TZephButton *button : PageControl1->findChildren<TZephButton *>())
        button->setButtonStyle(TZephButton::stDefault);

    connect(ZephButton1, &TZephButton::OnClick, this, &TEditTaskForm::ZephButton1Click);
    connect(ZephButton2, &TZephButton::OnClick, this, &TEditTaskForm::ZephButton2Click);
    connect(ZephButton4, &TZephButton::OnClick, this, &TEditTaskForm::ZephButton2Click);
    connect(ZephButton3, &TZephButton::OnClick, this, &TEditTaskForm::ZephButton3Click);
    connect(ZephButton5, &TZephButton::OnClick, this, &TEditTaskForm::ZephButton5Click);
    connect(ZephButton6, &TZephButton::OnClick, this,
            [this] { Edit2->setText(currentDateText()); });
    connect(ZephButton7, &TZephButton::OnClick, this,
            [this] { Edit3->setText(currentTimeText()); });
    connect(ZephButton9, &TZephButton::OnClick, this,
            [this] { Edit5->setText(currentDateText()); });
    connect(ZephButton10, &TZephButton::OnClick, this,
            [this] { Edit6->setText(currentTimeText()); });
    connect(ZephButton8, &TZephButton::OnClick, this, &TEditTaskForm::showCalendar);
    connect(ZephButton11, &TZephButton::OnClick, this, &TEditTaskForm::showCalendar);
    connect(CalendarForm, &TCalendarForm::datePicked, this, &TEditTaskForm::CalDatePicked);
}

// --- layout --------------------------------------------------------------------------

void TEditTaskForm::buildFilePage()
{
    GroupBox1 = new QGroupBox(tr("File"), TabSheet1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(6, 2, 584, 76);
    //: Label of the field for the folder of the file; 40 pixels wide.
    auto *pathLabel = new QLabel(tr("Path:"), GroupBox1);
    pathLabel->setGeometry(12, 20, 40, 22);
    Edit1 = newEdit(GroupBox1, "Edit1");
    Edit1->setGeometry(52, 20, 420, 22);
    pathLabel->setBuddy(Edit1);
    //: Label of the field for the name of the file; 40 pixels wide.
    auto *fileLabel = new QLabel(tr("File:"), GroupBox1);
    fileLabel->setGeometry(12, 46, 40, 22);
    Edit4 = newEdit(GroupBox1, "Edit4");
    Edit4->setGeometry(52, 46, 420, 22);
    fileLabel->setBuddy(Edit4);
    ZephButton3 = new TZephButton(GroupBox1);
    ZephButton3->setObjectName(QStringLiteral("ZephButton3"));
    //: Button: chooses the file with a file dialog; 92 pixels wide.
    ZephButton3->setCaption(tr("Open file"));
    ZephButton3->setGeometry(482, 31, 92, 26);
    ZephButton3->setTabStop(true);

    //: Caption of the group of the date and the time at which the task fires.
    GroupBox2 = new QGroupBox(tr("Timer"), TabSheet1);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    Edit2 = newEdit(GroupBox2, "Edit2");
    Edit3 = newEdit(GroupBox2, "Edit3");
    ZephButton8 = new TZephButton(GroupBox2);
    ZephButton6 = new TZephButton(GroupBox2);
    ZephButton7 = new TZephButton(GroupBox2);
    ZephButton8->setObjectName(QStringLiteral("ZephButton8"));
    ZephButton6->setObjectName(QStringLiteral("ZephButton6"));
    ZephButton7->setObjectName(QStringLiteral("ZephButton7"));
    buildTimerGroup(GroupBox2, Edit2, ZephButton8, Edit3, ZephButton6, ZephButton7);

    //: Caption of the group in which the schedule is chosen: "Everyone:" with a day, or
    //: "Simple" (once). The English caption is the program's own; translate what the group is
    //: for.
    GroupBox3 = new QGroupBox(tr("Expanded"), TabSheet1);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    //: Radio button before the day list ("Monday" ... "Every day"): the task fires every week
    //: on that day, or every day. "Everyone" stands for "every". About 70 pixels for the text.
    RadioButton2 = newRadio(GroupBox3, "RadioButton2", tr("Everyone:"));
    ComboBox1 = newDayList(GroupBox3, "ComboBox1");
    //: Radio button: the task fires once, at its date and time.
    RadioButton1 = newRadio(GroupBox3, "RadioButton1", tr("Simple"));
    buildExpandedGroup(GroupBox3, RadioButton2, ComboBox1, RadioButton1);

    ZephButton1 = new TZephButton(TabSheet1);
    ZephButton2 = new TZephButton(TabSheet1);
    ZephButton1->setObjectName(QStringLiteral("ZephButton1"));
    ZephButton2->setObjectName(QStringLiteral("ZephButton2"));
    buildPageButtons(ZephButton1, ZephButton2);

    setTabOrder(Edit1, Edit4);
    setTabOrder(Edit4, ZephButton3);
}

void TEditTaskForm::buildEventPage()
{
    GroupBox4 = new QGroupBox(tr("Event"), TabSheet2);
    GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
    GroupBox4->setGeometry(6, 2, 584, 76);
    // In the order of the event names, which the table stores whatever the captions say.
    const QStringList &events = Modes::eventNames();
    RadioButton3 = newRadio(GroupBox4, "RadioButton3", Modes::shown(events.at(0)));
    RadioButton4 = newRadio(GroupBox4, "RadioButton4", Modes::shown(events.at(1)));
    RadioButton7 = newRadio(GroupBox4, "RadioButton7", Modes::shown(events.at(2)));
    RadioButton8 = newRadio(GroupBox4, "RadioButton8", Modes::shown(events.at(3)));
    // A longer caption of a translation takes the room up to the next radio.
    int x = 24;
    for (QRadioButton *radio : eventRadios()) {
        const int room = std::min(x + 136, GroupBox4->width() - 6) - x;
        radio->setGeometry(x, 30, std::clamp(radio->sizeHint().width(), 120, room), 22);
        x += 140;
    }
    RadioButton3->setChecked(true);

    GroupBox5 = new QGroupBox(tr("Timer"), TabSheet2);
    GroupBox5->setObjectName(QStringLiteral("GroupBox5"));
    Edit5 = newEdit(GroupBox5, "Edit5");
    Edit6 = newEdit(GroupBox5, "Edit6");
    ZephButton11 = new TZephButton(GroupBox5);
    ZephButton9 = new TZephButton(GroupBox5);
    ZephButton10 = new TZephButton(GroupBox5);
    ZephButton11->setObjectName(QStringLiteral("ZephButton11"));
    ZephButton9->setObjectName(QStringLiteral("ZephButton9"));
    ZephButton10->setObjectName(QStringLiteral("ZephButton10"));
    buildTimerGroup(GroupBox5, Edit5, ZephButton11, Edit6, ZephButton9, ZephButton10);

    GroupBox6 = new QGroupBox(tr("Expanded"), TabSheet2);
    GroupBox6->setObjectName(QStringLiteral("GroupBox6"));
    RadioButton6 = newRadio(GroupBox6, "RadioButton6", tr("Everyone:"));
    ComboBox2 = newDayList(GroupBox6, "ComboBox2");
    RadioButton5 = newRadio(GroupBox6, "RadioButton5", tr("Simple"));
    buildExpandedGroup(GroupBox6, RadioButton6, ComboBox2, RadioButton5);

    ZephButton5 = new TZephButton(TabSheet2);
    ZephButton4 = new TZephButton(TabSheet2);
    ZephButton5->setObjectName(QStringLiteral("ZephButton5"));
    ZephButton4->setObjectName(QStringLiteral("ZephButton4"));
    buildPageButtons(ZephButton5, ZephButton4);
}

void TEditTaskForm::buildTimerGroup(QGroupBox *group, QLineEdit *date, TZephButton *cal,
                                    QLineEdit *time, TZephButton *currentDate,
                                    TZephButton *currentTime)
{
    group->setGeometry(6, 82, 254, 94);
    date->setGeometry(10, 24, 94, 22);
    //: Short for "Calendar": the small button (36 pixels) beside the date field that opens the
    //: calendar. Three or four characters fit.
    cal->setCaption(tr("Cal"));
    cal->setGeometry(106, 23, 36, 24);
    time->setGeometry(152, 24, 90, 22);
    //: Button: puts today's date into the date field; 132 pixels wide.
    currentDate->setCaption(tr("Current Date"));
    currentDate->setGeometry(10, 56, 132, 26);
    //: Button: puts the present time into the time field; 90 pixels wide.
    currentTime->setCaption(tr("Current time"));
    currentTime->setGeometry(152, 56, 90, 26);
    for (TZephButton *button : {cal, currentDate, currentTime})
        button->setTabStop(true);
    // Screen readers name the fields and the small button by what they are for.
    //: Name of the date field for screen readers.
    date->setAccessibleName(tr("Date"));
    //: Name of the time field for screen readers.
    time->setAccessibleName(tr("Time"));
    //: Name of the "Cal" button for screen readers: it opens the calendar.
    cal->setAccessibleName(tr("Calendar"));
}

void TEditTaskForm::buildExpandedGroup(QGroupBox *group, QRadioButton *everyone, QComboBox *days,
                                       QRadioButton *simple)
{
    group->setGeometry(266, 82, 212, 94);
    // Longer texts of a translation take what room there is: a longer day name
    // the part of "Everyone:" that its caption leaves free, a longer "Simple" the
    // group's width.
    const int grow = std::clamp(days->sizeHint().width() - 104, 0,
                                std::max(0, 90 - everyone->sizeHint().width()));
    everyone->setGeometry(10, 24, 90 - grow, 22);
    days->setGeometry(100 - grow, 23, 104 + grow, 24);
    simple->setGeometry(10, 58, std::clamp(simple->sizeHint().width(), 90, group->width() - 16),
                        22);
    everyone->setChecked(true);
    // Screen readers name a list by its value and read this after it.
    //: Description of the day list beside "Everyone:" for screen readers.
    days->setAccessibleDescription(tr("Day"));
}

void TEditTaskForm::buildPageButtons(TZephButton *confirm, TZephButton *cancel)
{
    //: Button: adds the task to the list; 104 pixels wide.
    confirm->setCaption(tr("Add new task!"));
    confirm->setGeometry(486, 90, 104, 36);
    cancel->setButtonKind(TZephButton::skCancel); // Esc clicks the one on the visible page
    cancel->setGeometry(486, 136, 104, 36);
    for (TZephButton *button : {confirm, cancel})
        button->setTabStop(true);
}

QList<QRadioButton *> TEditTaskForm::eventRadios() const
{
    return {RadioButton3, RadioButton4, RadioButton7, RadioButton8};
}

// --- entry points --------------------------------------------------------------------

void TEditTaskForm::NewTask()
{
    m_modifyFileTask = false;
    m_modifyEventTask = false;
    runModal();
}

void TEditTaskForm::EditSelectedTask()
{
    const int row = m_table.currentTask();
    if (row == 0)
        return;
    EditTask(row, Modes::eventNames().contains(m_table.cell(TaskTable::NameColumn, row)));
}

void TEditTaskForm::EditTask(int row, bool eventTask)
{
    if (row < 1 || row >= m_table.rowCount())
        return;
    m_modifyEventTask = eventTask;
    m_modifyFileTask = !eventTask;
    m_editedRow = row;
    runModal();
}

void TEditTaskForm::runModal()
{
    exec();
}

void TEditTaskForm::showCalendar()
{
    CalendarForm->exec();
}

void TEditTaskForm::setVisible(bool visible)
{
    if (visible && !isVisible())
        centreOverParent(this);
    QDialog::setVisible(visible);
}

void TEditTaskForm::done(int result)
{
    // However the dialog closes, the next opening is for a new task.
    m_modifyFileTask = false;
    m_modifyEventTask = false;
    QDialog::done(result);
}

// --- opening -------------------------------------------------------------------------

void TEditTaskForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A window restored from the task bar is not a new opening.
    if (!event->spontaneous())
        FormActivate();
}

void TEditTaskForm::FormActivate()
{
    const QString date = currentDateText();
    const QString time = currentTimeText();
    Edit2->setText(date);
    Edit5->setText(date);
    Edit3->setText(time);
    Edit6->setText(time);
    Edit1->clear();
    Edit4->clear();
    RadioButton2->setChecked(true);
    RadioButton6->setChecked(true);
    RadioButton3->setChecked(true);
    ComboBox1->setCurrentIndex(kEveryDayIndex);
    ComboBox2->setCurrentIndex(kEveryDayIndex);
    ZephButton1->setCaption(tr("Add new task!"));
    ZephButton5->setCaption(tr("Add new task!"));
    PageControl1->setCurrentWidget(TabSheet1);

    if (m_modifyFileTask)
        fillFilePage(m_editedRow);
    if (m_modifyEventTask)
        fillEventPage(m_editedRow);
    // Typing goes to the first field of the page on show.
    if (PageControl1->currentWidget() == TabSheet1)
        Edit1->setFocus(Qt::OtherFocusReason);
    else
        for (QRadioButton *radio : eventRadios())
            if (radio->isChecked())
                radio->setFocus(Qt::OtherFocusReason);
}

void TEditTaskForm::fillFilePage(int row)
{
    const QString time = m_table.cell(TaskTable::TimeColumn, row);
    Edit2->setText(DateTimeText::datePart(time));
    Edit3->setText(DateTimeText::timePart(time));
    Edit1->setText(m_table.cell(TaskTable::PathColumn, row));
    Edit4->setText(m_table.cell(TaskTable::NameColumn, row));
    const QString mode = m_table.cell(TaskTable::ModeColumn, row);
    if (mode == Modes::fileModes().at(0))
        RadioButton1->setChecked(true);
    const int day = int(dayItems().indexOf(mode)); // letter case counts
    if (day >= 0)
        ComboBox1->setCurrentIndex(day);
    //: Button in place of "Add new task!" while a task is being changed: rewrites it; 104
    //: pixels wide.
    ZephButton1->setCaption(tr("Modify task!"));
}

void TEditTaskForm::fillEventPage(int row)
{
    PageControl1->setCurrentWidget(TabSheet2);
    const QString time = m_table.cell(TaskTable::TimeColumn, row);
    Edit5->setText(DateTimeText::datePart(time));
    Edit6->setText(DateTimeText::timePart(time));
    const int event = int(Modes::eventNames().indexOf(m_table.cell(TaskTable::NameColumn, row)));
    if (event >= 0)
        eventRadios().at(event)->setChecked(true);
    const QString mode = m_table.cell(TaskTable::ModeColumn, row);
    const QString lowered = Modes::lowerAscii(mode);
    const QStringList &suffixes = Modes::eventSuffixes();
    for (const QString &event : Modes::eventNames()) {
        // The once-only test is exact; the day test ignores the letter case.
        if (mode == event + suffixes.at(0))
            RadioButton5->setChecked(true);
        for (int day = 0; day < dayItems().size(); ++day)
            if (lowered == Modes::lowerAscii(event + suffixes.at(day + 1)))
                ComboBox2->setCurrentIndex(day);
    }
    ZephButton5->setCaption(tr("Modify task!"));
}

// --- checks --------------------------------------------------------------------------

void TEditTaskForm::refuse(QLineEdit *field, const QString &message)
{
    field->setFocus(Qt::OtherFocusReason);
    m_beeper.beep();
    throw Error(QLatin1Char('"') + field->text() + QLatin1Char('"') + message);
}

// Only the texts that the scheduler reads back pass; an empty field is no
// exception, since an empty part of the Time cell stops every later tick.
bool TEditTaskForm::checkDate(QLineEdit *field, bool emptyFailsSilently)
{
    if (emptyFailsSilently && field->text().isEmpty())
        return false;
    try {
        m_texts.toDate(field->text());
    } catch (const Error &) {
        //: Error message after the date as typed, which stands before it in double quotes:
        //: "32.13.2026" - This date is not correct! Keep the blank at the start. No full stop
        //: is added after a message that ends in "!".
        refuse(field, tr(" - This date is not correct!"));
    }
    return true;
}

bool TEditTaskForm::checkTime(QLineEdit *field)
{
    try {
        DateTimeText::toTime(field->text());
    } catch (const Error &) {
        //: Error message after the time as typed, in double quotes before it: "25:99" - This
        //: time is not correct! Keep the blank at the start.
        refuse(field, tr(" - This time is not correct!"));
    }
    return true;
}

bool TEditTaskForm::CheckFileDate()
{
    return checkDate(Edit2, false);
}

bool TEditTaskForm::CheckFileTime()
{
    return checkTime(Edit3);
}

bool TEditTaskForm::CheckEventDate()
{
    return checkDate(Edit5, true);
}

bool TEditTaskForm::CheckEventTime()
{
    return checkTime(Edit6);
}

// --- confirm and the other buttons --------------------------------------------------

QString TEditTaskForm::fileMode() const
{
    if (RadioButton1->isChecked())
        return Modes::fileModes().at(0);
    return Modes::fileModes().at(ComboBox1->currentIndex() + 1);
}

QString TEditTaskForm::eventName() const
{
    const QList<QRadioButton *> radios = eventRadios();
    for (int event = 0; event < radios.size(); ++event)
        if (radios.at(event)->isChecked())
            return Modes::eventNames().at(event);
    return Modes::eventNames().at(0);
}

QString TEditTaskForm::eventMode() const
{
    const int suffix = RadioButton5->isChecked() ? 0 : ComboBox2->currentIndex() + 1;
    return eventName() + Modes::eventSuffixes().at(suffix);
}

void TEditTaskForm::ZephButton1Click()
{
    const QFileInfo file(Edit1->text() + Edit4->text());
    if (!file.exists() || file.isDir())
        return;
    try {
        if (!CheckFileDate() || !CheckFileTime())
            return;
        const QString time = Edit2->text() + QLatin1Char(' ') + Edit3->text();
        if (m_modifyFileTask)
            m_table.changeFileTask(m_editedRow, time, Edit4->text(), Edit1->text(), fileMode());
        else
            m_table.appendTask(time, Edit4->text(), Edit1->text(), fileMode());
    } catch (const Error &error) {
        m_errors.showError(error);
        return;
    }
    accept();
}

void TEditTaskForm::ZephButton5Click()
{
    try {
        if (!CheckEventDate() || !CheckEventTime())
            return;
        const QString time = Edit5->text() + QLatin1Char(' ') + Edit6->text();
        if (m_modifyEventTask)
            m_table.changeEventTask(m_editedRow, time, eventName(), eventMode());
        else
            m_table.appendTask(time, eventName(), QString(), eventMode());
    } catch (const Error &error) {
        m_errors.showError(error);
        return;
    }
    accept();
}

void TEditTaskForm::ZephButton2Click()
{
    // The button's cancel kind then closes the dialog.
    m_modifyFileTask = false;
    m_modifyEventTask = false;
}

void TEditTaskForm::ZephButton3Click()
{
    const QString full = m_files.chooseFile(this);
    if (full.isEmpty())
        return;
    const QString name = QFileInfo(full).fileName();
    Edit1->setText(full.left(full.size() - name.size()));
    Edit4->setText(name);
}

void TEditTaskForm::CalDatePicked(const QString &text)
{
    Edit2->setText(text);
    Edit5->setText(text);
}

QString TEditTaskForm::currentDateText() const
{
    return m_texts.date(m_clock.now().date());
}

QString TEditTaskForm::currentTimeText() const
{
    return DateTimeText::time(m_clock.now().time());
}

bool TEditTaskForm::eventFilter(QObject *watched, QEvent *event)
{
    const bool dayList = watched == ComboBox1 || watched == ComboBox2 ||
                         watched == ComboBox1->view() || watched == ComboBox2->view();
    if (dayList && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        if (!typed.isEmpty() && typed.at(0).isPrint())
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kv
