#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# check_dll_search.sh WINE_RUN PREFIX PROGRAM LIST MARKER_DLL KNOWNDLLS SCRATCH
#
# A DLL planted beside codelook.exe (in a Downloads folder, say) must never
# be loaded. The program runs once under Wine to learn which DLLs it loads
# once it has started; then a marker DLL named like each of them, and like
# comctl32.dll, is planted beside it, Wine is told to prefer a native DLL
# to its own, and the program runs again: its window must come up, and no
# marker may be loaded.
#
# What Wine cannot show: Windows maps its KnownDLLs from System32 whatever
# the folder holds; Wine has no KnownDLLs, and with native DLLs preferred it
# takes them from the program's folder: the program's imports and theirs
# while the process starts, and later ones through its own DLLs' delay loads,
# which pass the default DLL directories by. So no marker is named like a
# KnownDLL (the import table check holds the program to those), and the
# loads Wine makes while the process starts are its own DLLs', not Windows'.
set -euo pipefail
wine_run=$1 prefix=$2 program=$3 list=$4 marker=$5 knowndlls=$6 scratch=$7

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

wine_run=$(realpath "$wine_run")
prefix=$(realpath "$prefix")
rm -rf "$scratch" && mkdir -p "$scratch/folder"
cp "$program" "$scratch/folder/codelook.exe"
cp "$list" "$scratch/folder/codelook.txt"
folder=$(cd "$scratch/folder" && pwd)

# Runs codelook.exe in its folder until its window shows, with Wine's module
# trace in $1.
run() {
    local log=$1 program_pid found=
    (cd "$folder" && WINEDEBUG=+module,+loaddll exec "$wine_run" --prefix "$prefix" codelook.exe) 2>"$log" &
    program_pid=$!
    for _ in $(seq 1 60); do
        if xwininfo -root -tree 2>/dev/null | grep -q '"GET ICAO/AIRPORT NAME - BY MELVO VERNASCO"'; then
            found=1
            break
        fi
        kill -0 $program_pid 2>/dev/null || break
        sleep 0.5
    done
    # Let the window's first messages, and the loads they bring, go through.
    sleep 1
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    wait $program_pid 2>/dev/null || true
    [ -n "$found" ]
}

# The trace lines of the program's own process.
own_lines() {
    local process
    process=$(grep -m1 'trace:loaddll:.*Loaded L".*\\codelook.exe"' "$1" | cut -d: -f1)
    [ -n "$process" ] || fail "no trace of codelook.exe in $1"
    grep "^$process:" "$1"
}

run "$scratch/first.log" || fail "the program did not start (see $scratch/first.log)"
# Start-up ends with the last DLL the loader attaches for the imports
# (attached with a non-null reserved argument); what loads after that, the
# program or Windows' DLLs on its behalf load by name at run time.
after_start=$(own_lines "$scratch/first.log" | awk '
    /trace:module:process_attach .*,0*[1-9a-fA-F][0-9a-fA-F]*\) - END/ { started = NR }
    /trace:loaddll:.*Loaded L"/ { loaded[NR] = $0 }
    END { for (n in loaded) if (n + 0 > started) print loaded[n] }' |
    sed 's/.*Loaded L"\(.*\)" at .*/\1/; s/.*\\//' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$after_start" ] || fail "no DLL loaded after start-up: the check would check nothing"
echo "loaded after start-up: $(echo $after_start)"

names=$(printf '%s\n' $after_start comctl32.dll | sort -u | grep -v -x -F -f <(grep -v '^#' "$knowndlls"))
overrides=
for name in $names; do
    cp "$marker" "$folder/$name"
    overrides+="${overrides:+,}${name%.dll}"
done
echo "planted: $(echo $names)"

started=yes
WINEDLLOVERRIDES="$overrides=n,b" run "$scratch/planted.log" || started=
ran=$(cd "$folder" && ls -- *.ran 2>/dev/null || true)
[ -z "$ran" ] || fail "planted DLLs were loaded: $ran"
# Wine's own DLLs live in C:\windows; anything else but the program came
# from its folder.
from_folder=$(own_lines "$scratch/planted.log" | grep 'trace:loaddll:.*Loaded L"' |
    grep -v -i -e 'L"C:\\\\windows\\\\' -e '\\codelook.exe"' || true)
[ -z "$from_folder" ] || fail "loaded from the program's folder: $from_folder"
[ -n "$started" ] || fail "the program did not start beside the planted DLLs (see $scratch/planted.log)"
echo "no planted DLL was loaded"
