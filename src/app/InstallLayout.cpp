// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstallLayout.h"

#include "Links.h"
#include "TaskBase.h"
#include "UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <utility>

namespace kv {

namespace {

class Texts
{
    Q_DECLARE_TR_FUNCTIONS(InstallLayout)
};

} // namespace

InstallLayout::InstallLayout(QString programFolder) : m_programFolder(std::move(programFolder)) {}

QString InstallLayout::shareFolder() const
{
    return QDir::cleanPath(m_programFolder + QStringLiteral("/../share"));
}

bool InstallLayout::isInstalled() const
{
    return QFileInfo(m_programFolder).fileName() == QLatin1String("bin") &&
           QFileInfo(shareFolder() + QStringLiteral("/kronvale")).isDir();
}

QString InstallLayout::helpPage(const QString &language) const
{
    QStringList names{links::helpFileName()};
    if (!language.isEmpty())
        names.prepend(QFileInfo(names.first()).completeBaseName() + u'_' + language +
                      QStringLiteral(".html"));
    for (const QString &name : names) {
        const QString beside = QDir(m_programFolder).filePath(name);
        if (QFileInfo(beside).isFile())
            return beside;
        const QString installed = shareFolder() + QStringLiteral("/kronvale/") + name;
        if (isInstalled() && QFileInfo(installed).isFile())
            return installed;
    }
    return {};
}

QString InstallLayout::baseFolder(const QString &dataFolder) const
{
    if (!isInstalled())
        return TaskBase::chooseFolder(m_programFolder, dataFolder);
    QDir().mkpath(dataFolder);
    return dataFolder;
}

QString InstallLayout::wakeAlarmHelper() const
{
    const QString name = QStringLiteral("kronvale-wakealarm");
    const QString beside = QDir(m_programFolder).filePath(name);
    if (QFileInfo(beside).isFile() || !isInstalled())
        return beside;
    return QDir::cleanPath(m_programFolder + QStringLiteral("/" KRONVALE_HELPER_FROM_BIN "/") +
                           name);
}

QString InstallLayout::noBaseFolder()
{
    //: %1 says why, e.g. "there is no home folder: HOME is not set to an absolute path".
    return Texts::tr("Kronvale has no folder for its task list, so it does not start: %1")
        .arg(UserFolders::noHomeText());
}

void InstallLayout::addIconsToTheme() const
{
    const QString icons = shareFolder() + QStringLiteral("/icons");
    QStringList paths = QIcon::themeSearchPaths();
    if (isInstalled() && !paths.contains(icons)) {
        paths.prepend(icons);
        QIcon::setThemeSearchPaths(paths);
    }
}

} // namespace kv
