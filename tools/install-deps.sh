#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# Installs, from Debian's packages, what one of two profiles needs and this
# machine lacks. Asks apt only when something is missing.
#   tools/install-deps.sh run     building and running the program (tools/run.sh)
#   tools/install-deps.sh test    that, and everything the tests need (tools/test.sh);
#                                 the default
#   tools/install-deps.sh --list PROFILE   prints the profile's packages, one a line
set -euo pipefail

# Building and running the program, and nothing else: a user who only wants
# the window gets no test tool.
run_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev                        # Qt Widgets
    python3                             # the configure looks for it (the list's checks, cpack's last step)
    fonts-liberation                    # metric-compatible stand-ins for the window's fonts
    qt6-wayland                         # a Wayland desktop without XWayland
    libegl-mesa0 libgl1-mesa-dri        # the graphics stack a desktop has: Qt loads its EGL driver
)

# The tests, on top of the run profile.
test_packages=(
    qt6-base-private-dev                # the widget tests post window-system events
    doctest-dev                         # the test programs
    unicode-data                        # the upper-case table's source (tools/make_upper_table.py)
    clang libclang-rt-dev               # the sanitizer build and the libFuzzer corpus replay
    clang-format
    dpkg-dev file lintian desktop-file-utils appstream   # the Debian package and its checks
    devscripts git                      # hardening-check; the rebuild that must reproduce the packages
    xvfb xauth x11-utils                # start the program headless and read its window titles
    weston xwayland python3-xlib        # the program in a Wayland session, with and without XWayland; keys typed through X
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64   # the Windows program, cross-built
    wine64 wine                         # the Windows tests, under Wine
    wixl msitools faketime liblnk-utils # the Windows installer, the same bytes each build; its shortcut read back
    qt6-gtk-platformtheme               # GNOME's colours (dark style too) reach Qt through it
    orca python3-pyatspi at-spi2-core dbus-daemon   # the program beside a screen reader, on a private D-Bus
)

usage() {
    echo "usage: $0 [--list] [run|test]" >&2
    exit 2
}
list=
if [ "${1:-}" = --list ]; then
    list=yes
    shift
fi
[ $# -le 1 ] || usage
case ${1:-test} in
run) packages=("${run_packages[@]}") what="build and run Codelook" ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") what="build and test Codelook" ;;
*) usage ;;
esac
if [ -n "$list" ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "To $what, these Debian packages are missing: ${missing[*]}"
# At a terminal apt shows everything it will install, with what they
# pull in and the space they take, and asks first; elsewhere (CI) it goes on.
confirm=(-y -qq)
if [ -t 0 ] && [ -t 1 ]; then
    confirm=()
    echo "Installing them with apt-get${sudo:+ through sudo}; it lists what they bring and asks first."
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install "${confirm[@]}" --no-install-recommends "${missing[@]}"
