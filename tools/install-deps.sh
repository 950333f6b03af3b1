#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# Installs, from Debian's packages, whatever the build and the tests need
# and this machine lacks. Asks apt only when something is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-private-dev   # Qt Widgets; the widget tests post window-system events
    fonts-liberation                    # metric-compatible stand-ins for the window's fonts
    python3                             # list and icon converters
    doctest-dev                         # the lookup engine's tests
    unicode-data                        # the upper-case table's source (tools/make_upper_table.py)
    clang libclang-rt-dev               # the libFuzzer corpus replay
    clang-format
    dpkg-dev file lintian desktop-file-utils appstream   # the Debian package and its checks
    devscripts git                      # hardening-check; the rebuild that must reproduce the packages
    xvfb xauth x11-utils                # start the packaged program and read its window titles
    weston xwayland qt6-wayland python3-xlib   # the program in a Wayland session, with and without XWayland
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64   # the Windows program, cross-built
    wine64 wine                         # the Windows tests, under Wine
    libegl-mesa0 libgl1-mesa-dri        # the graphics stack a desktop has: Qt loads its EGL driver
    qt6-gtk-platformtheme               # GNOME's colours (dark style too) reach Qt through it
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
