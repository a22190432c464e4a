// SPDX-License-Identifier: GPL-3.0-or-later
#include "Errors.h"

#include <QCoreApplication>
#include <utility>

namespace kv {

QString applicationTitle()
{
    // The main window's title.
    return QCoreApplication::translate("kv::TMainForm", "Kronvale v1.1");
}

Error::Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

QString excerpt(const QString &text)
{
    constexpr qsizetype kLongest = 60;
    if (text.size() <= kLongest)
        return text;
    qsizetype cut = kLongest;
    if (text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.first(cut) + QChar(0x2026);
}

QString standardErrorText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

} // namespace kv
