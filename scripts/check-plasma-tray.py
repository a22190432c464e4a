#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The program's tray icon in KDE Plasma: kwin_wayland --virtual with XWayland,
kded (its StatusNotifierWatcher), kactivitymanagerd and plasmashell on a
private session bus. Usage: check-plasma-tray.py PROGRAM [SCREENSHOT_DIR]

Checks that the item registers with KDE's watcher, that its menu holds the tray
menu, that "Open" shows a window started with --tray, and that the window comes
back on screen when plasmashell quits while kded stays. Needs kwin-wayland,
plasma-workspace, kactivitymanagerd, xdotool and, for screenshots,
kde-spectacle."""

import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

import dbus

PROGRAM = os.path.abspath(sys.argv[1])
SHOTS = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
WATCHER = "org.kde.StatusNotifierWatcher"
children = []


def fail(message):
    print("FAIL:", message, flush=True)
    raise SystemExit(1)


def wait(what, condition, timeout=60):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.2)
    fail("timed out waiting for " + what)


def start(args, env, log):
    child = subprocess.Popen(args, env=env, stdout=log, stderr=subprocess.STDOUT)
    children.append(child)
    return child


home = tempfile.mkdtemp(prefix="kv-plasma-")
run = os.path.join(home, "run")
os.mkdir(run, 0o700)
env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=run, XDG_CONFIG_HOME=home + "/config",
           XDG_DATA_HOME=home + "/data", XDG_CACHE_HOME=home + "/cache", LANGUAGE="en",
           LC_ALL="C.UTF-8", XDG_CURRENT_DESKTOP="KDE", KDE_FULL_SESSION="true",
           DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent")
for name in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS"):
    env.pop(name, None)
log = open(os.path.join(home, "log.txt"), "w")
# A copy keeps its base beside it, in the temporary folder.
os.mkdir(home + "/app")
PROGRAM = shutil.copy2(PROGRAM, home + "/app")
status = 1
try:
    daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                              env=env, stdout=subprocess.PIPE, text=True)
    children.append(daemon)
    env["DBUS_SESSION_BUS_ADDRESS"] = os.environ["DBUS_SESSION_BUS_ADDRESS"] = \
        daemon.stdout.readline().strip()
    bus = dbus.SessionBus()
    names = bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")

    def owned(prefix):
        return [n for n in names.ListNames(dbus_interface="org.freedesktop.DBus")
                if n.startswith(prefix)]

    # kwin starts its XWayland and hands DISPLAY to the programs it starts.
    # A copy, without the file capability that a container may refuse to grant.
    kwin = shutil.copy(shutil.which("kwin_wayland"), home + "/kwin_wayland")
    with open(home + "/report", "w") as script:
        script.write("#!/bin/sh\necho \"$XAUTHORITY\" > %s/xauth\n"
                     "echo $DISPLAY > %s/display\nexec sleep 600\n" % (home, home))
    os.chmod(home + "/report", 0o755)
    start([kwin, "--virtual", "--xwayland", "--width", "1280", "--height", "720",
           "--socket", "wayland-kv", home + "/report"], env, log)
    env["WAYLAND_DISPLAY"] = "wayland-kv"
    env["DISPLAY"] = wait("kwin's XWayland", lambda: os.path.exists(home + "/display") and
                          open(home + "/display").read().strip())
    env["XAUTHORITY"] = open(home + "/xauth").read().strip()
    kded = start(["kded5"], env, log)
    wait("kded", lambda: owned("org.kde.kded5"))
    # Without a session manager kded loads its modules when asked.
    bus.get_object("org.kde.kded5", "/kded", introspect=False).loadModule(
        "statusnotifierwatcher", dbus_interface="org.kde.kded5")
    wait("kded's watcher", lambda: owned(WATCHER))
    for path in glob.glob("/usr/lib/*/libexec/kactivitymanagerd"):
        start([path], env, log)
    shell = start(["plasmashell", "--no-respawn"], dict(env, QT_QPA_PLATFORM="wayland"), log)
    wait("plasmashell's tray", lambda: owned("org.kde.StatusNotifierHost-"))

    program = start([PROGRAM, "--tray"], dict(env, QT_QPA_PLATFORM="xcb"), log)

    def visible():
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(program.pid)],
                              env=env, capture_output=True).returncode == 0

    def item():
        watcher = bus.get_object(WATCHER, "/StatusNotifierWatcher")
        for entry in watcher.Get(WATCHER, "RegisteredStatusNotifierItems",
                                 dbus_interface="org.freedesktop.DBus.Properties"):
            service, _, path = str(entry).partition("/")
            if names.GetConnectionUnixProcessID(
                    service, dbus_interface="org.freedesktop.DBus") == program.pid:
                return bus.get_object(service, "/" + (path or "StatusNotifierItem"))
        return None

    sni = wait("the item registered with kded's watcher", item)
    if visible():
        fail("a window started with --tray is on screen")
    menu = bus.get_object(sni.bus_name, sni.Get("org.kde.StatusNotifierItem", "Menu",
                                                dbus_interface="org.freedesktop.DBus.Properties"))
    _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"),
                               dbus_interface="com.canonical.dbusmenu")
    labels = {str(c[1].get("label", "")).replace("&", ""): int(c[0]) for c in layout[2]
              if c[1].get("type", "") != "separator"}
    if list(labels) != ["Open", "Start at login", "Close"]:
        fail("the menu holds %s" % list(labels))
    if SHOTS:
        os.makedirs(SHOTS, exist_ok=True)
        time.sleep(3)  # the panel drawn
        subprocess.run(["spectacle", "-b", "-n", "-f", "-o", SHOTS + "/plasma-panel.png"],
                       env=dict(env, QT_QPA_PLATFORM="wayland"), stdout=log, stderr=log,
                       timeout=60)
    menu.Event(labels["Open"], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
               dbus_interface="com.canonical.dbusmenu")
    wait("the window shown by Open", visible)
    print("PASS: the item and its menu in Plasma's tray", flush=True)

    # Started hidden again; then plasmashell goes while kded keeps its watcher.
    program.terminate()
    program.wait(20)
    program = start([PROGRAM, "--tray"], dict(env, QT_QPA_PLATFORM="xcb"), log)
    wait("the item registered again", item)
    shell.terminate()
    shell.wait(30)
    if not owned(WATCHER) or kded.poll() is not None:
        fail("kded's watcher went with plasmashell")
    wait("the window back on screen without plasmashell", visible)
    print("PASS: the window comes back when plasmashell quits", flush=True)
    status = 0
finally:
    for child in reversed(children):
        if child.poll() is None:
            child.terminate()
            try:
                child.wait(10)
            except subprocess.TimeoutExpired:
                child.kill()
    log.close()
    if status or os.environ.get("KV_KEEP_LOG"):
        print(open(os.path.join(home, "log.txt")).read()[-6000:])
    shutil.rmtree(home, ignore_errors=True)
