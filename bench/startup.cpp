// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up against a bare Qt window with a tray icon: both run alternately on a
// private X server with a window manager, a tray host and a private session bus.
// Prints the medians of the time from the start to the mapped main window and of
// the resident memory 2 s after it, and their ratios. Fails only when a program
// does not show its window.
//
//   startup [runs [program]]   runs of each program, 7 unless told; the built
//                              program unless another one is named
#include "DateTimeText.h"
#include "TaskBaseFormat.h"
#include "TaskTable.h"
#include "XvfbServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <xcb/xcb.h>

namespace {

struct Sample
{
    double ms = 0;
    double rssMiB = 0;
};

class Display
{
public:
    explicit Display(const QString &name) : m_c(xcb_connect(qPrintable(name), nullptr)) {}
    ~Display() { xcb_disconnect(m_c); }
    bool ok() const { return xcb_connection_has_error(m_c) == 0; }

    xcb_atom_t atom(const char *name)
    {
        auto *reply = xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, uint16_t(qstrlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    }
    bool selectionOwned(xcb_atom_t selection)
    {
        auto *reply =
            xcb_get_selection_owner_reply(m_c, xcb_get_selection_owner(m_c, selection), nullptr);
        const bool owned = reply && reply->owner != XCB_WINDOW_NONE;
        free(reply);
        return owned;
    }
    // A managed window of the process, mapped.
    bool mappedWindowOf(qint64 pid)
    {
        static const xcb_atom_t clients = atom("_NET_CLIENT_LIST");
        static const xcb_atom_t wmPid = atom("_NET_WM_PID");
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        for (const uint32_t window : cardinals(root, clients, XCB_ATOM_WINDOW)) {
            const QList<uint32_t> owner = cardinals(window, wmPid, XCB_ATOM_CARDINAL);
            if (owner.isEmpty() || owner.first() != pid)
                continue;
            auto *attributes = xcb_get_window_attributes_reply(
                m_c, xcb_get_window_attributes(m_c, window), nullptr);
            const bool mapped = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            free(attributes);
            if (mapped)
                return true;
        }
        return false;
    }

private:
    QList<uint32_t> cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
    {
        QList<uint32_t> values;
        auto *reply = xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, window, property, type, 0, 1024), nullptr);
        if (reply && reply->format == 32) {
            const auto *data = static_cast<const uint32_t *>(xcb_get_property_value(reply));
            values = QList<uint32_t>(data, data + xcb_get_property_value_length(reply) / 4);
        }
        free(reply);
        return values;
    }

    xcb_connection_t *m_c;
};

double residentMiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

// A base of 20 tasks due tomorrow, daily, so that none fires during the run.
void writeBase(const QString &path)
{
    kv::TaskTable table;
    const QString when = kv::DateTimeText().dateTime(QDateTime::currentDateTime().addDays(1));
    for (int i = 0; i < 20; ++i)
        table.appendTask(when, QStringLiteral("report%1.txt").arg(i), QStringLiteral("/tmp/"),
                         QStringLiteral("Every day"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(kv::TaskBaseFormat::encode(table));
}

std::optional<Sample> runOnce(Display &display, const QProcessEnvironment &base,
                              const QString &program, bool kronvale)
{
    QTemporaryDir home;
    QString binary = program;
    if (kronvale) {
        // The program keeps its base beside itself when it may write there.
        binary = home.filePath(QStringLiteral("bin/kronvale"));
        QDir().mkpath(home.filePath(QStringLiteral("bin")));
        if (!QFile::copy(program, binary))
            return std::nullopt;
        writeBase(home.filePath(QStringLiteral("bin/KV.log")));
    }
    QProcessEnvironment env = base;
    env.insert(QStringLiteral("HOME"), home.path());
    const QDir folder(home.path());
    QDir().mkpath(folder.filePath(QStringLiteral("runtime")));
    QFile::setPermissions(folder.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), folder.filePath(QStringLiteral("cache")));

    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(binary, {});
    if (!process.waitForStarted(5000))
        return std::nullopt;
    std::optional<Sample> sample;
    while (clock.elapsed() < 20000 && process.state() == QProcess::Running) {
        if (display.mappedWindowOf(process.processId())) {
            sample = Sample{double(clock.nsecsElapsed()) / 1e6, 0};
            break;
        }
        QThread::usleep(1000);
    }
    if (sample) {
        QThread::msleep(2000);
        sample->rssMiB = residentMiB(process.processId());
    }
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(2000);
    }
    return sample;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Stops a helper process with the benchmark.
struct Helper
{
    QProcess process;
    ~Helper()
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(1000);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 7;

    kv::test::XvfbServer xvfb(kv::test::XvfbServer::WithWindowManager);
    if (!xvfb.isRunning()) {
        std::fprintf(stderr, "Xvfb or openbox did not start\n");
        return 1;
    }
    Display display(xvfb.display());
    if (!display.ok())
        return 1;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), xvfb.display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));

    // A session bus of its own, as a desktop session has one.
    Helper bus;
    bus.process.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address=1")});
    if (!bus.process.waitForReadyRead(5000)) {
        std::fprintf(stderr, "dbus-daemon did not start\n");
        return 1;
    }
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QString::fromUtf8(bus.process.readLine().trimmed()));

    Helper tray;
    tray.process.setProcessEnvironment(env);
    tray.process.start(QStringLiteral("trayer"),
                       {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                        QStringLiteral("right"), QStringLiteral("--widthtype"),
                        QStringLiteral("request"), QStringLiteral("--height"),
                        QStringLiteral("24")});
    const xcb_atom_t traySelection = display.atom("_NET_SYSTEM_TRAY_S0");
    QElapsedTimer waited;
    waited.start();
    while (!display.selectionOwned(traySelection) && waited.elapsed() < 10000)
        QThread::msleep(20);
    if (!display.selectionOwned(traySelection)) {
        std::fprintf(stderr, "trayer did not start\n");
        return 1;
    }

    const QString programs[] = {QStringLiteral(KV_BARE_WINDOW),
                                argc > 2 ? QString::fromLocal8Bit(argv[2])
                                         : QStringLiteral(KV_PROGRAM)};
    QList<double> ms[2], rss[2];
    for (int run = 0; run < runs; ++run) {
        for (int which = 0; which < 2; ++which) {
            const auto sample = runOnce(display, env, programs[which], which == 1);
            if (!sample) {
                std::fprintf(stderr, "%s showed no window\n", qPrintable(programs[which]));
                return 1;
            }
            ms[which] << sample->ms;
            rss[which] << sample->rssMiB;
            std::printf("run %d %-10s %7.1f ms %6.1f MiB\n", run + 1, which ? "kronvale" : "bare",
                        sample->ms, sample->rssMiB);
            std::fflush(stdout);
        }
    }
    const double bareMs = median(ms[0]), ourMs = median(ms[1]);
    const double bareRss = median(rss[0]), ourRss = median(rss[1]);
    std::printf("medians of %d: window after %.1f ms (bare %.1f ms), ratio %.2f\n", runs, ourMs,
                bareMs, ourMs / bareMs);
    std::printf("               resident %.1f MiB (bare %.1f MiB), ratio %.2f\n", ourRss, bareRss,
                ourRss / bareRss);
    return 0;
}
