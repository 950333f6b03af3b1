#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# wine-run.sh --prefix DIR [--init] [PROGRAM.exe ARGS...]
#
# Runs a Windows program under Wine the way the tests need it: a private
# prefix, made once with wineboot; no debug chatter; no prompt to install
# Mono or Gecko; no crash dialog waiting for a click; and a display (a
# headless X server of its own when none is set). Exits with the program's
# status. --init only makes the prefix.
set -euo pipefail

prefix=
init_only=
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix) prefix=$2; shift 2 ;;
        --init) init_only=1; shift ;;
        *) break ;;
    esac
done
if [ -z "$prefix" ]; then
    echo "usage: wine-run.sh --prefix DIR [--init] [PROGRAM.exe ARGS...]" >&2
    exit 64
fi

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a "$0" --prefix "$prefix" ${init_only:+--init} "$@"
fi

export WINEPREFIX
WINEPREFIX=$(mkdir -p "$prefix" && cd "$prefix" && pwd)
# A caller's WINEDEBUG and WINEDLLOVERRIDES (a test that traces the loader,
# or prefers native DLLs) apply to the program only.
program_debug=${WINEDEBUG:--all}
program_overrides="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=${WINE:-wine}

# One process makes the prefix; any other waits for it rather than racing.
(
    flock 9
    if [ ! -f "$WINEPREFIX/.codelook-ready" ]; then
        "$wine" wineboot --init >/dev/null 2>&1
        "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.codelook-ready"
    fi
) 9>"$WINEPREFIX/.codelook-lock"

[ -n "$init_only" ] && exit 0
# The server and Wine's own background processes are started here, away
# from this script's output: started by the program, they would hold the
# test's pipe open and CTest would wait for them to go. They stay a while
# for the next program; the start fails harmlessly when they already run.
if wineserver -p10 </dev/null >/dev/null 2>&1; then
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
WINEDEBUG=$program_debug WINEDLLOVERRIDES=$program_overrides exec "$wine" "$@"
