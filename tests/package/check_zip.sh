#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# check_zip.sh CPACK BUILD_DIR SCRATCH_DIR WINE_RUN PREFIX OBJDUMP KNOWNDLLS
#
# Makes the Windows zip and its SHA256SUMS, checks what it holds and the
# stripped codelook.exe in it (check_pe.sh), unzips it as a user would and
# starts codelook.exe from the unzipped folder under Wine, where it must find
# its list (start_in_folder.sh).
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
# The installer is made with it (check_msi.sh).
sums=$(cut -d' ' -f3 "$scratch/SHA256SUMS")
[ "$sums" = "$(printf '%s\n' "$top.msi" "$top.zip")" ] || { echo "SHA256SUMS names:"; echo "$sums"; exit 1; }
"$(dirname "$0")/check_pe.sh" "$objdump" "$folder/codelook.exe" "$knowndlls"

"$(dirname "$0")/start_in_folder.sh" "$wine_run" "$prefix" "$folder"
