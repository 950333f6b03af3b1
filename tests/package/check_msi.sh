#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# check_msi.sh CPACK BUILD_DIR SCRATCH_DIR WINE_RUN PREFIX SOURCE_DIR
#
# Makes the Windows installer with the zip and takes it through a user's
# life with it under Wine, in a fresh prefix: install, the shortcut, the
# program started from it, the Apps & features entry, a repair and an
# upgrade with an edited list, a refused downgrade, and removal.
#
# What Wine cannot show: msiexec always runs elevated, so the package itself
# must say it is for one user; Wine writes the uninstall entry under HKLM
# and no DisplayIcon; and Wine overwrites a changed unversioned file where
# Windows would keep it, so a list kept here was kept by its component's
# attributes, which both honour.
set -euo pipefail
cpack=$1 build=$2 scratch=$3 wine_run=$4 prefix=$5 source=$6

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
rm -rf "$scratch" "$prefix" && mkdir -p "$scratch"
"$cpack" -G ZIP --config "$build/CPackConfig.cmake" -B "$scratch" >/dev/null
msi=$(ls "$scratch"/codelook-*-win64.msi)
version=$(basename "$msi" -win64.msi) && version=${version#codelook-}
(cd "$scratch" && grep -q "  ${msi##*/}\$" SHA256SUMS && sha256sum --check --strict SHA256SUMS >/dev/null)

# For one user, though Wine's msiexec would install elevated anyway: no
# ALLUSERS, and the summary's word count says no elevation is needed.
property() { msiinfo export "$1" Property | sed -n "s/^$2\t//p" | tr -d '\r'; }
[ -z "$(property "$msi" ALLUSERS)" ] || fail "the package sets ALLUSERS"
words=$(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p') # msiinfo's name for the word count
(((words & 8) != 0)) || fail "the package asks for elevation (word count $words)"
[ "$(property "$msi" ProductVersion)" = "$version" ] || fail "ProductVersion is not $version"

# A higher version of the same files, as the next release would be.
next=${version%.*}.$((${version##*.} + 1))
"$(dirname "$cpack")/cmake" -DZIP="${msi%.msi}.zip" -DVERSION="$next" -DOUTPUT="$scratch/next.msi" -P "$source/cmake/WindowsInstaller.cmake" >/dev/null
old_code=$(property "$msi" ProductCode) new_code=$(property "$scratch/next.msi" ProductCode)
[ "$old_code" != "$new_code" ] || fail "both versions have the product code $old_code"

export WINEDLLOVERRIDES=winemenubuilder.exe=d # no menu entries in this machine's own desktop
export WINEPREFIX WINEDEBUG=-all
WINEPREFIX=$(mkdir -p "$prefix" && cd "$prefix" && pwd)
"$wine_run" --prefix "$prefix" --init
msiexec() { # exit status as Wine gives it: cut to 8 bits
    local status=0
    "$wine_run" --prefix "$prefix" msiexec "$@" /qn >&2 || status=$?
    echo $status
}
uninstall_entry() { # the entry of product code $1, in either hive
    local hive
    for hive in HKCU HKLM; do
        "$wine_run" --prefix "$prefix" reg query "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" \
            2>/dev/null | tr -d '\r' && return
    done
}
snapshot() { # Wine's server writes the registry's files as it ends
    wineserver -k 2>/dev/null || true
    (cd "$WINEPREFIX/drive_c" && find . | sort) >"$scratch/files.$1"
    grep -h '^\[' "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg" | sed 's/\] [0-9]*$/]/' | sort -u >"$scratch/keys.$1"
}
snapshot before

[ "$(msiexec /i "Z:${msi//\//\\}")" = 0 ] || fail "msiexec /i"
echo "installed $version"
link=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Codelook.lnk')
[ -n "$link" ] || fail "no Start-menu shortcut Codelook for the user"
info=$(lnkinfo "$link")
field() { sed -n "s/^\t$1[\t ]*: //p" <<<"$info"; }
folder=$(field 'Working directory')
[[ "$folder" == 'C:\users\'*'\AppData\Local\Programs\Codelook\' ]] || fail "the shortcut starts in $folder"
[ "$(field 'Local path')" = "${folder}codelook.exe" ] || fail "the shortcut starts $(field 'Local path')"
unix() { local path=${1#C:\\}; echo "$WINEPREFIX/drive_c/${path//\\//}"; }
cmp "$(unix "$(field 'Icon location')")" "$source/resources/codelook.ico"
dir=$(unix "$folder")
[ "$(LC_ALL=C ls "$dir" | tr '\n' ' ')" = "LICENSE.txt README.txt airports.LICENSE.txt codelook.exe codelook.txt " ] ||
    fail "installed: $(ls "$dir")"
cmp "$dir/codelook.txt" "$source/data/codelook.txt"
cmp "$dir/README.txt" "$source/README.md"
# The program's version resource: its fixed version and its string.
python3 - "$dir/codelook.exe" "$version" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.index(b"\xbd\x04\xef\xfe")  # VS_FIXEDFILEINFO
ms, ls = struct.unpack_from("<II", data, at + 8)
fixed = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
named = data.index("ProductVersion\0".encode("utf-16-le")) + 30
named = (named + 3) & ~3  # the value starts on a 32-bit boundary
text = data[named:data.index(b"\0\0", named) + 1].decode("utf-16-le")
if (fixed, text) != (sys.argv[2] + ".0", sys.argv[2]):
    sys.exit("codelook.exe says %s and %s, the package %s" % (fixed, text, sys.argv[2]))
EOF
entry=$(uninstall_entry "$old_code") || fail "no uninstall entry $old_code"
for value in "DisplayName.*Codelook" "DisplayVersion.*$version" "Publisher.*The codelook developers"; do
    grep -q "$value\s*$" <<<"$entry" || fail "the uninstall entry lacks $value"
done
[ "$(property "$msi" ARPPRODUCTICON)" = codelook.ico ] || fail "no icon for Apps & features"
"$(dirname "$0")/start_in_folder.sh" "$wine_run" "$prefix" "$dir"

# Repair and upgrade keep an edited list and bring back what is missing.
echo "ZZZZ|Edited by its user" >>"$dir/codelook.txt"
cp "$dir/codelook.txt" "$scratch/edited.txt"
rm "$dir/LICENSE.txt"
[ "$(msiexec /i "Z:${msi//\//\\}" REINSTALL=ALL REINSTALLMODE=vamus)" = 0 ] || fail "repair"
[ -f "$dir/LICENSE.txt" ] || fail "the repair did not bring LICENSE.txt back"
cmp "$dir/codelook.txt" "$scratch/edited.txt" || fail "the repair lost the edited list"
[ "$(msiexec /i "Z:${scratch//\//\\}\\next.msi")" = 0 ] || fail "upgrade to $next"
cmp "$dir/codelook.txt" "$scratch/edited.txt" || fail "the upgrade lost the edited list"
! uninstall_entry "$old_code" >/dev/null || fail "$version is still listed after the upgrade"
uninstall_entry "$new_code" | grep -q "DisplayVersion.*$next" || fail "no uninstall entry for $next"
echo "upgraded to $next, the edited list kept"

# The older version is refused (Windows Installer's fatal error 1603).
[ "$(msiexec /i "Z:${msi//\//\\}")" = $((1603 & 255)) ] || fail "the downgrade was not refused"
uninstall_entry "$new_code" >/dev/null || fail "the downgrade removed $next"
msiinfo export "$msi" LaunchCondition | grep -q "A newer version of Codelook is already installed" ||
    fail "no message for a refused downgrade"

# Removal leaves the user's list and nothing else: no file, no registry key
# but Windows Installer's own, no mention of either version.
[ "$(msiexec /x "$new_code")" = 0 ] || fail "msiexec /x"
snapshot after
cmp "$dir/codelook.txt" "$scratch/edited.txt" || fail "the removal took the edited list"
left=$(comm -13 "$scratch/files.before" "$scratch/files.after" | grep -v -E '/Programs(/Codelook(/codelook.txt)?)?$|/Installer$') &&
    fail "left behind: $left"
installer='^\[Software\\\\Microsoft\\\\(Windows\\\\CurrentVersion\\\\)?Installer\\\\'
left=$(comm -13 "$scratch/keys.before" "$scratch/keys.after" | grep -v -E "$installer") && fail "keys left: $left"
packed() { # a GUID as Windows Installer writes it in its keys
    local g=${1//[\{\}-]/} out i
    out=$(rev <<<"${g:0:8}")$(rev <<<"${g:8:4}")$(rev <<<"${g:12:4}")
    for ((i = 16; i < 32; i += 2)); do out+=${g:i+1:1}${g:i:1}; done
    echo "$out"
}
for code in "$old_code" "$new_code" "$(property "$msi" UpgradeCode)"; do
    ! grep -q -i -e "${code//[\{\}]/}" -e "$(packed "$code")" "$WINEPREFIX"/*.reg || fail "$code is still registered"
done
echo "removed, the edited list left in $folder"
