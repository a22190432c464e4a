// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserFolders.h"

#include <QCoreApplication>
#include <QDir>

namespace kv::UserFolders {

namespace {

class Texts
{
    Q_DECLARE_TR_FUNCTIONS(UserFolders)
};

QString absoluteFrom(const char *variable)
{
    const QString path = QFile::decodeName(qgetenv(variable));
    return QDir::isAbsolutePath(path) ? QDir::cleanPath(path) : QString();
}

QString folder(const char *variable, const char *underHome)
{
    if (QString path = absoluteFrom(variable); !path.isEmpty())
        return path;
    const QString home = absoluteFrom("HOME");
    return home.isEmpty() ? QString() : QDir(home).filePath(QLatin1String(underHome));
}

} // namespace

QString configHome()
{
    return folder("XDG_CONFIG_HOME", ".config");
}

QString dataHome()
{
    return folder("XDG_DATA_HOME", ".local/share");
}

QString cacheHome()
{
    return folder("XDG_CACHE_HOME", ".cache");
}

QString programData()
{
    const QString home = dataHome();
    return home.isEmpty() ? home : QDir(home).filePath(QCoreApplication::applicationName());
}

QString noHomeText()
{
    //: Why the user's own files cannot be written. HOME is the environment variable.
    return Texts::tr("there is no home folder: HOME is not set to an absolute path");
}

} // namespace kv::UserFolders
