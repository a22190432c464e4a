#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The program's tray icon in a real StatusNotifierItem host: sway (headless)
with waybar's tray and mako, the program once through XWayland and once as a
native Wayland client. Usage: tray_hosts_sway.py PROGRAM [SCREENSHOT_DIR]

Fails, never skips, when sway, waybar or mako cannot start. Runs as nobody when
started as root: sway refuses root. KV_KEEP_LOG=1 prints the session's log."""

import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

if "--remove" not in sys.argv:
    # The program runs from a read-only folder of its own, so that it keeps its
    # base in the test's data folder. Nobody (sway refuses root) may not reach
    # root's build tree: this script goes there too.
    aside = tempfile.mkdtemp(prefix="kv-sway-program-")
    built = os.path.dirname(os.path.abspath(sys.argv[1]))
    for name in os.listdir(built):
        if os.path.isfile(os.path.join(built, name)) and not name.endswith(".a"):
            shutil.copy2(os.path.join(built, name), aside)
    shutil.copy2(__file__, aside)
    command = [sys.executable, os.path.join(aside, os.path.basename(__file__)),
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

import dbus  # noqa: E402

REMOVE = sys.argv[sys.argv.index("--remove") + 1]
ARGS = sys.argv[:sys.argv.index("--remove")]
PROGRAM = os.path.abspath(ARGS[1])
SHOTS = os.path.abspath(ARGS[2]) if len(ARGS) > 2 else None
WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
children = []


def fail(message):
    print("FAIL:", message, flush=True)
    raise SystemExit(1)


def wait(what, condition, timeout=40):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def start(args, env, log):
    child = subprocess.Popen(args, env=env, stdout=log, stderr=subprocess.STDOUT)
    children.append(child)
    return child


def stop(child):
    if child.poll() is None:
        child.terminate()
        try:
            child.wait(10)
        except subprocess.TimeoutExpired:
            child.kill()
            child.wait()


home = tempfile.mkdtemp(prefix="kv-sway-")
run = os.path.join(home, "run")
os.mkdir(run, 0o700)
env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=run, XDG_CONFIG_HOME=home + "/config",
           XDG_DATA_HOME=home + "/data", XDG_CACHE_HOME=home + "/cache",
           LANGUAGE="en", LC_ALL="C.UTF-8",
           # Power calls go nowhere, whatever happens to the warned task.
           DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent")
for name in ("DISPLAY", "WAYLAND_DISPLAY", "SWAYSOCK", "DBUS_SESSION_BUS_ADDRESS"):
    env.pop(name, None)
log = open(os.path.join(home, "log.txt"), "w")

try:
    bus_daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                  env=env, stdout=subprocess.PIPE, text=True)
    children.append(bus_daemon)
    env["DBUS_SESSION_BUS_ADDRESS"] = bus_daemon.stdout.readline().strip()
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = env["DBUS_SESSION_BUS_ADDRESS"]
    bus = dbus.SessionBus()
    names = bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")

    def owned(prefix):
        return [n for n in names.ListNames(dbus_interface="org.freedesktop.DBus")
                if n.startswith(prefix)]

    with open(home + "/sway.cfg", "w") as cfg:
        cfg.write("xwayland enable\noutput * bg #335577 solid_color\n"
                  "exec echo $DISPLAY > %s/display\n" % home)
    sway = start(["sway", "-c", home + "/sway.cfg"],
                 dict(env, WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                      WLR_HEADLESS_OUTPUTS="1", WLR_LIBINPUT_NO_DEVICES="1"), log)
    env["SWAYSOCK"] = wait("sway", lambda: sway.poll() is None and
                           (glob.glob(run + "/sway-ipc.*.sock") or [None])[0])
    env["WAYLAND_DISPLAY"] = os.path.basename(
        wait("sway's Wayland socket", lambda: (glob.glob(run + "/wayland-*[0-9]") or [None])[0]))
    env["DISPLAY"] = wait("XWayland's display", lambda: os.path.exists(home + "/display") and
                          open(home + "/display").read().strip())

    os.makedirs(home + "/waybar")
    with open(home + "/waybar/config", "w") as cfg:
        json.dump({"position": "top", "height": 28, "modules-right": ["tray"],
                   "tray": {"icon-size": 20, "spacing": 6}}, cfg)
    with open(home + "/waybar/style.css", "w") as cfg:
        cfg.write("* { font-family: sans-serif; font-size: 12px; }\n"
                  "window#waybar { background: #202020; }\n")

    def start_waybar():
        child = start(["waybar", "-c", home + "/waybar/config", "-s", home + "/waybar/style.css"],
                      env, log)
        wait("waybar's tray", lambda: child.poll() is None and owned(WATCHER) and
             owned("org.kde.StatusNotifierHost-"))
        return child

    waybar = start_waybar()
    mako = start(["mako"], env, log)
    wait("mako", lambda: mako.poll() is None and owned("org.freedesktop.Notifications"))

    def tree_windows(pid):
        tree = json.loads(subprocess.run(["swaymsg", "-t", "get_tree"], env=env, check=True,
                                         capture_output=True, text=True).stdout)
        found, nodes = [], [tree]
        while nodes:
            node = nodes.pop()
            if node.get("pid") == pid and node.get("type") in ("con", "floating_con"):
                found.append(node)
            nodes += node.get("nodes", []) + node.get("floating_nodes", [])
        return found

    def shown_and_focused(pid):
        return any(w.get("visible") and w.get("focused") for w in tree_windows(pid))

    def item_of(pid):
        # The watcher lists each item as its bus name, maybe with its path.
        watcher = bus.get_object(WATCHER, "/StatusNotifierWatcher")
        for entry in watcher.Get(WATCHER, "RegisteredStatusNotifierItems",
                                 dbus_interface="org.freedesktop.DBus.Properties"):
            service, _, path = str(entry).partition("/")
            try:
                if names.GetConnectionUnixProcessID(
                        service, dbus_interface="org.freedesktop.DBus") == pid:
                    return bus.get_object(service, "/" + (path or "StatusNotifierItem"))
            except dbus.DBusException:
                pass
        return None

    def start_program(platform):
        child = start([PROGRAM, "--tray"], dict(env, QT_QPA_PLATFORM=platform), log)
        item = wait(platform + ": the item registered with waybar", lambda: item_of(child.pid))
        if tree_windows(child.pid):
            fail(platform + ": a window started with --tray is on screen")
        return child, item

    def screenshots(platform):
        os.makedirs(SHOTS, exist_ok=True)
        time.sleep(1)  # the icon drawn
        subprocess.run(["grim", "%s/bar-%s.png" % (SHOTS, platform)], env=env)

    def check(platform):
        program, item = start_program(platform)
        menu_path = item.Get(ITEM, "Menu", dbus_interface="org.freedesktop.DBus.Properties")
        menu = bus.get_object(item.bus_name, menu_path)
        _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"), dbus_interface="com.canonical.dbusmenu")
        labels = {str(child[1].get("label", "")).replace("&", ""): int(child[0])
                  for child in layout[2] if child[1].get("type", "") != "separator"}
        if list(labels) != ["Open", "Start at login", "Close"]:
            fail("%s: the menu holds %s" % (platform, list(labels)))
        if SHOTS:
            screenshots(platform)
        menu.Event(labels["Open"], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                   dbus_interface="com.canonical.dbusmenu")
        wait(platform + ": the window shown by Open", lambda: shown_and_focused(program.pid))
        stop(program)

        program, item = start_program(platform)
        item.Activate(0, 0, dbus_interface=ITEM)
        wait(platform + ": the window shown by Activate", lambda: shown_and_focused(program.pid))
        if SHOTS:
            time.sleep(1)  # painted
            subprocess.run(["grim", "%s/activated-%s.png" % (SHOTS, platform)], env=env)
        stop(program)

        program, item = start_program(platform)
        stop(waybar_ref[0])
        wait(platform + ": the window back on screen without a tray",
             lambda: any(w.get("visible") for w in tree_windows(program.pid)))
        waybar_ref[0] = start_waybar()
        wait(platform + ": the item taken back by the new waybar", lambda: item_of(program.pid))
        stop(program)
        print("PASS:", platform, flush=True)

    waybar_ref = [waybar]
    def check_warning():
        # A Shut Down due in half a minute opens its warning at once.
        due = time.strftime("%d.%m.%Y %H:%M:%S", time.localtime(time.time() + 30))
        cells = ["0", due, "Shut Down", "", "Shut Down(Simple)", "0"]
        os.makedirs(home + "/data/kronvale", exist_ok=True)
        with open(home + "/data/kronvale/KV.log", "wb") as base:
            base.write("\r\n".join(["6", "2"] + cells + [""]).encode())
        program = start([PROGRAM, "--tray"], dict(env, QT_QPA_PLATFORM="wayland"), log)

        def notices():
            out = subprocess.run(["makoctl", "list"], env=env, capture_output=True, text=True)
            return [n for group in json.loads(out.stdout or '{"data": []}')["data"] for n in group]

        notice = wait("the warning at mako", lambda: [
            n for n in notices() if "Shut Down" in n["summary"]["data"]])[0]
        actions = notice["actions"]["data"]
        if "cancel" not in actions:
            fail("the warning offers %s" % actions)
        subprocess.run(["makoctl", "invoke", "-n", str(notice["id"]["data"]), "cancel"],
                       env=env, check=True)
        # The program's journal of what became of each firing.
        wait("the task cancelled", lambda: '"Shut Down": cancelled' in open(log.name).read())
        if any("Shut Down" in n["summary"]["data"] for n in notices()):
            fail("the warning's notice stays after Cancel")
        stop(program)

    try:
        check("xcb")
        check("wayland")
        check_warning()
    except dbus.DBusException as error:
        fail(str(error))
finally:
    for child in reversed(children):
        stop(child)
    log.close()
    if os.environ.get("KV_KEEP_LOG"):
        print(open(os.path.join(home, "log.txt")).read())
    shutil.rmtree(home, ignore_errors=True)
    if REMOVE:
        os.chmod(REMOVE, 0o700)
        shutil.rmtree(REMOVE, ignore_errors=True)
