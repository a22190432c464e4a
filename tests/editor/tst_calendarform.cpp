// SPDX-License-Identifier: GPL-3.0-or-later
#include "Errors.h"
#include "ZephButton.h"
#include "editor_support.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QSignalSpy>
#include <QTest>

using kv::TCalendarForm;

class TestCalendarForm : public QObject
{
    Q_OBJECT

private slots:
    void firstOkGivesStoredDate();
    void pickedDateStaysSelected();
    void okKeys_data();
    void okKeys();
    void cancelWaysPickNothing_data();
    void cancelWaysPickNothing();
    void dateTextFollowsLocale_data();
    void dateTextFollowsLocale();
    void everyPickableDatePasses_data();
    void everyPickableDatePasses();

private:
    const kv::DateTimeText german{QLocale(QLocale::German, QLocale::Germany)};
};

void TestCalendarForm::firstOkGivesStoredDate()
{
    TCalendarForm calendar(nullptr, german);
    QSignalSpy picked(&calendar, &TCalendarForm::datePicked);
    calendar.open();
    calendar.BitBtn1->click();
    QVERIFY(!calendar.isVisible());
    QCOMPARE(calendar.result(), int(QDialog::Accepted));
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.at(0).at(0).toString(), "26.11.2007");
}

void TestCalendarForm::pickedDateStaysSelected()
{
    TCalendarForm calendar(nullptr, german);
    QSignalSpy picked(&calendar, &TCalendarForm::datePicked);
    calendar.open();
    calendar.MonthCalendar1->setSelectedDate(QDate(2031, 3, 3));
    calendar.BitBtn1->click();
    calendar.open();
    QCOMPARE(calendar.MonthCalendar1->selectedDate(), QDate(2031, 3, 3));
    calendar.BitBtn1->click();
    QCOMPARE(picked.count(), 2);
    QCOMPARE(picked.at(1).at(0).toString(), "03.03.2031");
}

void TestCalendarForm::okKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
}

// Enter on the day grid picks the day, as the default button would.
void TestCalendarForm::okKeys()
{
    QFETCH(int, key);
    TCalendarForm calendar(nullptr, german);
    QSignalSpy picked(&calendar, &TCalendarForm::datePicked);
    calendar.open();
    auto *days = calendar.MonthCalendar1->findChild<QAbstractItemView *>();
    QVERIFY(days);
    QTest::keyClick(days, Qt::Key_Right); // the next day
    QTest::keyClick(days, Qt::Key(key));
    QVERIFY(!calendar.isVisible());
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.at(0).at(0).toString(), "27.11.2007");
}

void TestCalendarForm::cancelWaysPickNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("Esc on the day grid") << "Esc";
    QTest::newRow("close box") << "close box";
}

void TestCalendarForm::cancelWaysPickNothing()
{
    QFETCH(QString, how);
    TCalendarForm calendar(nullptr, german);
    QSignalSpy picked(&calendar, &TCalendarForm::datePicked);
    calendar.open();
    if (how == "Cancel")
        calendar.BitBtn2->click();
    else if (how == "Esc")
        QTest::keyClick(calendar.MonthCalendar1->findChild<QAbstractItemView *>(), Qt::Key_Escape);
    else
        QVERIFY(calendar.close());
    QVERIFY(!calendar.isVisible());
    QVERIFY(calendar.result() != QDialog::Accepted);
    QCOMPARE(picked.count(), 0);
}

void TestCalendarForm::dateTextFollowsLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");

    QTest::newRow("day first") << QLocale(QLocale::German, QLocale::Germany) << "26.11.2007";
    QTest::newRow("month first") << QLocale(QLocale::English, QLocale::UnitedStates)
                                 << "11/26/2007";
    QTest::newRow("year first") << QLocale(QLocale::Swedish, QLocale::Sweden) << "2007-11-26";
}

// The picked text must be one the date check accepts in the same locale.
void TestCalendarForm::dateTextFollowsLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    const kv::DateTimeText texts(locale);
    TCalendarForm calendar(nullptr, texts);
    QCOMPARE(calendar.selectedDateText(), text);
    QCOMPARE(texts.toDate(text), QDate(2007, 11, 26));
}

void TestCalendarForm::everyPickableDatePasses_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("day first") << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("month first") << QLocale(QLocale::English, QLocale::UnitedStates);
}

// OK writes straight into the date fields, so the earliest and the latest day
// the calendar lets the user pick must be dates the editor accepts.
void TestCalendarForm::everyPickableDatePasses()
{
    QFETCH(QLocale, locale);
    const kv::DateTimeText texts(locale);
    TCalendarForm calendar(nullptr, texts);
    for (const QDate date :
         {calendar.MonthCalendar1->minimumDate(), calendar.MonthCalendar1->maximumDate()}) {
        calendar.MonthCalendar1->setSelectedDate(date);
        const QString text = calendar.selectedDateText();
        try {
            QCOMPARE(texts.toDate(text), date);
        } catch (const kv::Error &) {
            QFAIL(qPrintable(text + " is refused"));
        }
    }
}

QTEST_MAIN(TestCalendarForm)
#include "tst_calendarform.moc"
