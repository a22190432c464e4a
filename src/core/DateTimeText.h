// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>
#include <array>

namespace kv {

// The date and time texts of the task table: a ten-character date in the
// locale's field order and separator (two-digit day and month, four-digit year),
// one blank, and a 24-hour "H:mm:ss" time. Everything that writes a task writes
// these forms, and everything that reads one accepts exactly these forms.
class DateTimeText
{
public:
    explicit DateTimeText(const QLocale &locale = QLocale::system());

    // The locale's short date pattern made ten characters long, or "yyyy-MM-dd"
    // where that cannot be done.
    static QString dateFormatFor(const QLocale &locale);
    static QString timeFormat() { return QStringLiteral("H:mm:ss"); }

    const QString &dateFormat() const { return m_format; }

    QString date(QDate date) const;
    static QString time(QTime time);
    QString dateTime(const QDateTime &dateTime) const;

    // Both throw kv::Error with the runtime's message on a text they cannot read.
    QDate toDate(const QString &text) const;
    static QTime toTime(const QString &text);

    // The parts of a task's Time cell as the readers take them: the first ten
    // characters; the last eight, or the last seven when the eighth from the end
    // is a blank.
    static QString datePart(const QString &cell) { return cell.left(10); }
    static QString timePart(const QString &cell);

private:
    enum Field : char
    {
        Day = 'd',
        Month = 'M',
        Year = 'y'
    };
    std::array<Field, 3> m_order{Day, Month, Year};
    QChar m_separator = QLatin1Char('.');
    QString m_format;
};

// A decimal integer as the runtime reads one: leading blanks, an optional sign,
// digits, within 32 bits. Throws kv::Error "'%s' is not a valid integer value".
int toInt(const QString &text);

} // namespace kv
