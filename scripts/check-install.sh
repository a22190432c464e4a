#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks Kronvale as a user gets it, from a built tree: check-install.sh [BUILD_DIR]
#  - the Debian package builds, and lintian reports no error and no warning that
#    the README does not name;
#  - apt installs the package, which gives the wake alarm's helper its
#    capability, and removes it again (as root; sudo otherwise);
#  - the desktop file and the AppStream data validate;
#  - a DESTDIR install, moved elsewhere and made read-only, runs under Xvfb with
#    a fresh HOME, in Russian: it shows its window, keeps its base in the user's
#    data folder, opens the installed Russian help page on F1 (through a
#    stand-in xdg-open), writes a valid autostart entry, and saves on SIGTERM.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
work=$(mktemp -d)
xvfb=
program=
cleanup() {
    { [ -n "$program" ] && kill -KILL "$program" && wait "$program"; } 2>/dev/null
    { [ -n "$xvfb" ] && kill "$xvfb" && wait "$xvfb"; } 2>/dev/null
    mountpoint -q "$work/ro" 2>/dev/null && umount "$work/ro"
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "check-install: $*" >&2
    exit 1
}
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local tries=$(($1 * 10))
    shift
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

echo "-- Debian package"
rm -f "$build"/kronvale_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$build/kronvale_1.1-1_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb")"
# libglib2.0-0 also holds GIO, which the program loads by name at its first launch.
for dep in xdg-utils fonts-liberation2 fonts-dejavu-core qt6-wayland libqt6widgets6 libglib2.0-0; do
    dpkg-deb -f "$deb" Depends | grep -qw "$dep" || fail "the package does not depend on $dep"
done
# The single instance talks over a plain Unix socket: the program does not link
# Qt Network (the hover sound's module, loaded at the first sound, does).
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/kronvale >"$work/kronvale"
readelf -d "$work/kronvale" >"$work/dynamic"
if grep -q 'libQt6Network' "$work/dynamic"; then
    fail "the program links Qt Network, which it does not use"
fi
lintian --fail-on error "$deb" >"$work/lintian.log" 2>/dev/null ||
    { cat "$work/lintian.log"; fail "lintian reports errors"; }
while read -r tag; do
    grep -q "\`$tag\`" "$root/README.md" || fail "lintian warns $tag, which the README does not name"
done < <(sed -n 's/^W: [^ ]* \([a-z0-9-]*\).*/\1/p' "$work/lintian.log")
sed 's/^/   /' "$work/lintian.log"

echo "-- Package installed with apt"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
helper=/usr/libexec/kronvale/kronvale-wakealarm
dpkg-deb -f "$deb" Depends | grep -qw libcap2-bin || fail "the package does not depend on libcap2-bin"
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt could not install the package"; }
caps=$(getcap "$helper")
"${sudo_cmd[@]}" apt-get purge -y -q kronvale >>"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt could not remove the package"; }
[ "$caps" = "$helper cap_wake_alarm=ep" ] || fail "the installed helper has no CAP_WAKE_ALARM: '$caps'"
echo "   $caps"

echo "-- Installed tree, moved and read-only"
DESTDIR=$work/stage cmake --install "$build" --prefix /usr >/dev/null
mv "$work/stage/usr" "$work/tree"
[ "$(ls "$work/tree/bin")" = kronvale ] || fail "bin/ holds more than kronvale: $(ls "$work/tree/bin")"
desktop=$(ls "$work"/tree/share/applications/*.desktop)
id=$(basename "$desktop" .desktop)
desktop-file-validate "$desktop" || fail "invalid $desktop"
appstreamcli validate --no-net "$work/tree/share/metainfo/$id.metainfo.xml" >"$work/as.log" || true
! grep -E '^[EW]:' "$work/as.log" || fail "AppStream data has errors or warnings"
for ts in "$root"/translations/kronvale_*.ts; do
    language=$(basename "$ts" .ts)
    language=${language#kronvale_}
    [ -f "$work/tree/share/kronvale/help_$language.html" ] || fail "no help page in $language"
done
for size in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256; do
    [ -f "$work/tree/share/icons/hicolor/$size/apps/$id.png" ] || fail "no $size icon"
done
mkdir "$work/ro"
# CI runs as root, who ignores write bits: a read-only bind mount stops root too.
if mount --bind "$work/tree" "$work/ro" 2>/dev/null; then
    mount -o remount,bind,ro "$work/ro"
else
    rmdir "$work/ro" && cp -a "$work/tree" "$work/ro" && chmod -R a-w "$work/ro"
fi
! touch "$work/ro/bin/probe" 2>/dev/null || fail "the installed tree is writable"

echo "-- Installed program under Xvfb, with a fresh home folder, in Russian"
mkdir -p "$work/home" "$work/run" "$work/fake"
chmod 700 "$work/run"
cat >"$work/fake/xdg-open" <<'OPENER'
#!/bin/sh
printf '%s\n' "$@" >>"$KV_OPENED"
OPENER
chmod +x "$work/fake/xdg-open"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
display=:$(cat "$work/display")
env -i HOME="$work/home" PATH="$work/fake:/usr/bin:/bin" DISPLAY="$display" \
    XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8 LANGUAGE=ru KV_OPENED="$work/opened" \
    "$work/ro/bin/kronvale" 2>"$work/program.log" &
program=$!
find_window() {
    DISPLAY=$display xdotool search --all --onlyvisible --pid "$program" --name '^Kronvale v1\.1$' \
        2>/dev/null
}
wait_for 30 find_window >/dev/null || { cat "$work/program.log"; fail "no window shown"; }
window=$(find_window | head -n 1)
wm_class=$(DISPLAY=$display xprop -id "$window" WM_CLASS | sed 's/.*, "\(.*\)"/\1/')
grep -qx "StartupWMClass=$wm_class" "$desktop" || fail "window class $wm_class is not StartupWMClass"
# The built-in icon has 16 x 16 alone; the theme's has the larger sizes too. It
# follows the window, which does not wait for the theme's lookup.
theme_icon() { DISPLAY=$display xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (48 x 48)'; }
wait_for 5 theme_icon || fail "the window does not use the installed theme icon"

# Pressed again until the window has the focus and takes the key.
press_f1() {
    DISPLAY=$display xdotool windowfocus "$window" key F1 2>/dev/null
    sleep 0.3
    test -s "$work/opened"
}
wait_for 10 press_f1 || fail "F1 opened nothing"
grep -qx "file://$work/ro/share/kronvale/help_ru.html" "$work/opened" ||
    fail "F1 opened $(cat "$work/opened")"

base=$work/home/.local/share/kronvale/KV.log
wait_for 10 test -f "$base" || fail "no task base in the user's data folder"
entry=$work/home/.config/autostart/$id.desktop
wait_for 10 test -f "$entry" || fail "no autostart entry $entry"
desktop-file-validate "$entry" || fail "invalid autostart entry"
grep -qx "Exec=$work/ro/bin/kronvale --tray" "$entry" || fail "autostart entry: $(grep Exec "$entry")"

# The program writes CR LF line ends: bare LF ends are gone only if it saved.
sed -i 's/\r$//' "$base"
kill -TERM "$program"
status=0
wait "$program" || status=$?
program=
[ "$status" -eq 0 ] || { cat "$work/program.log"; fail "exit status $status after SIGTERM"; }
grep -q $'\r$' "$base" || fail "SIGTERM did not save the task base"
echo "   package, installed tree and installed program: all right"
