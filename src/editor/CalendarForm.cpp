// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalendarForm.h"

#include "Centring.h"
#include "FixedLook.h"
#include "ZephButton.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QPainter>

namespace kv {

namespace {
const QDate kFirstSelected(2007, 11, 26);
}

TCalendarForm::TCalendarForm(QWidget *parent, const DateTimeText &texts)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      MonthCalendar1(new QCalendarWidget(this)), BitBtn1(new TZephButton(this)),
      BitBtn2(new TZephButton(this)), m_texts(texts)
{
    setObjectName(QStringLiteral("CalendarForm"));
    // Modal to the windows it belongs to only: the tray icon must still answer.
    setWindowModality(Qt::WindowModal);
    //: Title of the calendar window that picks a task's date. The English title has always been
    //: spelt so; translate it as "Calendar".
    setWindowTitle(tr("Calender"));
    setFixedSize(513, 288);
    setPalette(lightPalette(Qt::white));
    setAutoFillBackground(true);
    setFont(dialogFont());

    MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    MonthCalendar1->setGeometry(16, 8, 489, 241);
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    MonthCalendar1->setSelectionMode(QCalendarWidget::SingleSelection);
    MonthCalendar1->setGridVisible(false);
    QFont font = MonthCalendar1->font();
    font.setPixelSize(16);
    MonthCalendar1->setFont(font);
    // Dates beyond four-digit years would give a date text the editor refuses.
    MonthCalendar1->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    MonthCalendar1->setSelectedDate(kFirstSelected);
    nameForScreenReaders();
    // Enter on the day grid goes to the default button, as in a dialog.
    if (auto *days = MonthCalendar1->findChild<QAbstractItemView *>())
        days->installEventFilter(this);

    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setButtonKind(TZephButton::skOK);
    BitBtn1->setTabStop(true);
    BitBtn1->setGeometry(155, 256, 95, 25);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setButtonKind(TZephButton::skCancel);
    BitBtn2->setTabStop(true);
    BitBtn2->setGeometry(272, 256, 89, 25);
    // An edged style: it shows which button has the keyboard focus.
    for (TZephButton *button : {BitBtn1, BitBtn2})
        button->setButtonStyle(TZephButton::stDefault);
    // The kinds close the dialog with their result; Cancel needs nothing more.
    connect(BitBtn1, &TZephButton::OnClick, this, &TCalendarForm::BitBtn1Click);
    setTabOrder(MonthCalendar1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
}

void TCalendarForm::nameForScreenReaders()
{
    //: Name of the calendar for screen readers.
    MonthCalendar1->setAccessibleName(tr("Task date"));
    const std::pair<const char *, QString> parts[] = {
        //: Names of the calendar's navigation for screen readers.
        {"qt_calendar_prevmonth", tr("Previous month")},
        {"qt_calendar_nextmonth", tr("Next month")},
        {"qt_calendar_monthbutton", tr("Month")},
        {"qt_calendar_yearbutton", tr("Year")},
        {"qt_calendar_yearedit", tr("Year")},
    };
    for (const auto &[name, text] : parts)
        if (auto *part = MonthCalendar1->findChild<QWidget *>(QLatin1String(name)))
            part->setAccessibleName(text);
}

void TCalendarForm::setVisible(bool visible)
{
    if (visible && !isVisible())
        centreOverParent(this);
    QDialog::setVisible(visible);
}

QString TCalendarForm::selectedDateText() const
{
    return m_texts.date(MonthCalendar1->selectedDate());
}

void TCalendarForm::BitBtn1Click()
{
    emit datePicked(selectedDateText());
}

void TCalendarForm::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // Shape1: a green frame, two pixels wide, around the client area.
    QPainter p(this);
    QPen pen(QColor(0, 128, 0));
    pen.setWidth(2);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.drawRect(QRect(2, 3, 510, 283).adjusted(1, 1, -1, -1));
}

bool TCalendarForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BitBtn1->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kv
