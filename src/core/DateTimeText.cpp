// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateTimeText.h"

#include "Errors.h"

#include <QCoreApplication>
#include <limits>
#include <optional>

/* TRANSLATOR kv::DateTimeText

   Messages about the cells of a task, shown in the error box. The error box adds a full stop to a
   message unless it ends in ".", "!", ")" or a straight quote mark, so end each translation as its
   English ends.
*/

namespace kv {

namespace {

const QString kIsoFormat = QStringLiteral("yyyy-MM-dd");

struct Pattern
{
    std::array<char, 3> order{};
    QChar separator;
};

// Reads a short date pattern such as "M/d/yy" or "dd.MM.yyyy": exactly three
// numeric fields with one and the same one-character separator between them.
std::optional<Pattern> readPattern(const QString &pattern)
{
    Pattern result;
    int fields = 0;
    int i = 0;
    const int n = int(pattern.size());
    while (i < n) {
        const QChar c = pattern.at(i);
        int run = 1;
        while (i + run < n && pattern.at(i + run) == c)
            ++run;
        const bool expectField = (fields == 0) || (i > 0 && !pattern.at(i - 1).isLetter());
        if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            if (!expectField || fields == 3)
                return std::nullopt;
            if (c != QLatin1Char('y') && run > 2) // named days and months
                return std::nullopt;
            for (int k = 0; k < fields; ++k)
                if (result.order[k] == c.toLatin1())
                    return std::nullopt;
            result.order[fields++] = c.toLatin1();
        } else {
            if (c.isLetter() || c == QLatin1Char('\'') || run != 1 || fields == 0 || fields == 3)
                return std::nullopt;
            if (!result.separator.isNull() && result.separator != c)
                return std::nullopt;
            result.separator = c;
        }
        i += run;
    }
    if (fields != 3)
        return std::nullopt;
    return result;
}

QString invalid(const char *message, const QString &text)
{
    return QCoreApplication::translate("kv::DateTimeText", message).arg(excerpt(text));
}

// Reads count ASCII digits at pos; -1 if any of them is not a digit.
int digits(const QString &text, int pos, int count)
{
    int value = 0;
    for (int k = pos; k < pos + count; ++k) {
        const char16_t c = text.at(k).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

DateTimeText::DateTimeText(const QLocale &locale) : m_format(dateFormatFor(locale))
{
    const auto pattern = readPattern(m_format);
    Q_ASSERT(pattern);
    for (int k = 0; k < 3; ++k)
        m_order[k] = Field(pattern->order[k]);
    m_separator = pattern->separator;
}

QString DateTimeText::dateFormatFor(const QLocale &locale)
{
    // The system locale takes its name from LANGUAGE when LANG is C.UTF-8, and
    // its formats still from C: such a locale is C for the task texts.
    if (locale.language() == QLocale::C ||
        locale.dateFormat(QLocale::ShortFormat) == QLocale::c().dateFormat(QLocale::ShortFormat))
        return QStringLiteral("dd.MM.yyyy");
    const auto pattern = readPattern(locale.dateFormat(QLocale::ShortFormat));
    if (!pattern)
        return kIsoFormat;
    QString format;
    for (int k = 0; k < 3; ++k) {
        if (k > 0)
            format += pattern->separator;
        const char f = pattern->order[k];
        format += f == 'y' ? QStringLiteral("yyyy") : QString(2, QLatin1Char(f));
    }
    return format;
}

QString DateTimeText::date(QDate date) const
{
    QString text;
    for (int k = 0; k < 3; ++k) {
        if (k > 0)
            text += m_separator;
        switch (m_order[k]) {
        case Day:
            text += QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'));
            break;
        case Month:
            text += QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0'));
            break;
        case Year:
            text += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            break;
        }
    }
    return text;
}

QString DateTimeText::time(QTime time)
{
    return QStringLiteral("%1:%2:%3")
        .arg(time.hour())
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'));
}

QString DateTimeText::dateTime(const QDateTime &dateTime) const
{
    return date(dateTime.date()) + QLatin1Char(' ') + time(dateTime.time());
}

QDate DateTimeText::toDate(const QString &text) const
{
    const auto fail = [&] {
        return Error(
            //: %1 is the text that should be a date.
            invalid(QT_TRANSLATE_NOOP("kv::DateTimeText", "'%1' is not a valid date"), text));
    };
    if (text.size() != 10)
        throw fail();
    int day = -1, month = -1, year = -1;
    int pos = 0;
    for (int k = 0; k < 3; ++k) {
        if (k > 0) {
            if (text.at(pos) != m_separator)
                throw fail();
            ++pos;
        }
        const int width = m_order[k] == Year ? 4 : 2;
        const int value = digits(text, pos, width);
        (m_order[k] == Day ? day : m_order[k] == Month ? month : year) = value;
        pos += width;
    }
    const QDate date(year, month, day);
    if (year < 1 || !date.isValid())
        throw fail();
    return date;
}

QTime DateTimeText::toTime(const QString &text)
{
    const auto fail = [&] {
        return Error(
            //: %1 is the text that should be a time.
            invalid(QT_TRANSLATE_NOOP("kv::DateTimeText", "'%1' is not a valid time"), text));
    };
    const int hourDigits = int(text.size()) - 6;
    if (hourDigits < 1 || hourDigits > 2 || text.at(hourDigits) != QLatin1Char(':') ||
        text.at(hourDigits + 3) != QLatin1Char(':'))
        throw fail();
    const int h = digits(text, 0, hourDigits);
    const int m = digits(text, hourDigits + 1, 2);
    const int s = digits(text, hourDigits + 4, 2);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
        throw fail();
    return QTime(h, m, s);
}

QString DateTimeText::timePart(const QString &cell)
{
    const QString last8 = cell.right(8);
    if (last8.size() == 8 && last8.at(0) == QLatin1Char(' '))
        return cell.right(7);
    return last8;
}

int toInt(const QString &text)
{
    const auto fail = [&] {
        return Error(
            //: %1 is a cell of the task list that should hold a whole number (a fired mark or a
            //: start count).
            QCoreApplication::translate("kv::DateTimeText", "'%1' is not a valid integer value")
                .arg(excerpt(text)));
    };
    int i = 0;
    const int n = int(text.size());
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        negative = text.at(i++) == QLatin1Char('-');
    if (i == n)
        throw fail();
    qint64 value = 0;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            throw fail();
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            throw fail();
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        throw fail();
    return int(value);
}

} // namespace kv
