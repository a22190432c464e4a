// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopEntry.h"

#include "Errors.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
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

// GIO, which the launch alone needs, is loaded at the first launch: linked,
// it and the five libraries it pulls in would be mapped at every start.
struct Gio
{
    decltype(&g_desktop_app_info_new_from_filename) appInfo = nullptr;
    decltype(&g_desktop_app_info_launch_uris_as_manager_with_fds) launch = nullptr;
    decltype(&g_object_unref) unref = nullptr;
    QString failure;
};

template <typename Function> void resolve(void *library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
}

const Gio &gio()
{
    static const Gio loaded = [] {
        Gio gio;
        void *library = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (library) {
            resolve(library, "g_desktop_app_info_new_from_filename", gio.appInfo);
            resolve(library, "g_desktop_app_info_launch_uris_as_manager_with_fds", gio.launch);
            resolve(library, "g_object_unref", gio.unref);
        }
        if (!gio.appInfo || !gio.launch || !gio.unref) {
            const char *why = ::dlerror();
            gio.failure = why ? QString::fromLocal8Bit(why) : QStringLiteral("libgio-2.0.so.0");
        }
        return gio;
    }();
    return loaded;
}

} // namespace

QString DesktopEntry::launch(const QString &fileName)
{
    const Gio &gio = kv::gio();
    if (!gio.failure.isEmpty())
        return tr("The launcher %1 could not start its program: %2")
            .arg(excerpt(QFileInfo(fileName).fileName()), gio.failure);
    GDesktopAppInfo *info = gio.appInfo(QFile::encodeName(fileName).constData());
    if (!info)
        return whyNotLaunchable(fileName);
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    GError *error = nullptr;
    // Without G_SPAWN_DO_NOT_REAP_CHILD the program is started through a child
    // that ends at once, so nothing is left to collect.
    const bool launched = gio.launch(info, nullptr, nullptr, G_SPAWN_SEARCH_PATH, ownSession,
                                     nullptr, nullptr, nullptr, nothing, nothing, nothing, &error);
    if (nothing >= 0)
        ::close(nothing);
    gio.unref(info);
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
