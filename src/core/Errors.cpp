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

QString excerpt(const QString &text, qsizetype longest)
{
    if (text.size() <= longest)
        return text;
    qsizetype cut = longest;
    if (text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.first(cut) + QChar(0x2026);
}

QString printable(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        const bool control =
            code < 0x20 || (code >= 0x7f && code < 0xa0) || code == 0x2028 || code == 0x2029;
        if (!control) {
            shown += c;
            continue;
        }
        switch (code) {
        case u'\t':
            shown += u"\\t";
            break;
        case u'\n':
            shown += u"\\n";
            break;
        case u'\r':
            shown += u"\\r";
            break;
        case 0x1b:
            shown += u"\\e";
            break;
        default:
            shown += QStringLiteral("\\x%1").arg(int(code), 2, 16, QLatin1Char('0'));
        }
    }
    return shown;
}

QString printableExcerpt(const QString &text, qsizetype longest)
{
    // Cut before escaping too: a huge cell costs no more than its copy.
    return excerpt(printable(excerpt(text, longest)), longest);
}

QString standardErrorText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

} // namespace kv
