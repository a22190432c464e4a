#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Kronvale needs to build, run and test.
# Idempotent: prints nothing and touches nothing when all are present.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins qt6-wayland libgl-dev
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n python3
    libx11-dev libxext-dev libglib2.0-dev libglib2.0-bin
    fonts-dejavu-core fonts-liberation2 xdg-utils hicolor-icon-theme
    xvfb xauth dbus python3-dbusmock trayer xdotool openbox x11-utils weston
    at-spi2-core python3-pyatspi imagemagick
    sway waybar mako-notifier xwayland grim python3-dbus util-linux
    gnome-shell gjs gir1.2-gtk-3.0
    clang-format clang libclang-rt-14-dev
    dpkg-dev file lintian desktop-file-utils appstream libcap2-bin
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null | grep -q '^ii'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
