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

# settings_for DPI [COLOURS]: a prefix's settings: no crash dialog; no
# window left to a window manager, as none runs on a test display (Wine
# would wait two seconds for one at every top-level window's close); the
# faces the window asks for mapped to the fonts with their metrics
# (fonts-liberation), so the tests measure what a Windows user sees; the
# screen's DPI; and the system's colours from COLOURS.
settings_for() {
    printf '%s\n' 'REGEDIT4' '' \
        '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
        '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
        '"Times New Roman"="Liberation Serif"' '"MS Sans Serif"="Liberation Sans"' '' \
        '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$(printf '%08x' "$1")"
    if [ -n "${2:-}" ]; then
        printf '\n'
        cat "$2"
    fi
}
stamp_of() {
    printf '%s' "$1" | md5sum | cut -c1-32
}
settings=$(settings_for "$dpi" "$colours")
stamp=$(stamp_of "$settings")

# Records that the prefix holds the settings. A fresh file: a prefix made
# by an older copy of this script may share its stamp with the template
# through a hard link.
mark_ready() {
    rm -f "$WINEPREFIX/.codelook-ready"
    echo "$stamp" >"$WINEPREFIX/.codelook-ready"
}

# Writes the settings into the prefix WINEPREFIX names and waits until Wine
# has saved them.
apply_settings() {
    printf '%s\n' "$settings" >"$WINEPREFIX/codelook-settings.reg"
    "$wine" reg import "Z:${WINEPREFIX//\//\\}\\codelook-settings.reg" >/dev/null 2>&1
    wineserver -w
    mark_ready
}

# Writes the settings straight into a prefix no Wine runs in yet: appended
# to its user hive, in the hive's own format, which Wine merges into the
# keys already there as it loads the hive. Starting Wine to import them
# would cost a second of processor time a prefix. Fails on anything but
# HKEY_CURRENT_USER keys and values.
write_settings() {
    printf '%s\n' "$settings" | awk -v now="$(date +%s)" '
        /^(REGEDIT4)?\r?$/ || /^;/ { next }
        /^\[HKEY_CURRENT_USER\\.*\]\r?$/ {
            key = $0
            sub(/\r$/, "", key)
            key = substr(key, 20, length(key) - 20)
            gsub(/\\/, "\\\\\\\\", key)
            printf "\n[%s] %s\n", key, now
            next
        }
        /^"/ { sub(/\r$/, ""); print; next }
        { bad = 1; exit }
        END { exit bad }' >"$WINEPREFIX/codelook-settings.hive" || return 1
    cat "$WINEPREFIX/codelook-settings.hive" >>"$WINEPREFIX/user.reg"
    mark_ready
}

# One process makes the prefix, or brings an older one's settings up to
# date; any other waits for it rather than racing. A new prefix is a copy of
# the template, which no program runs in: wineboot takes ten seconds and
# more, a copy well under one.
template=$(dirname "$WINEPREFIX")/wine-template
(
    flock 9
    if [ "$(cat "$WINEPREFIX/.codelook-ready" 2>/dev/null)" != "$stamp" ]; then
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            (
                flock 8
                if [ ! -f "$template/.codelook-ready" ]; then
                    # The defaults, whoever comes first: a copy adds only
                    # its own DPI and colours.
                    settings=$(settings_for 96)
                    stamp=$(stamp_of "$settings")
                    WINEPREFIX=$template "$wine" wineboot --init >/dev/null 2>&1
                    WINEPREFIX=$template wineserver -w
                    WINEPREFIX=$template write_settings || WINEPREFIX=$template apply_settings
                fi
            ) 8>"$template.lock"
            # Linked, not copied: a prefix is 700 MB of Wine's DLLs, which
            # nothing changes. The registry, which Wine rewrites, and the
            # settings' stamp are the prefix's own, so they are copied: a
            # stamp shared through a link said every prefix had the settings
            # last written to any of them.
            cp -al "$template/." "$WINEPREFIX/"
            for file in "$template"/*.reg "$template/.codelook-ready"; do
                rm -f "$WINEPREFIX/${file##*/}"
                cp -p "$file" "$WINEPREFIX/"
            done
            [ "$(cat "$WINEPREFIX/.codelook-ready")" = "$stamp" ] || write_settings || true
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
