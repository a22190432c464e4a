// SPDX-License-Identifier: GPL-3.0-or-later
#include "Translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>

namespace kv {

namespace {

QString g_installed;

// The catalogue for the first language that the program speaks, in the form
// of its file name: "ru-RU" is looked for as ru_RU, then as ru.
QString chooseLanguage(const QStringList &uiLanguages, const QString &catalogues)
{
    for (const QString &uiLanguage : uiLanguages) {
        QString name = uiLanguage;
        name.replace(QLatin1Char('-'), QLatin1Char('_'));
        const QString primary = name.section(QLatin1Char('_'), 0, 0);
        // The source texts are English; "C" is the system's untranslated locale.
        if (primary == QLatin1String("en") || primary == QLatin1String("C"))
            return {};
        for (; !name.isEmpty(); name = name.section(QLatin1Char('_'), 0, -2))
            if (QFileInfo::exists(catalogues + QStringLiteral("/kronvale_") + name +
                                  QStringLiteral(".qm")))
                return name;
    }
    return {};
}

} // namespace

Translations::Translations(const QStringList &uiLanguages, const QString &catalogues)
    : m_language(chooseLanguage(uiLanguages, catalogues))
{
    if (m_language.isEmpty())
        return;
    if (!m_program.load(catalogues + QStringLiteral("/kronvale_") + m_language +
                        QStringLiteral(".qm"))) {
        m_language.clear();
        return;
    }
    // Debian's Qt translations; a copy of the program without them shows Qt's
    // buttons in English.
    (void)m_qt.load(QStringLiteral("qtbase_") + m_language,
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

Translations::~Translations()
{
    if (!m_installed)
        return;
    QCoreApplication::removeTranslator(&m_program);
    QCoreApplication::removeTranslator(&m_qt);
    g_installed.clear();
}

void Translations::install()
{
    if (m_installed || m_language.isEmpty())
        return;
    if (!m_qt.isEmpty())
        QCoreApplication::installTranslator(&m_qt);
    QCoreApplication::installTranslator(&m_program);
    m_installed = true;
    g_installed = m_language;
}

QString Translations::installed()
{
    return g_installed;
}

} // namespace kv
