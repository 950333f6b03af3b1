#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# check_zip.sh CPACK BUILD_DIR SCRATCH_DIR WINE_RUN PREFIX OBJDUMP KNOWNDLLS
#
# Makes the Windows zip and its SHA256SUMS, checks what it holds and the
# stripped codelook.exe in it (check_pe.sh), unzips it as a user would and
# starts codelook.exe from the unzipped folder under Wine: the window must
# come up with the start-up caption, not the missing-list warning.
set -euo pipefail
cpack=$1 build=$2 scratch=$3 wine_run=$4 prefix=$5 objdump=$6 knowndlls=$7

rm -rf "$scratch" && mkdir -p "$scratch"
"$cpack" -G ZIP --config "$build/CPackConfig.cmake" -B "$scratch" >/dev/null
zip=$(ls "$scratch"/codelook-*-win64.zip)
echo "made $(basename "$zip")"

listing=$(cd "$scratch" && python3 -c 'import sys, zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")
top=$(basename "$zip" .zip)
expected=$(printf '%s\n' "$top/LICENSE.txt" "$top/airports.LICENSE.txt" "$top/codelook.exe" "$top/codelook.txt" | sort)
if [ "$listing" != "$expected" ]; then
    echo "unexpected contents:"; echo "$listing"; exit 1
fi

(cd "$scratch" && python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall("unzipped")' "$zip")
folder="$scratch/unzipped/$top"
cmp "$folder/codelook.txt" "$build/win32/codelook.txt"
(cd "$scratch" && sha256sum --check --strict SHA256SUMS)
[ "$(wc -l <"$scratch/SHA256SUMS")" -eq 1 ] || { echo "SHA256SUMS names more than the zip"; exit 1; }
"$(dirname "$0")/check_pe.sh" "$objdump" "$folder/codelook.exe" "$knowndlls"

# Start it from its folder and read the window titles Wine shows.
cd "$folder"
"$wine_run" --prefix "$prefix" codelook.exe &
program=$!
found=
for _ in $(seq 1 40); do
    titles=$(xwininfo -root -tree 2>/dev/null || true)
    if grep -q '"FILE NON FOUND"' <<<"$titles"; then
        echo "the unzipped program did not find its list"; kill $program 2>/dev/null; exit 1
    fi
    if grep -q '"GET ICAO/AIRPORT NAME - BY MELVO VERNASCO"' <<<"$titles"; then
        found=1; break
    fi
    sleep 0.5
done
WINEPREFIX=$(cd "$prefix" && pwd) wineserver -k 2>/dev/null || true
wait $program 2>/dev/null || true
[ -n "$found" ] || { echo "no window with the start-up caption"; exit 1; }
echo "the unzipped program started with its list"
