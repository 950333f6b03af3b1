#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# The run profile of tools/install-deps.sh, which tools/run.sh installs, is
# enough to build and start the program, and brings no test tool:
# - no package that holds a test tool or library is in it or among what
#   apt installs with it;
# - the dev preset, with the test libraries hidden from CMake, says in one
#   line that it leaves the tests out and builds the program, reading no
#   file of a package that only the tests need;
# - that program starts, opens its window and says nothing on stderr.
# Usage: check_run_profile.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source=$1
work=$2
fail() {
    echo "check_run_profile: $*" >&2
    exit 1
}

run=$("$source/tools/install-deps.sh" --list run | sort -u)
all=$("$source/tools/install-deps.sh" --list test | sort -u)
[ -z "$(comm -23 <(echo "$run") <(echo "$all"))" ] || fail "the test profile lacks some of the run profile"
test_only=$(comm -13 <(echo "$run") <(echo "$all"))

echo "== what installing the run profile brings"
# The tests' own tools and libraries, by the package that holds each here.
test_tools=(Xvfb xwininfo weston wine lintian hardening-check desktop-file-validate appstreamcli
    clang++ clang-format x86_64-w64-mingw32-g++-posix)
tool_files=$(for tool in "${test_tools[@]}"; do command -v "$tool" || fail "no $tool here"; done)
tool_files+=$'\n'$(find /usr/include -path '*/doctest/doctest.h' -o -path '*/QtGui/private/qwindow_p.h')
tool_packages=$(xargs realpath -e <<<"$tool_files" | xargs dpkg -S | sed 's/[:,].*//' | sort -u)
# shellcheck disable=SC2086 # one package a word
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances $run | grep -v '^ ' | sort -u)
brought=$(comm -12 <(echo "$closure") <(echo "$tool_packages"))
[ -z "$brought" ] || fail "the run profile installs test tools: ${brought//$'\n'/ }"

echo "== the dev preset without the test libraries"
# Unoptimised: what matters is which files the build reads, and it halves
# the check's time.
rm -rf "$work"
mkdir -p "$work"
build=$work/build
(cd "$source" && cmake --preset dev -B "$build" \
    -DCMAKE_BUILD_TYPE=None -DCMAKE_DISABLE_FIND_PACKAGE_doctest=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON) >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log"; fail "the configure failed"; }
[ "$(grep -c -- '-- Tests left out: no doctest' "$work/configure.log")" -eq 1 ] ||
    { cat "$work/configure.log"; fail "the configure did not say once that it leaves the tests out"; }
cmake --build "$build" --target codelook >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "the build failed"; }

# Every header the compiler read and every library the program loads, by
# the package that holds it.
files=$({
    ninja -C "$build" -t deps | sed -n 's/^    \(\/.*\)/\1/p'
    ldd "$build/qt/codelook" | sed -n 's/.* => \(\/[^ ]*\) .*/\1/p'
} | grep -v -e "^$source/" -e "^$build/" | xargs -r realpath -e | sort -u)
[ -n "$files" ] || fail "no header or library of the system found in the build"
owners=$(xargs -r dpkg -S <<<"$files" 2>/dev/null | sed 's/[:,].*//' | sort -u || true)
used=$(comm -12 <(echo "$owners") <(echo "$test_only"))
[ -z "$used" ] || fail "the build reads files of packages only the tests need: ${used//$'\n'/ }"

echo "== the program starts"
# In the folder that holds the list, as tools/run.sh starts it.
# shellcheck disable=SC2016 # the inner script expands its own arguments
"$source/tests/desktop/session.sh" xvfb bash -c '
    cd "$1/qt" || exit 1
    ./codelook 2>"$2" &
    program=$!
    for _ in $(seq 100); do
        xwininfo -root -tree | grep -q "\"GET ICAO" && break
        kill -0 $program 2>/dev/null || break
        sleep 0.1
    done
    xwininfo -root -tree | grep -q "\"GET ICAO"
    shown=$?
    kill $program 2>/dev/null || true
    wait $program 2>/dev/null || true
    exit $shown' start "$build" "$work/stderr" || fail "the program opened no window"
[ ! -s "$work/stderr" ] || fail "the program wrote on stderr: $(cat "$work/stderr")"
echo "== the run profile builds and starts the program"
