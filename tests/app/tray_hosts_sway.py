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
import subprocess
import sys
import tempfile
import time

# Beside this script once it has been copied aside, else in the source tree.
SUPPORT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support")
sys.path[:0] = [os.path.dirname(os.path.abspath(__file__)), SUPPORT]

import dbus  # noqa: E402
from tray_session import (ITEM, WATCHER, Session, click, end, fail,  # noqa: E402
                          run_aside, wait)

PROGRAM, SHOTS, ASIDE = run_aside(__file__)

home = tempfile.mkdtemp(prefix="kv-sway-")
session = None
try:
    session = Session(home)
    env, start, stop, owned = session.env, session.start, session.stop, session.owned
    run = env["XDG_RUNTIME_DIR"]

    with open(home + "/sway.cfg", "w") as cfg:
        cfg.write("xwayland enable\noutput * bg #335577 solid_color\n"
                  "exec echo $DISPLAY > %s/display\n" % home)
    sway = start(["sway", "-c", home + "/sway.cfg"], WLR_BACKENDS="headless",
                 WLR_RENDERER="pixman", WLR_HEADLESS_OUTPUTS="1", WLR_LIBINPUT_NO_DEVICES="1")
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
        child = start(["waybar", "-c", home + "/waybar/config", "-s", home + "/waybar/style.css"])
        wait("waybar's tray", lambda: child.poll() is None and owned(WATCHER) and
             owned("org.kde.StatusNotifierHost-"))
        return child

    waybar = start_waybar()
    mako = start(["mako"])
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

    def start_program(platform):
        child = start([PROGRAM, "--tray"], QT_QPA_PLATFORM=platform)
        item = wait(platform + ": the item registered with waybar",
                    lambda: session.item_of(child.pid))
        if tree_windows(child.pid):
            fail(platform + ": a window started with --tray is on screen")
        return child, item

    def screenshot(name):
        if SHOTS:
            os.makedirs(SHOTS, exist_ok=True)
            time.sleep(1)  # drawn
            subprocess.run(["grim", "%s/%s.png" % (SHOTS, name)], env=env)

    def check(platform):
        global waybar
        program, item = start_program(platform)
        menu, labels = session.menu_of(item)
        screenshot("bar-" + platform)
        click(menu, labels, "Open")
        wait(platform + ": the window shown by Open", lambda: shown_and_focused(program.pid))
        stop(program)

        program, item = start_program(platform)
        item.Activate(0, 0, dbus_interface=ITEM)
        wait(platform + ": the window shown by Activate", lambda: shown_and_focused(program.pid))
        screenshot("activated-" + platform)
        stop(program)

        program, item = start_program(platform)
        stop(waybar)
        wait(platform + ": the window back on screen without a tray",
             lambda: any(w.get("visible") for w in tree_windows(program.pid)))
        waybar = start_waybar()
        wait(platform + ": the item taken back by the new waybar",
             lambda: session.item_of(program.pid))
        stop(program)
        print("PASS:", platform, flush=True)

    def check_warning():
        # A Shut Down due in half a minute opens its warning at once.
        due = time.strftime("%d.%m.%Y %H:%M:%S", time.localtime(time.time() + 30))
        cells = ["0", due, "Shut Down", "", "Shut Down(Simple)", "0"]
        os.makedirs(home + "/data/kronvale", exist_ok=True)
        with open(home + "/data/kronvale/KV.log", "wb") as base:
            base.write("\r\n".join(["6", "2"] + cells + [""]).encode())
        program = start([PROGRAM, "--tray"], QT_QPA_PLATFORM="wayland")

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
        wait("the task cancelled",
             lambda: '"Shut Down": cancelled' in open(session.log.name).read())
        if any("Shut Down" in n["summary"]["data"] for n in notices()):
            fail("the warning's notice stays after Cancel")
        stop(program)
        print("PASS: the warning at mako", flush=True)

    try:
        check("xcb")
        check("wayland")
        check_warning()
    except dbus.DBusException as error:
        fail(str(error))
finally:
    end(session, home, ASIDE)
