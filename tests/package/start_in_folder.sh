#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# start_in_folder.sh WINE_RUN PREFIX FOLDER
#
# Starts FOLDER/codelook.exe in FOLDER under Wine, as a user or a shortcut
# would, and reads the window titles Wine shows: the window must come up
# with the start-up caption, not the missing-list warning. Ends the
# prefix's Wine server.
set -euo pipefail
wine_run=$1 prefix=$2 folder=$3

cd "$folder"
"$wine_run" --prefix "$prefix" codelook.exe &
program=$!
found=
for _ in $(seq 1 40); do
    titles=$(xwininfo -root -tree 2>/dev/null || true)
    if grep -q '"FILE NON FOUND"' <<<"$titles"; then
        echo "the program started in $folder did not find its list"; kill $program 2>/dev/null; exit 1
    fi
    if grep -q '"GET ICAO/AIRPORT NAME - BY MELVO VERNASCO"' <<<"$titles"; then
        found=1; break
    fi
    sleep 0.5
done
WINEPREFIX=$(cd "$prefix" && pwd) wineserver -k 2>/dev/null || true
wait $program 2>/dev/null || true
[ -n "$found" ] || { echo "no window with the start-up caption"; exit 1; }
echo "the program started in $folder with its list"
