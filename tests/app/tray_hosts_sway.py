#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The program's tray icon in a real StatusNotifierItem host: sway (headless)
with waybar's tray and mako, the program once through XWayland and once as a
native Wayland client. Usage: tray_hosts_sway.py PROGRAM [SCREENSHOT_DIR], with
the application id in KV_APP_ID.

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
from tray_session import (ITEM, WATCHER, Session, check_names, end, fail,  # noqa: E402
                          run_aside, wait)
from wayland_pointer import VirtualPointer  # noqa: E402

PROGRAM, SHOTS, ASIDE = run_aside(__file__, [os.path.join(SUPPORT, "wayland_pointer.py")])

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
    BAR, BAR_COLOUR = 28, bytes.fromhex("202020")
    with open(home + "/waybar/config", "w") as cfg:
        json.dump({"position": "top", "height": BAR, "modules-right": ["tray"],
                   "tray": {"icon-size": 20, "spacing": 6}}, cfg)
    with open(home + "/waybar/style.css", "w") as cfg:
        cfg.write("* { font-family: sans-serif; font-size: 12px; }\n"
                  "window#waybar { background: #%s; }\n" % BAR_COLOUR.hex())

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

    def screen():
        shot = subprocess.run(["grim", "-t", "ppm", "-"], env=env, check=True,
                              capture_output=True).stdout
        _, size, _, pixels = shot.split(b"\n", 3)
        return tuple(map(int, size.split())), pixels

    def pixel(shot, x, y):
        (width, _), pixels = shot
        return pixels[(y * width + x) * 3:(y * width + x + 1) * 3]

    def differing(shot, region, other):
        """The box of the pixels in region (left, top, right, bottom) that differ
        from other's, a shot or one colour; None where none do."""
        points = [(x, y) for y in range(region[1], region[3]) for x in range(region[0], region[2])
                  if pixel(shot, x, y) != (other if isinstance(other, bytes) else
                                           pixel(other, x, y))]
        return points and (min(x for x, _ in points), min(y for _, y in points),
                           max(x for x, _ in points), max(y for _, y in points))

    def open_by_pointer(platform, program):
        """A right click on the icon in waybar opens its menu there; a click on its
        first item, Open, shows the window."""
        (width, height), _ = screen()
        # The tray is the bar's only module, at its right end.
        tray = (width - 200, 0, width, BAR)
        wait(platform + ": the icon drawn in waybar",
             lambda: differing(screen(), tray, BAR_COLOUR))
        time.sleep(0.5)  # its picture too
        icon = differing(screen(), tray, BAR_COLOUR)
        pointer = VirtualPointer(run, env["WAYLAND_DISPLAY"])
        try:
            pointer.move((icon[0] + icon[2]) // 2, (icon[1] + icon[3]) // 2, width, height)
            time.sleep(0.3)  # the pointer has entered the bar
            before = screen()
            pointer.click("right")
            # Left of the icon, where the pointer is not drawn.
            near = (max(0, icon[0] - 600), 0, icon[0] - 2, min(height, 400))
            wait(platform + ": the menu drawn at the icon",
                 lambda: differing(screen(), near, before))
            time.sleep(0.5)  # drawn whole
            screenshot("menu-" + platform)
            menu = differing(screen(), near, before)
            if menu[2] < icon[0] - 40 or menu[1] > icon[3] + 20:
                fail("%s: the menu is drawn at %s, away from the icon at %s" %
                     (platform, menu, icon))
            pointer.move(menu[0] + 40, menu[1] + 15, width, height)
            time.sleep(0.3)
            pointer.click("left")
        finally:
            pointer.close()
        wait(platform + ": the window shown by Open", lambda: shown_and_focused(program.pid))

    def check(platform):
        global waybar
        program, item = start_program(platform)
        session.menu_of(item)
        check_names(item, os.environ["KV_APP_ID"])
        screenshot("bar-" + platform)
        open_by_pointer(platform, program)
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
        if notice["app-name"]["data"] != "Kronvale":
            fail("the warning comes from %r" % notice["app-name"]["data"])
        actions = notice["actions"]["data"]
        if "cancel" not in actions:
            fail("the warning offers %s" % actions)
        subprocess.run(["makoctl", "invoke", "-n", str(notice["id"]["data"]), "cancel"],
                       env=env, check=True)
        # The program's journal of what became of each firing.
        wait("the task cancelled",
             lambda: '"Shut Down": cancelled' in open(session.log.name).read())
        # The program closes the notice once it has taken the answer.
        wait("the warning's notice closed after Cancel",
             lambda: not any("Shut Down" in n["summary"]["data"] for n in notices()), timeout=10)
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
