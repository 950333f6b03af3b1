#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# The program in a Wayland session with XWayland, as on the usual Linux
# desktops: run inside session.sh weston, with WAYLAND_DISPLAY and DISPLAY
# set. Needs weston, xwayland, qt6-wayland and python3-xlib.
# Usage: check_weston.sh PROGRAM FOLDER [SESSION_TEST]
#   PROGRAM       codelook, started in FOLDER, which holds codelook.txt
#   SESSION_TEST  the start-up test (tst_session.cpp), run too when given
set -euo pipefail
here=$(dirname "$(realpath "$0")")
program=$(realpath "$1")
session_test=${3:+$(realpath "$3")}
cd "$2"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

python=
for candidate in python3 /usr/bin/python3; do
    if "$candidate" -c 'import Xlib' 2>/dev/null; then
        python=$candidate
        break
    fi
done
[ -n "$python" ] || fail "no Python with Xlib (python3-xlib)"

echo "== both sockets: an X11 client of XWayland on $DISPLAY"
"$python" "$here/check_x11_client.py" "$program" || fail "the program on XWayland"

# Starts the program with these environment changes and waits until it has
# titled a Wayland toplevel with the start-up caption; the protocol log is
# libwayland's own (WAYLAND_DEBUG).
wayland_client() {
    local log
    log=$(mktemp)
    env "$@" WAYLAND_DEBUG=client "$program" 2>"$log" &
    local pid=$! titled=
    for _ in $(seq 100); do
        if grep -q 'xdg_toplevel@[0-9]*\.set_title("GET ICAO/AIRPORT NAME - BY MELVO VERNASCO")' "$log"; then
            titled=yes
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    local running=
    kill -0 "$pid" 2>/dev/null && running=yes
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if [ -z "$titled" ] || [ -z "$running" ]; then
        grep -v '^\[' "$log" | tail -n 20 >&2
        rm -f "$log"
        return 1
    fi
    rm -f "$log"
}

echo "== QT_QPA_PLATFORM=wayland: a Wayland client"
wayland_client QT_QPA_PLATFORM=wayland || fail "the program on Wayland when the user asks for it"
echo "== no X server: a Wayland client"
wayland_client -u DISPLAY || fail "the program on Wayland alone"

[ -n "$session_test" ] || exit 0

# The start-up test in each session: the platform it ends on, and a search,
# DELETE and EXIT from the keyboard there. Weston's headless back end has no
# seat, yet offers text input, and Qt 6.4's Wayland input context fails on
# that (a null seat when a focused box paints its cursor): the plain compose
# input context stands in, as when a user sets an input method.
session() {
    local expected=$1
    shift
    echo "== $expected: $*"
    env "$@" QT_IM_MODULE=compose CODELOOK_EXPECTED_PLATFORM="$expected" "$session_test" ||
        fail "start-up test on $expected"
}
session xcb DISPLAY="$DISPLAY"
session wayland QT_QPA_PLATFORM=wayland
session wayland -u DISPLAY
# An X server that is named but gone (a stale DISPLAY): Wayland after all.
session wayland DISPLAY=:65000
echo "== the program keeps working in a Wayland session with XWayland"
