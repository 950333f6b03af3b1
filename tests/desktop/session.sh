#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# Runs a command inside a private headless desktop session and ends the
# session with it, whatever way the command ends.
# Usage: session.sh xvfb|weston COMMAND [ARG...]
#   xvfb    an X server alone: DISPLAY is set
#   weston  a Wayland compositor with XWayland: WAYLAND_DISPLAY and DISPLAY
# The session has its own XDG_RUNTIME_DIR, its screen is 1280 x 1024, and
# whatever platform and scale the caller chose for Qt are forgotten.
set -euo pipefail
kind=$1
shift

runtime=$(mktemp -d "${TMPDIR:-/tmp}/codelook-session.XXXXXX")
chmod 700 "$runtime"
server='' command=''
cleanup() {
    if [ -n "$command" ]; then
        kill "$command" 2>/dev/null || true
        wait "$command" 2>/dev/null || true
    fi
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

export XDG_RUNTIME_DIR=$runtime
unset DISPLAY WAYLAND_DISPLAY WAYLAND_SOCKET XDG_SESSION_TYPE QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME \
    QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR

fail() {
    echo "session.sh: $*" >&2
    [ -f "$runtime/server.log" ] && tail -n 20 "$runtime/server.log" >&2
    exit 1
}

# Polls for up to ten seconds.
waitFor() {
    for _ in $(seq 100); do
        "$@" && return 0
        kill -0 "$server" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

case $kind in
xvfb)
    # -displayfd picks a free display number without racing other servers.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$runtime/display" >"$runtime/server.log" 2>&1 &
    server=$!
    waitFor test -s "$runtime/display" || fail "Xvfb did not start"
    DISPLAY=:$(cat "$runtime/display")
    export DISPLAY
    ;;
weston)
    # Weston's XWayland listens in the X sockets' folder, which exists only
    # once some X server has made it.
    # shellcheck disable=SC2174 # /tmp is there; only the last folder is made
    mkdir -p -m 1777 /tmp/.X11-unix
    weston --backend=headless-backend.so --xwayland --no-config --socket=wayland-codelook \
        --width=1280 --height=1024 --idle-time=0 --log="$runtime/server.log" >/dev/null 2>&1 &
    server=$!
    listening() { grep -q 'xserver listening on display' "$runtime/server.log" 2>/dev/null; }
    waitFor test -S "$runtime/wayland-codelook" || fail "weston did not start"
    waitFor listening || fail "weston started no XWayland"
    DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$runtime/server.log" | head -n 1)
    export DISPLAY WAYLAND_DISPLAY=wayland-codelook
    ;;
*)
    fail "unknown session kind: $kind"
    ;;
esac

# In the background, so a TERM from the test driver ends the command and
# the session at once.
"$@" &
command=$!
status=0
wait "$command" || status=$?
command=
exit "$status"
