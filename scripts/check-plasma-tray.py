#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The program's tray icon in KDE Plasma: kwin_wayland --virtual with XWayland,
kded (its StatusNotifierWatcher), kactivitymanagerd and plasmashell on a
private session bus. Usage: check-plasma-tray.py PROGRAM [SCREENSHOT_DIR]

Checks that the item registers with KDE's watcher under the program's title and
desktop name, that its menu holds the tray menu, that "Open" shows a window
started with --tray, and that the window comes back on screen when plasmashell
quits while kded stays. Needs kwin-wayland,
plasma-desktop, plasma-workspace, kactivitymanagerd, qtwayland5, xdotool and,
for screenshots, kde-spectacle. KV_KEEP_LOG=1 prints the session's log."""

import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "support"))
import dbus  # noqa: E402
from tray_session import WATCHER, Session, check_names, click, fail, wait  # noqa: E402

SHOTS = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None

home = tempfile.mkdtemp(prefix="kv-plasma-")
session = None
status = 1
try:
    session = Session(home)
    env, start, owned = session.env, session.start, session.owned
    env.update(XDG_CURRENT_DESKTOP="KDE", KDE_FULL_SESSION="true")
    # A copy keeps its base beside it, in the temporary folder.
    os.mkdir(home + "/app")
    program_file = shutil.copy2(sys.argv[1], home + "/app")
    # The desktop file the build made: build/packaging beside build/src/app.
    desktop = glob.glob(os.path.join(os.path.dirname(os.path.abspath(sys.argv[1])), "..", "..",
                                     "packaging", "*.desktop"))
    if len(desktop) != 1:
        fail("no desktop file of the build beside %s" % sys.argv[1])
    app_id = os.path.basename(desktop[0])[:-len(".desktop")]

    # kwin hands DISPLAY and XAUTHORITY of its XWayland to the programs it
    # starts. A copy of kwin, without the file capability that a container may
    # refuse to grant.
    kwin = shutil.copy(shutil.which("kwin_wayland"), home + "/kwin_wayland")
    with open(home + "/report", "w") as script:
        script.write("#!/bin/sh\necho \"$XAUTHORITY\" > %s/xauth\n"
                     "echo $DISPLAY > %s/display\nexec sleep 600\n" % (home, home))
    os.chmod(home + "/report", 0o755)
    start([kwin, "--virtual", "--xwayland", "--width", "1280", "--height", "720",
           "--socket", "wayland-kv", home + "/report"])
    env["WAYLAND_DISPLAY"] = "wayland-kv"
    env["DISPLAY"] = wait("kwin's XWayland", lambda: os.path.exists(home + "/display") and
                          open(home + "/display").read().strip())
    env["XAUTHORITY"] = open(home + "/xauth").read().strip()
    kded = start(["kded5"])
    wait("kded", lambda: owned("org.kde.kded5"))
    # Without a session manager kded loads its modules when asked.
    session.bus.get_object("org.kde.kded5", "/kded", introspect=False).loadModule(
        "statusnotifierwatcher", dbus_interface="org.kde.kded5", ignore_reply=True)
    wait("kded's watcher", lambda: owned(WATCHER))
    for path in glob.glob("/usr/lib/*/libexec/kactivitymanagerd"):
        start([path])
    shell = start(["plasmashell", "--no-respawn"], QT_QPA_PLATFORM="wayland")
    wait("plasmashell's tray", lambda: owned("org.kde.StatusNotifierHost-"))

    def start_program():
        child = start([program_file, "--tray"], QT_QPA_PLATFORM="xcb")
        item = wait("the item registered with kded's watcher", lambda: session.item_of(child.pid))
        if visible(child):
            fail("a window started with --tray is on screen")
        return child, item

    def visible(child):
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(child.pid)],
                              env=env, capture_output=True).returncode == 0

    try:
        program, item = start_program()
        menu, labels = session.menu_of(item)
        check_names(item, app_id)
        if SHOTS:
            os.makedirs(SHOTS, exist_ok=True)
            time.sleep(3)  # the panel drawn
            subprocess.run(["spectacle", "-b", "-n", "-f", "-o", SHOTS + "/plasma-panel.png"],
                           env=dict(env, QT_QPA_PLATFORM="wayland"), stdout=session.log,
                           stderr=session.log, timeout=60)
        click(menu, labels, "Open")
        wait("the window shown by Open", lambda: visible(program))
        print("PASS: the item and its menu in Plasma's tray", flush=True)
        session.stop(program)

        program, item = start_program()
        session.stop(shell)
        if not owned(WATCHER) or kded.poll() is not None:
            fail("kded's watcher went with plasmashell")
        wait("the window back on screen without plasmashell", lambda: visible(program))
        # What the program must not trust alone.
        print("kded's watcher still reports a host:", bool(session.bus.get_object(
            WATCHER, "/StatusNotifierWatcher").Get(WATCHER, "IsStatusNotifierHostRegistered",
                                                  dbus_interface="org.freedesktop.DBus.Properties")))
        print("PASS: the window comes back when plasmashell quits", flush=True)
        status = 0
    except dbus.DBusException as error:
        fail(str(error))
finally:
    if session:
        session.close(status != 0 or bool(os.environ.get("KV_KEEP_LOG")))
    shutil.rmtree(home, ignore_errors=True)
