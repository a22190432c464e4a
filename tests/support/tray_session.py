# SPDX-License-Identifier: GPL-3.0-or-later
"""What the checks of the program in real desktop sessions share: running from
a copy of the program as nobody, waiting by polling, the session's child
processes, a private session bus, a mock logind on a private system bus, and
the program's StatusNotifierItem with its menu."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import dbus

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
PROPERTIES = "org.freedesktop.DBus.Properties"


def run_aside(script, extra=()):
    """Runs `script` (usage: SCRIPT PROGRAM [SCREENSHOT_DIR]) from a copy of the
    program's folder, as nobody when started as root: desktop shells refuse
    root, and nobody may not reach root's build tree. The program keeps its
    base in the test's data folder, its own folder being read-only. Returns the
    program, the screenshot folder or None, and the copy for end() at the
    end; re-executes the script before that, with the `extra` files beside it."""
    if "--remove" in sys.argv:
        at = sys.argv.index("--remove")
        args = sys.argv[:at]
        return (os.path.abspath(args[1]), os.path.abspath(args[2]) if len(args) > 2 else None,
                sys.argv[at + 1])
    aside = tempfile.mkdtemp(prefix="kv-program-")
    built = os.path.dirname(os.path.abspath(sys.argv[1]))
    for name in os.listdir(built):
        if os.path.isfile(os.path.join(built, name)) and not name.endswith(".a"):
            shutil.copy2(os.path.join(built, name), aside)
    for name in (script, __file__, *extra):
        shutil.copy2(name, aside)
    command = [sys.executable, os.path.join(aside, os.path.basename(script)),
               os.path.join(aside, os.path.basename(sys.argv[1])), *sys.argv[2:],
               "--remove", aside]
    if os.getuid() == 0:
        for name in [aside] + [os.path.join(aside, n) for n in os.listdir(aside)]:
            os.chown(name, 65534, 65534)
        if len(sys.argv) > 2:
            os.makedirs(sys.argv[2], exist_ok=True)
            os.chown(sys.argv[2], 65534, 65534)
        command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"] + command
    os.chmod(aside, 0o555)
    os.execvp(command[0], command)


def end(session, home, aside):
    """Ends the session's processes (KV_KEEP_LOG=1 prints its log), and removes
    its home and the program's copy."""
    if session:
        session.close(bool(os.environ.get("KV_KEEP_LOG")))
    shutil.rmtree(home, ignore_errors=True)
    os.chmod(aside, 0o700)
    shutil.rmtree(aside, ignore_errors=True)


def fail(message):
    print("FAIL:", message, flush=True)
    raise SystemExit(1)


def wait(what, condition, timeout=60):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    fail("timed out waiting for " + what)


class Session:
    """A temporary home with a private runtime folder and session bus; the
    processes started in it end with it."""

    def __init__(self, home):
        self.home = home
        run = os.path.join(home, "run")
        os.mkdir(run, 0o700)
        self.env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=run,
                        XDG_CONFIG_HOME=home + "/config", XDG_DATA_HOME=home + "/data",
                        XDG_CACHE_HOME=home + "/cache", LANGUAGE="en", LC_ALL="C.UTF-8",
                        # Power calls go nowhere, whatever a test's task does.
                        DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent")
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "SWAYSOCK", "XAUTHORITY"):
            self.env.pop(name, None)
        self.log = open(os.path.join(home, "log.txt"), "w")
        self.children = []
        daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                  env=self.env, stdout=subprocess.PIPE, text=True)
        self.children.append(daemon)
        address = daemon.stdout.readline().strip()
        self.env["DBUS_SESSION_BUS_ADDRESS"] = os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        self.bus = dbus.SessionBus()
        self.names = self.bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")

    def mock_logind(self):
        """A mock logind on a private system bus, which the session's processes
        get as theirs; returns its manager object, whose GetCalls() lists the
        calls it had."""
        daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                  env=self.env, stdout=subprocess.PIPE, text=True)
        self.children.append(daemon)
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = daemon.stdout.readline().strip()
        mock = self.start(["/usr/bin/python3", "-m", "dbusmock", "--system", "--template",
                           "logind"])
        bus = dbus.bus.BusConnection(self.env["DBUS_SYSTEM_BUS_ADDRESS"])
        names = bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
        wait("the mock logind", lambda: mock.poll() is None and names.NameHasOwner(
            "org.freedesktop.login1", dbus_interface="org.freedesktop.DBus"))
        return dbus.Interface(bus.get_object("org.freedesktop.login1", "/org/freedesktop/login1"),
                              "org.freedesktop.DBus.Mock")

    def start(self, args, **extra):
        child = subprocess.Popen(args, env=dict(self.env, **extra), stdout=self.log,
                                 stderr=subprocess.STDOUT)
        self.children.append(child)
        return child

    @staticmethod
    def stop(child):
        if child.poll() is None:
            child.terminate()
            try:
                child.wait(10)
            except subprocess.TimeoutExpired:
                child.kill()
                child.wait()

    def close(self, show_log):
        for child in reversed(self.children):
            self.stop(child)
        self.log.close()
        if show_log:
            print(open(self.log.name).read()[-8000:])

    def owned(self, prefix):
        return [name for name in self.names.ListNames(dbus_interface="org.freedesktop.DBus")
                if name.startswith(prefix)]

    def item_of(self, pid):
        """The item that the watcher lists for the process, or None."""
        watcher = self.bus.get_object(WATCHER, "/StatusNotifierWatcher")
        for entry in watcher.Get(WATCHER, "RegisteredStatusNotifierItems",
                                 dbus_interface=PROPERTIES):
            # The service, maybe with the item's path.
            service, _, path = str(entry).partition("/")
            try:
                if self.names.GetConnectionUnixProcessID(
                        service, dbus_interface="org.freedesktop.DBus") == pid:
                    return self.bus.get_object(service, "/" + (path or "StatusNotifierItem"))
            except dbus.DBusException:
                pass
        return None

    def menu_of(self, item):
        """The item's menu and its items' ids by label; fails unless it is the
        tray menu."""
        menu = self.bus.get_object(item.bus_name,
                                   item.Get(ITEM, "Menu", dbus_interface=PROPERTIES))
        _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"), dbus_interface=MENU)
        labels = {str(child[1].get("label", "")).replace("&", ""): int(child[0])
                  for child in layout[2] if child[1].get("type", "") != "separator"}
        if list(labels) != ["Open", "Start at login", "Wake the computer for tasks", "Close"]:
            fail("the menu holds %s" % list(labels))
        return menu, labels


def check_names(item, app_id):
    """Fails unless hosts list the item as the program by its desktop name."""
    names = [str(item.Get(ITEM, name, dbus_interface=PROPERTIES)) for name in ("Title", "Id")]
    if names != ["Kronvale", app_id]:
        fail("the item's title and id are %s" % names)
    # GetAll, which hosts built on GDBus read, with the rest of the item.
    everything = item.GetAll(ITEM, dbus_interface=PROPERTIES)
    if [str(everything.get(name)) for name in ("Title", "Id")] != names or \
            "IconPixmap" not in everything or str(everything.get("Menu")) != "/MenuBar":
        fail("the item's properties are %s" % sorted(everything))


def click(menu, labels, label):
    menu.Event(labels[label], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
               dbus_interface=MENU)
