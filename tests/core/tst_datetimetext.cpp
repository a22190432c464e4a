// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateTimeText.h"
#include "Errors.h"

#include <QProcess>
#include <QTest>

#include <cstdio>

using kv::DateTimeText;

class TestDateTimeText : public QObject
{
    Q_OBJECT

private slots:
    void dateFormatFollowsLocale_data();
    void dateFormatFollowsLocale();
    void systemLocaleWithCFormats();
    void dateRoundTrip_data();
    void dateRoundTrip();
    void invalidDate_data();
    void invalidDate();
    void time_data();
    void time();
    void invalidTime_data();
    void invalidTime();
    void cellParts_data();
    void cellParts();
    void toInt_data();
    void toInt();
    void standardErrorText_data();
    void standardErrorText();
};

void TestDateTimeText::dateFormatFollowsLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("format");
    QTest::newRow("German") << "de_DE"
                            << "dd.MM.yyyy";
    QTest::newRow("Russian") << "ru_RU"
                             << "dd.MM.yyyy";
    QTest::newRow("US English") << "en_US"
                                << "MM/dd/yyyy";
    QTest::newRow("British English") << "en_GB"
                                     << "dd/MM/yyyy";
    QTest::newRow("Swedish") << "sv_SE"
                             << "yyyy-MM-dd";
    QTest::newRow("Korean") << "ko_KR"
                            << "yyyy-MM-dd";
    QTest::newRow("Hungarian") << "hu_HU"
                               << "yyyy-MM-dd";
    QTest::newRow("C") << "C"
                       << "dd.MM.yyyy";
}

void TestDateTimeText::dateFormatFollowsLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, format);
    QCOMPARE(DateTimeText::dateFormatFor(QLocale(locale)), format);
    QCOMPARE(DateTimeText(QLocale(locale)).dateFormat().size(), 10);
}

// QLocale::system() is read once per process from the environment, so the case
// runs in a child started with LANG=C.UTF-8 and LANGUAGE=ru: Qt then names the
// locale Russian and keeps C's formats, which once read as ISO dates.
void TestDateTimeText::systemLocaleWithCFormats()
{
    auto env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LC_MESSAGES"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("ru"));
    env.insert(QStringLiteral("KV_LOCALE_CHILD"), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(30000));
    QVERIFY2(child.exitCode() == 0, child.readAllStandardOutput().constData());
}

void TestDateTimeText::dateRoundTrip_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::newRow("German") << "de_DE" << QDate(2026, 12, 7) << "07.12.2026";
    QTest::newRow("US") << "en_US" << QDate(2026, 3, 4) << "03/04/2026";
    QTest::newRow("ISO") << "ko_KR" << QDate(2026, 3, 4) << "2026-03-04";
    QTest::newRow("leap day") << "de_DE" << QDate(2028, 2, 29) << "29.02.2028";
    QTest::newRow("early year") << "de_DE" << QDate(812, 1, 1) << "01.01.0812";
}

void TestDateTimeText::dateRoundTrip()
{
    QFETCH(QString, locale);
    QFETCH(QDate, date);
    QFETCH(QString, text);
    const DateTimeText texts{QLocale(locale)};
    QCOMPARE(texts.date(date), text);
    QCOMPARE(texts.toDate(text), date);
}

void TestDateTimeText::invalidDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("short day") << "7.12.2026";
    QTest::newRow("other separator") << "07/12/2026";
    QTest::newRow("month 13") << "07.13.2026";
    QTest::newRow("30 February") << "30.02.2026";
    QTest::newRow("29 February, common year") << "29.02.2027";
    QTest::newRow("letters") << "0a.12.2026";
    QTest::newRow("year 0") << "01.01.0000";
    QTest::newRow("sign") << "+7.12.2026";
}

void TestDateTimeText::invalidDate()
{
    QFETCH(QString, text);
    try {
        DateTimeText(QLocale(QStringLiteral("de_DE"))).toDate(text);
        QFAIL("accepted");
    } catch (const kv::Error &e) {
        QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid date").arg(text));
    }
}

void TestDateTimeText::time_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("morning") << QTime(9, 5, 0) << "9:05:00";
    QTest::newRow("evening") << QTime(19, 5, 7) << "19:05:07";
    QTest::newRow("midnight") << QTime(0, 0, 0) << "0:00:00";
    QTest::newRow("last second") << QTime(23, 59, 59) << "23:59:59";
}

void TestDateTimeText::time()
{
    QFETCH(QTime, time);
    QFETCH(QString, text);
    QCOMPARE(DateTimeText::time(time), text);
    QCOMPARE(DateTimeText::toTime(text), time);
    // A leading zero on the hour reads back too.
    QCOMPARE(DateTimeText::toTime(time.toString(QStringLiteral("HH:mm:ss"))), time);
}

void TestDateTimeText::invalidTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("hour 24") << "24:00:00";
    QTest::newRow("minute 60") << "10:60:00";
    QTest::newRow("second 60") << "10:00:60";
    QTest::newRow("no seconds") << "10:00";
    QTest::newRow("one-digit minute") << "10:5:00";
    QTest::newRow("day period") << "10:00:00 PM";
    QTest::newRow("leading blank") << " 9:05:00";
    QTest::newRow("three-digit hour") << "100:00:00";
}

void TestDateTimeText::invalidTime()
{
    QFETCH(QString, text);
    try {
        DateTimeText::toTime(text);
        QFAIL("accepted");
    } catch (const kv::Error &e) {
        QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid time").arg(text));
    }
}

void TestDateTimeText::cellParts_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::newRow("one-digit hour") << "07.12.2026 9:05:00"
                                    << "07.12.2026"
                                    << "9:05:00";
    QTest::newRow("two-digit hour") << "07.12.2026 19:05:00"
                                    << "07.12.2026"
                                    << "19:05:00";
    QTest::newRow("short cell") << "9:05"
                                << "9:05"
                                << "9:05";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void TestDateTimeText::cellParts()
{
    QFETCH(QString, cell);
    QTEST(DateTimeText::datePart(cell), "date");
    QTEST(DateTimeText::timePart(cell), "time");
}

void TestDateTimeText::toInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("leading blanks") << "  12" << true << 12;
    QTest::newRow("signs") << "-5" << true << -5;
    QTest::newRow("plus") << "+5" << true << 5;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << int(-2147483648LL);
    QTest::newRow("too large") << "2147483648" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blank") << " " << false << 0;
    QTest::newRow("trailing blank") << "1 " << false << 0;
    QTest::newRow("letters") << "1a" << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
}

void TestDateTimeText::toInt()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    try {
        const int value = kv::toInt(text);
        QVERIFY(valid);
        QTEST(value, "value");
    } catch (const kv::Error &e) {
        QVERIFY(!valid);
        QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
}

void TestDateTimeText::standardErrorText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "'x' is not a valid date"
                            << "'x' is not a valid date.";
    QTest::newRow("digit") << "I/O error 5"
                           << "I/O error 5.";
    QTest::newRow("full stop") << "The task list is full (254 tasks)."
                               << "The task list is full (254 tasks).";
    QTest::newRow("exclamation") << "12:00 - This time is not correct!"
                                 << "12:00 - This time is not correct!";
    QTest::newRow("parenthesis") << "(x)"
                                 << "(x)";
    QTest::newRow("quote") << "'x'"
                           << "'x'";
    QTest::newRow("empty") << ""
                           << "";
}

void TestDateTimeText::standardErrorText()
{
    QFETCH(QString, message);
    QTEST(kv::standardErrorText(message), "shown");
}

// The child of systemLocaleWithCFormats checks the locale it was started in,
// outside the list of test functions.
static int localeChild(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QLocale system = QLocale::system();
    const QString format = DateTimeText::dateFormatFor(system);
    if (system.language() == QLocale::Russian && format == QStringLiteral("dd.MM.yyyy"))
        return 0;
    std::printf("system locale %s, date format %s\n", qPrintable(system.name()),
                qPrintable(format));
    return 1;
}

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsEmpty("KV_LOCALE_CHILD"))
        return localeChild(argc, argv);
    QCoreApplication app(argc, argv);
    TestDateTimeText test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_datetimetext.moc"
