// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopEntry.h"

#include "Errors.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

// GLib names a member `signals`, which is one of Qt's keywords.
#undef signals
#include <gio/gdesktopappinfo.h>

namespace kv {

namespace {

void ownSession(gpointer)
{
    ::setsid();
}

} // namespace

QString DesktopEntry::launch(const QString &fileName)
{
    GDesktopAppInfo *info =
        g_desktop_app_info_new_from_filename(QFile::encodeName(fileName).constData());
    if (!info)
        return whyNotLaunchable(fileName);
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    GError *error = nullptr;
    // Without G_SPAWN_DO_NOT_REAP_CHILD the program is started through a child
    // that ends at once, so nothing is left to collect.
    const bool launched = g_desktop_app_info_launch_uris_as_manager_with_fds(
        info, nullptr, nullptr, G_SPAWN_SEARCH_PATH, ownSession, nullptr, nullptr, nullptr, nothing,
        nothing, nothing, &error);
    if (nothing >= 0)
        ::close(nothing);
    g_object_unref(info);
    if (launched)
        return {};
    const QString reason = QString::fromUtf8(error->message);
    g_error_free(error);
    return tr("The launcher %1 could not start its program: %2")
        .arg(excerpt(QFileInfo(fileName).fileName()), reason);
}

QString DesktopEntry::whyNotLaunchable(const QString &fileName)
{
    const QString name = excerpt(QFileInfo(fileName).fileName());
    GKeyFile *file = g_key_file_new();
    QString program;
    if (g_key_file_load_from_file(file, QFile::encodeName(fileName).constData(), G_KEY_FILE_NONE,
                                  nullptr)) {
        gchar *exec = g_key_file_get_string(file, G_KEY_FILE_DESKTOP_GROUP,
                                            G_KEY_FILE_DESKTOP_KEY_EXEC, nullptr);
        gchar **argv = nullptr;
        if (exec && g_shell_parse_argv(exec, nullptr, &argv, nullptr)) {
            gchar *found = g_find_program_in_path(argv[0]);
            if (!found)
                program = QString::fromUtf8(argv[0]);
            g_free(found);
            g_strfreev(argv);
        }
        g_free(exec);
    }
    g_key_file_free(file);
    if (!program.isEmpty())
        return tr("The program %1 that the launcher %2 starts cannot be found.")
            .arg(excerpt(program), name);
    return tr("%1 is not a launcher of an application that can be started here.").arg(name);
}

} // namespace kv
