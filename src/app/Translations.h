// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

namespace kv {

// The program's texts in the user's language, and Qt's own (the standard
// buttons, the file dialogs) in the same one. The language is the first of the
// user's languages, best first, that the program speaks: English, the language
// of its source texts, or one of its catalogues (:/i18n/kronvale_<language>.qm).
// None fits: English.
class Translations
{
public:
    explicit Translations(const QStringList &uiLanguages,
                          const QString &catalogues = QStringLiteral(":/i18n"));
    ~Translations();
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    // The catalogue's language, as in its file name ("ru"); empty for English.
    const QString &language() const { return m_language; }
    // Into the running application, until this is destroyed.
    void install();
    // The language of the texts installed now; empty for English.
    static QString installed();

private:
    QTranslator m_program;
    QTranslator m_qt;
    QString m_language;
    bool m_installed = false;
};

} // namespace kv
