#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# wine-run.sh --prefix DIR [--dpi N] [--colours FILE] [--init] [PROGRAM.exe ARGS...]
#
# Runs a Windows program under Wine the way the tests need it: a private
# prefix, copied from a template made once with wineboot (wine-template,
# beside the prefix: every prefix of a build shares it); no debug chatter; no prompt to install
# Mono or Gecko; no crash dialog waiting for a click; Windows' own faces
# drawn in their metric twins; the screen at N dpi (96 unless given; one
# prefix a DPI); the system's colours from FILE (registry lines for
# HKCU\Control Panel\Colors, which Wine reads as the prefix starts; one
# prefix a colour set); and a display (a headless X server of its own when none is
# set). Exits with the program's status. --init only makes the prefix.
set -euo pipefail

prefix=
dpi=96
colours=
init_only=
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix) prefix=$2; shift 2 ;;
        --dpi) dpi=$2; shift 2 ;;
        --colours) colours=$2; shift 2 ;;
        --init) init_only=1; shift ;;
        *) break ;;
    esac
done
if [ -z "$prefix" ]; then
    echo "usage: wine-run.sh --prefix DIR [--init] [PROGRAM.exe ARGS...]" >&2
    exit 64
fi

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a "$0" --prefix "$prefix" --dpi "$dpi" ${colours:+--colours "$colours"} ${init_only:+--init} "$@"
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

# The prefix's settings: no crash dialog; no window left to a window
# manager, as none runs on a test display (Wine would wait two seconds for
# one at every top-level window's close); the faces the window asks for
# mapped to the fonts with their metrics (fonts-liberation), so the tests
# measure what a Windows user sees; and the screen's DPI.
settings=$(printf '%s\n' 'REGEDIT4' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"Times New Roman"="Liberation Serif"' '"MS Sans Serif"="Liberation Sans"' '' \
    '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$(printf '%08x' "$dpi")")
if [ -n "$colours" ]; then
    settings=$(printf '%s\n\n' "$settings"; cat "$colours")
fi

# Writes the settings into the prefix WINEPREFIX names and waits until Wine
# has saved them.
apply_settings() {
    printf '%s\n' "$settings" >"$WINEPREFIX/codelook-settings.reg"
    "$wine" reg import "Z:${WINEPREFIX//\//\\}\\codelook-settings.reg" >/dev/null 2>&1
    wineserver -w
    echo "$stamp" >"$WINEPREFIX/.codelook-ready"
}

# One process makes the prefix, or brings an older one's settings up to
# date; any other waits for it rather than racing. A new prefix is a copy of
# the template, which no program runs in: wineboot takes ten seconds and
# more, a copy well under one.
stamp=$(printf '%s' "$settings" | md5sum | cut -c1-32)
template=$(dirname "$WINEPREFIX")/wine-template
(
    flock 9
    if [ "$(cat "$WINEPREFIX/.codelook-ready" 2>/dev/null)" != "$stamp" ]; then
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            (
                flock 8
                if [ ! -f "$template/.codelook-ready" ]; then
                    WINEPREFIX=$template "$wine" wineboot --init >/dev/null 2>&1
                    WINEPREFIX=$template wineserver -w
                    WINEPREFIX=$template apply_settings
                fi
            ) 8>"$template.lock"
            # Linked, not copied: a prefix is 700 MB of Wine's DLLs, which
            # nothing changes. The registry, which Wine rewrites, is copied.
            cp -al "$template/." "$WINEPREFIX/"
            for hive in "$template"/*.reg; do
                rm -f "$WINEPREFIX/${hive##*/}"
                cp -p "$hive" "$WINEPREFIX/"
            done
        fi
        [ "$(cat "$WINEPREFIX/.codelook-ready" 2>/dev/null)" = "$stamp" ] || apply_settings
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
