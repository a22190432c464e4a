// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace kv {

// The caption of every message box of the program.
QString applicationTitle();

// A failure of conversion or of file input and output. Raised by the operation
// and caught by the handler that started it, which shows it in the standard
// error box; it never crosses the event loop.
class Error : public std::exception
{
public:
    explicit Error(QString message);
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The runtime's message as the error box shows it: a full stop is appended only
// when the last character sorts after ".", so "...!" and "...." stay as they are.
QString standardErrorText(const QString &message);

// A text of the user's as a message quotes it: cut to a readable length, with an
// ellipsis, so that a huge cell costs no more than its copy.
QString excerpt(const QString &text, qsizetype longest = 60);

// A text of the user's as one line of the journal or of a notice shows it:
// control characters written as escapes (\t, \n, \r, \e, \xNN), so that no
// cell can break a line, ring a bell or drive the terminal that shows it.
QString printable(const QString &text);
// Reasons quote file names and other programs' words: they get more room.
constexpr qsizetype kLongestReason = 300;
// Both: escaped, then cut.
QString printableExcerpt(const QString &text, qsizetype longest = 60);

// Where errors go to be shown: the standard error box in the program, a
// recorder in tests.
class ErrorSink
{
public:
    virtual ~ErrorSink() = default;
    void showError(const QString &message) { present(standardErrorText(message)); }
    void showError(const Error &error) { showError(error.message()); }

protected:
    virtual void present(const QString &text) = 0;
};

} // namespace kv
