#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# Makes the Debian package from a build and checks it the way a user meets
# it: lintian with every tag shown, Debian's hardening of the program, the
# desktop entry and metainfo validators, the file list, and the unpacked
# program started as its desktop entry starts it, on X11 and in a Wayland
# session.
# Usage: check_deb.sh CPACK BUILD_DIR WORK_DIR SHIPPED_LIST PROBE PROBE_OBJECT
# (PROBE: a program built with the package's flags, and its object file.)
set -euo pipefail
cpack=$1 build=$2 work=$3 shipped=$4 probe=$5 probe_object=$6

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G DEB"; }

shopt -s nullglob
debs=("$work"/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one package in $work, found ${#debs[@]}"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "codelook_${version}_$(dpkg --print-architecture).deb" ] ||
    fail "not named as Debian names packages: $(basename "$deb")"
echo "== $(basename "$deb")"
(cd "$work" && sha256sum --check --strict SHA256SUMS) || fail "SHA256SUMS does not match the package"

echo "== lintian -I"
# Every tag, informational ones too, is mended or overridden with a reason.
lintian -I --fail-on none "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian did not run"; }
tags=$(grep -E '^[EWIPXO]: ' "$work/lintian.log" || true)
[ -z "$tags" ] || fail "lintian -I reports:"$'\n'"$tags"

for field in Maintainer Section Depends Description; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "control field $field is empty"
done
[ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "section is not utils"
# Filled in by dpkg-shlibdeps from the program's libraries.
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libqt6widgets6' <<<"$depends" || fail "Depends lacks the Qt libraries"
# Qt's X11 platform, which the program runs on, is a plugin: no library
# dependency names the package that holds it.
xcb_owner=$(dpkg-query -S "$(qtpaths6 --query QT_INSTALL_PLUGINS)/platforms/libqxcb.so" | cut -d: -f1)
grep -Eq "(^|, )$xcb_owner( |,|$)" <<<"$depends" || fail "Depends lacks $xcb_owner, which holds the xcb plugin: $depends"
grep -q 'qt6-wayland' <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "Recommends lacks qt6-wayland"
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 1 ] || fail "the description has no long text"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in \
    usr/bin/codelook \
    usr/share/codelook/codelook.txt \
    usr/share/codelook/airports.LICENSE \
    usr/share/applications/codelook.desktop \
    usr/share/icons/hicolor/16x16/apps/codelook.png \
    usr/share/icons/hicolor/32x32/apps/codelook.png \
    usr/share/icons/hicolor/256x256/apps/codelook.png \
    usr/share/icons/hicolor/scalable/apps/codelook.svg \
    usr/share/metainfo/org.example.codelook.metainfo.xml \
    usr/share/doc/codelook/copyright \
    usr/share/doc/codelook/changelog.gz \
    usr/share/man/man1/codelook.1.gz \
    usr/share/lintian/overrides/codelook; do
    grep -qx "\./$path" <<<"$contents" || fail "the package lacks /$path"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
entry=$root/usr/share/applications/codelook.desktop
metainfo=$root/usr/share/metainfo/org.example.codelook.metainfo.xml

echo "== desktop-file-validate"
desktop-file-validate "$entry" || fail "desktop entry"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$metainfo" || fail "metainfo"
grep -q '<launchable type="desktop-id">codelook.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not launch codelook.desktop"

value() { sed -n "s/^$1=//p" "$entry"; }
[ "$(value Exec)" = /usr/bin/codelook ] || fail "Exec=$(value Exec)"
[ "$(value Path)" = /usr/share/codelook ] || fail "Path=$(value Path)"
[ "$(value Icon)" = codelook ] || fail "Icon=$(value Icon)"
file -b "$root/usr/bin/codelook" | grep -q ', stripped' || fail "the program is not stripped"
echo "== hardening-check"
# Every line must pass but two, which nothing built here can pass, and each
# of those is checked another way:
# - Fortify: the program's reads and copies have buffers whose size the
#   compiler cannot know, so fortified or not none of them is checked; the
#   probe, built with the same flags, must show checked calls.
# - Control flow integrity: ld marks a program IBT and SHSTK only when every
#   object it links is marked, and Debian 12's C start files (Scrt1.o) are
#   not; the probe's own object must be marked.
program=$root/usr/bin/codelook
hardening-check "$program" || true
probe_report=$(hardening-check --nocfprotection "$probe") ||
    fail "a program built with the package's flags lacks hardening: $probe_report"
grep -q 'Fortify Source functions: yes' <<<"$probe_report" || fail "the probe has no checked call"
readelf -n "$probe_object" | grep -q 'x86 feature: IBT, SHSTK' ||
    fail "the package's flags do not ask for control-flow protection"
options=(--nofortify)
readelf -n "$(g++ -print-file-name=Scrt1.o)" | grep -q 'x86 feature: IBT, SHSTK' || options+=(--nocfprotection)
hardening-check "${options[@]}" "$program" >/dev/null || fail "the packaged program lacks some of Debian's hardening"
cmp -s "$root/usr/share/codelook/codelook.txt" "$shipped" ||
    fail "the packaged list is not the shipped one"

# Starts the unpacked program in a folder under a private X server and
# prints the titles of the windows it opened. Without the list the program
# waits on its message box, so each run is ended once a window shows.
titles() {
    xvfb-run -a env -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$runtime" bash -c '
        cd "$1" || exit 1
        "$2" >/dev/null 2>&1 &
        program=$!
        for _ in $(seq 100); do
            names=$(xwininfo -root -tree | grep -o "\"[^\"]*\"" || true)
            grep -q -e "GET ICAO" -e "FILE NON FOUND" <<<"$names" && break
            kill -0 $program 2>/dev/null || break
            sleep 0.1
        done
        kill $program 2>/dev/null || true
        wait $program 2>/dev/null || true
        echo "$names"' titles "$1" "$root/usr/bin/codelook"
}
runtime=$work/runtime
mkdir -m 700 "$runtime"
mkdir "$work/empty"

echo "== start without the list"
without=$(titles "$work/empty")
grep -q 'FILE NON FOUND' <<<"$without" || fail "no missing-list warning without the list: $without"

echo "== start in the desktop entry's folder"
with=$(titles "$root$(value Path)")
grep -q 'FILE NON FOUND' <<<"$with" && fail "the program started from Path= does not find the list"
grep -q 'GET ICAO/AIRPORT NAME - BY MELVO VERNASCO' <<<"$with" || fail "no main window: $with"

echo "== start in the desktop entry's folder in a Wayland session"
desktop=$(dirname "$(realpath "$0")")/../desktop
"$desktop/session.sh" weston "$desktop/check_weston.sh" "$root/usr/bin/codelook" "$root$(value Path)" ||
    fail "the program in a Wayland session"
echo "== package checks passed"
