#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The program in GNOME Shell on Wayland (headless, one virtual monitor), its
windows through the shell's XWayland. The shell is read and driven through its
Eval method, which an extension of the test's own unlocks; logind is a mock on
a private system bus. Usage: gnome_shell_wayland.py PROGRAM [SCREENSHOT_DIR],
with the program's desktop file in KV_DESKTOP_FILE and its icon in KV_APP_ICON.

Fails, never skips, when the shell cannot start. Runs as nobody when started
as root. KV_KEEP_LOG=1 prints the session's log."""

import json
import os
import shutil
import sys
import tempfile
import time

# Beside this script once it has been copied aside, else in the source tree.
SUPPORT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support")
sys.path[:0] = [os.path.dirname(os.path.abspath(__file__)), SUPPORT]

import dbus  # noqa: E402
from tray_session import Session, end, fail, run_aside, wait  # noqa: E402

PROGRAM, SHOTS, ASIDE = run_aside(__file__, [os.environ["KV_DESKTOP_FILE"],
                                             os.environ["KV_APP_ICON"]])
DESKTOP = os.path.join(ASIDE, os.path.basename(os.environ["KV_DESKTOP_FILE"]))
ICON = os.path.join(ASIDE, os.path.basename(os.environ["KV_APP_ICON"]))
EXTENSION = "kronvale-test@kronvale"

# Helpers kept in the shell: the windows of a process and what the checks read
# of them, the notifications, a virtual keyboard.
HELPERS = """
const { Clutter, GLib, Meta } = imports.gi;
const Main = imports.ui.main;
globalThis.kv = {
    windows: pid => global.display.list_all_windows().filter(w => w.get_pid() === pid),
    window: (pid, title) => kv.windows(pid).find(w => w.title === title),
    describe(w) {
        const frame = w.get_frame_rect();
        const area = w.get_work_area_current_monitor();
        const stack = global.display.sort_windows_by_stacking(global.display.list_all_windows());
        return { title: w.title, x11: w.get_client_type() === Meta.WindowClientType.X11,
                 frame: [frame.x, frame.y, frame.width, frame.height],
                 area: [area.x, area.y, area.width, area.height],
                 canMaximize: w.can_maximize(), minimized: w.minimized, above: w.is_above(),
                 attention: w.urgent || w.demands_attention,
                 focused: global.display.focus_window === w, stacked: stack.indexOf(w) };
    },
    // Unlocking Eval tells the user, in a notification of its own.
    dropUnsafeNotice: () => kv.notices()
        .filter(n => n.title === 'System was put in unsafe mode')
        .forEach(n => n.destroy()),
    notices: () => Main.messageTray.getSources().flatMap(s => s.notifications),
    notice: title => kv.notices().find(n => n.title.startsWith(title)),
    // What the banner shows, read from the one on screen or one made alike.
    shown(n) {
        const tray = Main.messageTray;
        const onScreen = tray._banner && tray._banner.notification === n;
        const banner = onScreen ? tray._banner : new imports.ui.messageTray.NotificationBanner(n);
        const shown = { source: n.source.title, title: banner.titleLabel.clutter_text.text,
                        body: banner.bodyLabel.clutter_text.text, onScreen,
                        actions: n.actions.map(a => a.label) };
        if (!onScreen)
            banner.destroy();
        return shown;
    },
    // As the banner's button does.
    answer(n, label) {
        n.actions.find(a => a.label === label).callback();
        if (!n.resident)
            n.destroy();
    },
    // Made ahead: the seat takes a moment to add it.
    keyboard: Clutter.get_default_backend().get_default_seat()
        .create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE),
    press(keyval, modifier) {
        const now = GLib.get_monotonic_time();
        const keys = modifier ? [modifier, keyval] : [keyval];
        keys.forEach(k => kv.keyboard.notify_keyval(now, k, Clutter.KeyState.PRESSED));
        keys.reverse().forEach(k => kv.keyboard.notify_keyval(now, k, Clutter.KeyState.RELEASED));
    },
    pointer: Clutter.get_default_backend().get_default_seat()
        .create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE),
    point: (x, y) => kv.pointer.notify_absolute_motion(GLib.get_monotonic_time(), x, y),
    button: state => kv.pointer.notify_button(GLib.get_monotonic_time(), Clutter.BUTTON_PRIMARY,
                                              state ? Clutter.ButtonState.PRESSED
                                                    : Clutter.ButtonState.RELEASED),
    // The windows the shell shows, by title.
    shownTitles: pid => global.get_window_actors().map(a => a.meta_window)
        .filter(w => w.get_pid() === pid && !w.minimized).map(w => w.title),
};
"""

# A window of the test's own that has the focus while the program works; it
# tells the keys it gets.
OTHER = """
imports.gi.versions.Gtk = '3.0';
const { Gtk } = imports.gi;
Gtk.init(null);
const window = new Gtk.Window({ title: 'Other window' });
window.set_default_size(640, 400);
window.add(new Gtk.Label({ label: 'The window that has the focus' }));
window.connect('key-press-event', (_, event) => {
    printerr('other window got ' + Gtk.accelerator_name(event.get_keyval()[1], 0));
    return false;
});
window.show_all();
Gtk.main();
"""

home = tempfile.mkdtemp(prefix="kv-gnome-")
session = None
started = time.monotonic()
try:
    session = Session(home)
    env, start, stop = session.env, session.start, session.stop
    logind = session.mock_logind()

    extension = "%s/data/gnome-shell/extensions/%s" % (home, EXTENSION)
    os.makedirs(extension)
    with open(extension + "/metadata.json", "w") as out:
        json.dump({"uuid": EXTENSION, "name": "Kronvale test", "shell-version": ["43"],
                   "description": "Lets the test evaluate scripts in the shell"}, out)
    with open(extension + "/extension.js", "w") as out:
        out.write("function init() {}\n"
                  "function enable() { global.context.unsafe_mode = true; }\n"
                  "function disable() { global.context.unsafe_mode = false; }\n")
    os.makedirs(home + "/config/glib-2.0/settings")
    with open(home + "/config/glib-2.0/settings/keyfile", "w") as out:
        out.write("[org/gnome/shell]\nenabled-extensions=['%s']\n"
                  "welcome-dialog-last-shown-version='999'\n" % EXTENSION)
    env["GSETTINGS_BACKEND"] = "keyfile"
    os.makedirs(home + "/data/applications")
    # The icon as installed, named as the desktop file.
    app_id = os.path.splitext(os.path.basename(DESKTOP))[0]
    os.makedirs(home + "/data/icons/hicolor/scalable/apps")
    shutil.copy(ICON, home + "/data/icons/hicolor/scalable/apps/%s.svg" % app_id)
    # The desktop file as installed, the start noting the launcher's startup id.
    with open(home + "/launch", "w") as out:
        out.write('#!/bin/sh\necho "$DESKTOP_STARTUP_ID" > %s/startup-id\nexec %s\n'
                  % (home, PROGRAM))
    os.chmod(home + "/launch", 0o755)
    with open(DESKTOP) as source, \
            open(home + "/data/applications/" + os.path.basename(DESKTOP), "w") as out:
        out.write(source.read().replace("\nExec=kronvale\n", "\nExec=%s/launch\n" % home))

    shell_process = start(["gnome-shell", "--headless", "--wayland", "--virtual-monitor",
                           "1280x800"], XDG_SESSION_TYPE="wayland")

    def evaluate(code):
        ok, result = session.bus.call_blocking("org.gnome.Shell", "/org/gnome/Shell",
                                               "org.gnome.Shell", "Eval", "s", [code])
        return ok, json.loads(result) if ok and result else result

    def js(code):
        ok, result = evaluate(code)
        if not ok:
            fail("the shell could not evaluate %s: %s" % (code, result))
        return result

    def ready():
        if shell_process.poll() is not None:
            fail("gnome-shell ended with status %d" % shell_process.returncode)
        try:
            return session.names.NameHasOwner("org.gnome.Shell") and evaluate(
                "!imports.ui.main.layoutManager._startingUp") == (True, True)
        except dbus.DBusException:
            return False

    wait("gnome-shell with Eval", ready)
    js(HELPERS)
    js("kv.dropUnsafeNotice()")
    js("imports.ui.main.overview.hide()")
    for name in ("DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY"):
        env[name] = js("imports.gi.GLib.getenv('%s')" % name)
    if not env["DISPLAY"]:
        fail("the shell started no XWayland")
    print("gnome-shell up after %.1f s" % (time.monotonic() - started), flush=True)

    def screenshot(name):
        if SHOTS:
            time.sleep(0.5)  # drawn
            session.bus.get_object("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot") \
                .Screenshot(False, False, "%s/gnome-%s.png" % (SHOTS, name),
                            dbus_interface="org.gnome.Shell.Screenshot")

    def window(pid, title):
        return js("(w => w ? kv.describe(w) : null)(kv.window(%d, %s))" % (pid, json.dumps(title)))

    failed = []

    def check(condition, what):
        """Told, and the run goes on to the other checks."""
        print("PASS:" if condition else "FAIL:", what, flush=True)
        if not condition:
            failed.append(what)

    def journal(text):
        return text in open(session.log.name).read()

    def power_calls():
        return [str(call[1]) for call in logind.GetCalls()
                if call[1] in ("PowerOff", "Reboot", "Suspend", "Hibernate")]

    def write_base(*tasks):
        """Tasks as (seconds from now, file name or event, folder, mode)."""
        rows = [["0", time.strftime("%d.%m.%Y %H:%M:%S", time.localtime(time.time() + seconds)),
                 name, folder, mode, "0"] for seconds, name, folder, mode in tasks]
        os.makedirs(home + "/data/kronvale", exist_ok=True)
        with open(home + "/data/kronvale/KV.log", "wb") as base:
            # Column by column.
            cells = [row[column] for column in range(6) for row in rows]
            base.write("\r\n".join(["6", str(len(rows) + 1)] + cells + [""]).encode())

    def until(condition, seconds=10):
        """What `condition` gives once it holds, or after `seconds`."""
        end = time.monotonic() + seconds
        while True:
            value = condition()
            if value or time.monotonic() > end:
                return value
            time.sleep(0.1)

    def start_program():
        program = start([PROGRAM])
        wait("the main window", lambda: window(program.pid, "Kronvale v1.1"))
        return program

    other = start(["gjs", "-c", OTHER], GDK_BACKEND="wayland")
    wait("the other window", lambda: js("kv.windows(%d).length" % other.pid))

    def focus_other():
        """Focuses the other window and types in it, as the user would once it
        has the focus: the window manager lets another window take the focus
        only for a later action of the user's. A window that was just started
        may take the focus back meanwhile."""
        focused = "global.display.focus_window === kv.windows(%d)[0]" % other.pid
        for _ in range(10):
            # As a click in it: raised and focused, the last time the user acted.
            js("(w => { w.raise(); w.focus(global.display.get_current_time_roundtrip()); })"
               "(kv.windows(%d)[0])" % other.pid)
            time.sleep(0.5)
            if js(focused):
                break
        else:
            fail("the other window does not keep the focus")
        typed = open(session.log.name).read().count("other window got Shift_L")
        js("kv.press(imports.gi.Clutter.KEY_Shift_L)")
        wait("the key in the other window", lambda: open(session.log.name).read().count(
            "other window got Shift_L") > typed)

    # The main window, and second starts with and without the launcher's token.
    write_base()
    program = start_program()
    main = window(program.pid, "Kronvale v1.1")
    check(main["x11"], "the main window is an X11 client of the shell")
    x, y, width, height = main["frame"]
    ax, ay, awidth, aheight = main["area"]
    check(abs(2 * x + width - 2 * ax - awidth) <= 2 and abs(2 * y + height - 2 * ay - aheight) <= 2,
          "the main window is centred on the monitor (%s in %s)" % (main["frame"], main["area"]))
    check(not main["canMaximize"], "the main window cannot be maximised")
    screenshot("main-window")
    js("kv.window(%d, 'Kronvale v1.1').minimize()" % program.pid)
    wait("the main window minimised", lambda: window(program.pid, "Kronvale v1.1")["minimized"])
    focus_other()

    def launch_again():
        """Starts the program again as a click in the shell's dash does, at the
        time of the click; gives the main window once it is shown and focused,
        or as it is after a while."""
        js("imports.gi.Gio.DesktopAppInfo.new_from_filename(%s).launch([], global."
           "create_app_launch_context(global.display.get_current_time_roundtrip(), -1))"
           % json.dumps(home + "/data/applications/" + os.path.basename(DESKTOP)))
        return until(lambda: (lambda w: not w["minimized"] and w["focused"] and w)(
            window(program.pid, "Kronvale v1.1"))) or window(program.pid, "Kronvale v1.1")

    main = launch_again()
    check(not main["minimized"] and main["focused"],
          "a start from the launcher shows and focuses the main window: %s" % main)
    startup_id = open(home + "/startup-id").read().strip()
    check("_TIME" in startup_id and not startup_id.endswith("_TIME0"),
          "the launcher gave a startup id with a time: " + startup_id)
    focus_other()
    second = start([PROGRAM])
    wait("the second start ended", lambda: second.poll() is not None)
    main = until(lambda: (lambda w: w["attention"] and w)(window(program.pid, "Kronvale v1.1"))) \
        or window(program.pid, "Kronvale v1.1")
    check(main["attention"] and not main["focused"],
          "a start without a token makes the main window ask for attention: %s" % main)
    stop(program)

    # The warning before a Shut Down: above the focused window, which keeps
    # the focus and the keys; its notification answers as its buttons.
    for answer, outcome in (("Cancel", "cancelled"), ("Postpone 15 minutes", "postponed to")):
        write_base((68, "Shut Down", "", "Shut Down(Simple)"))
        program = start_program()
        focus_other()
        wait("the warning", lambda: window(program.pid, "Shut Down"), timeout=20)
        warning = window(program.pid, "Shut Down")
        other_window = js("kv.describe(kv.windows(%d)[0])" % other.pid)
        check(warning["x11"], "the warning is an X11 client of the shell")
        check(warning["above"] and warning["stacked"] > other_window["stacked"],
              "the warning is above the other window")
        check(other_window["focused"], "the warning leaves the focus with the other window")
        js("kv.press(imports.gi.Clutter.KEY_Return)")
        wait("the Return in the other window", lambda: journal("other window got Return"))
        time.sleep(1)
        check(window(program.pid, "Shut Down") and not power_calls(),
              "a Return typed meanwhile changes nothing")
        notice = wait("the warning's notification", lambda: js(
            "(n => n ? kv.shown(n) : null)(kv.notice('Shut Down'))"))
        check(notice["source"] == "Kronvale" and answer in notice["actions"],
              "the notification of Kronvale offers %s" % notice["actions"])
        if answer == "Cancel":
            screenshot("warning")
        js("kv.answer(kv.notice('Shut Down'), %s)" % json.dumps(answer))
        wait("the warning closed", lambda: not window(program.pid, "Shut Down"))
        wait("the notification withdrawn", lambda: not js("!!kv.notice('Shut Down')"))
        wait("the journal's line", lambda: journal('"Shut Down": ' + outcome))
        check(not power_calls(), "%s from the notification: warning gone, %s, no power call"
              % (answer, outcome))
        stop(program)

    # The program as a native Wayland client: the warning a notification
    # alone, a second start from the launcher activating the main window with
    # the launcher's token, a modal dialog back at once when it is minimised
    # by Qt's own window frame.
    write_base((68, "Shut Down", "", "Shut Down(Simple)"))
    program = start([PROGRAM], QT_QPA_PLATFORM="wayland")
    main = wait("the native main window", lambda: window(program.pid, "Kronvale v1.1"))
    check(not main["x11"], "the main window is a Wayland client of the shell")
    screenshot("native-main-window")
    js("kv.window(%d, 'Kronvale v1.1').minimize()" % program.pid)
    wait("the main window minimised", lambda: window(program.pid, "Kronvale v1.1")["minimized"])
    focus_other()
    main = launch_again()
    check(not main["minimized"] and main["focused"],
          "a start from the launcher activates the native main window: %s" % main)

    for _ in range(5):  # a window just activated may not have the keyboard yet
        js("kv.press(imports.gi.Clutter.KEY_a, imports.gi.Clutter.KEY_Control_L)")
        if until(lambda: window(program.pid, "About Kronvale"), 3):
            break

    def settled_about():
        """The about box once its frame has stopped changing."""
        before = wait("the about box", lambda: window(program.pid, "About Kronvale"))
        time.sleep(0.3)
        now = window(program.pid, "About Kronvale")
        return now if now and now["frame"] == before["frame"] else None

    about = wait("the about box in place", settled_about)
    screenshot("native-about")
    # Qt's frame draws minimise as the third button from the right, in the
    # middle of its title bar. The box may be back before a poll sees it gone.
    js("(w => w.connect('notify::minimized', () => kv.minimised ||= w.minimized))"
       "(kv.window(%d, 'About Kronvale'))" % program.pid)
    for attempt in range(5):  # a pointer that has just come in may not count yet
        x, y, width, _ = wait("the about box in place", settled_about)["frame"]
        js("kv.point(%d, %d)" % (x + width - 63 - attempt % 2, y + 15))
        time.sleep(0.3)
        js("kv.button(true)")
        time.sleep(0.1)
        js("kv.button(false)")
        if until(lambda: js("!!kv.minimised"), 1):
            break
    check(js("!!kv.minimised"), "the minimise button of Qt's frame minimises the about box")
    # Mutter grants the activation that un-minimises it only for a token of
    # the surface under the pointer and the press's serial; Qt asks with the
    # release's, for the window it then takes for focused. The box then asks
    # for attention, which the shell tells in a notification of its own.
    about = until(lambda: (lambda w: (w["attention"] or not w["minimized"]) and w)(
        window(program.pid, "About Kronvale"))) or window(program.pid, "About Kronvale")
    check(about["attention"] or (not about["minimized"] and about["focused"]),
          "the minimised about box comes back or asks to: %s" % about)
    screenshot("native-about-minimised")
    if about["attention"]:
        # As a click on the shell's "is ready" notification does.
        js("kv.notices().find(n => n.bannerBodyText.includes('About Kronvale')).activate()")
        about = until(lambda: (lambda w: not w["minimized"] and w["focused"] and w)(
            window(program.pid, "About Kronvale"))) or window(program.pid, "About Kronvale")
        check(not about["minimized"] and about["focused"],
              "the shell's notification that it is ready brings the about box back: %s" % about)
    js("kv.window(%d, 'About Kronvale').delete(global.get_current_time())" % program.pid)
    wait("the about box closed", lambda: not window(program.pid, "About Kronvale"))

    notice = wait("the native warning's notification", lambda: js(
        "(n => n ? kv.shown(n) : null)(kv.notice('Shut Down'))"), timeout=20)
    check("Cancel" in notice["actions"] and "Shut Down" not in js(
        "kv.shownTitles(%d)" % program.pid),
        "the warning of the native program is the notification alone: %s" % notice)
    cancelled = open(session.log.name).read().count('"Shut Down": cancelled')
    js("kv.answer(kv.notice('Shut Down'), 'Cancel')")
    wait("the journal's line", lambda: open(session.log.name).read().count(
        '"Shut Down": cancelled') > cancelled)
    check(not power_calls() and not window(program.pid, "Shut Down"),
          "Cancel from the native warning's notification cancels, no power call")
    stop(program)

    # A task whose file cannot be opened is told by its name, as it is; Stand
    # Off switches the monitor off until the next key press.
    name = "a <b>&amp; c.txt"
    write_base((6, name, home + "/missing/", "Simple"), (12, "Stand Off", "", "Stand Off(Simple)"))
    program = start_program()
    notice = wait("the failure's notification",
                  lambda: js("(n => n ? kv.shown(n) : null)(kv.notice('Not done'))"))
    screenshot("failure-notice")
    check(notice["title"] == "Not done: " + name and name in notice["body"],
          "the failure's notification shows the file's name as it is: %s" % notice)

    def power_save():
        return int(session.bus.get_object("org.gnome.Mutter.DisplayConfig",
                                          "/org/gnome/Mutter/DisplayConfig").Get(
            "org.gnome.Mutter.DisplayConfig", "PowerSaveMode",
            dbus_interface="org.freedesktop.DBus.Properties"))

    wait("the monitor off", lambda: power_save() == 3, timeout=20)
    print("PASS: Stand Off sets the power save mode to 3", flush=True)
    js("kv.press(imports.gi.Clutter.KEY_Shift_L)")
    wait("the monitor on after a key press", lambda: power_save() == 0)
    print("PASS: a key press after Stand Off sets the power save mode back to 0", flush=True)
    stop(program)
    print("Done in %.0f s" % (time.monotonic() - started), flush=True)
    if failed:
        fail("%d checks" % len(failed))
except dbus.DBusException as error:
    fail(str(error))
finally:
    end(session, home, ASIDE)
