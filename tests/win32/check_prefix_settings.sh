#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# check_prefix_settings.sh WINE_RUN BUILD_DIR
#
# Wine prefixes made from the one template keep settings of their own: a
# new prefix's user hive ends with its own DPI and the template's with the
# default, each prefix has a stamp of its own, and asking a prefix again for
# the settings it has changes nothing (no import, no Wine started). Whether
# Wine reads the hive as written, the DPI tests show.
set -euo pipefail
wine_run=$1 build=$2

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The value Wine ends with: the last LogPixels of the desktop key's sections.
logpixels() {
    awk '/^\[/ { desktop = index($0, "[Control Panel\\\\Desktop]") == 1 }
         desktop && /^"LogPixels"=/ { value = $0 }
         END { print value }' "$1/user.reg"
}

declare -A expected=([120]=00000078 [144]=00000090)
for dpi in "${!expected[@]}"; do
    rm -rf "$build/wine-prefix-check-$dpi"
    "$wine_run" --prefix "$build/wine-prefix-check-$dpi" --dpi "$dpi" --init
done

[ "$(logpixels "$build/wine-template")" = '"LogPixels"=dword:00000060' ] ||
    fail "the template's DPI is not the default: $(logpixels "$build/wine-template")"
stamps=()
for dpi in "${!expected[@]}"; do
    prefix=$build/wine-prefix-check-$dpi
    [ "$(logpixels "$prefix")" = "\"LogPixels\"=dword:${expected[$dpi]}" ] ||
        fail "$prefix: $(logpixels "$prefix"), not $dpi dpi"
    [ "$(stat -c %h "$prefix/.codelook-ready")" -eq 1 ] || fail "$prefix shares its settings stamp"
    stamps+=("$(cat "$prefix/.codelook-ready")")
    before=$(sha256sum <"$prefix/user.reg")
    "$wine_run" --prefix "$prefix" --dpi "$dpi" --init
    [ "$(sha256sum <"$prefix/user.reg")" = "$before" ] || fail "$prefix took its settings again"
done
[ "${stamps[0]}" != "${stamps[1]}" ] || fail "two DPIs, one stamp"
echo "each prefix keeps its own settings"
