#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# Installs what is missing, builds, and runs every test: the formatting
# check, then one CMake workflow preset a suite (configure, build, test):
# the normal build, the Windows program cross-built and tested under Wine
# with its zip, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzz corpus replay, and the release build
# with its Debian package (each package also built a second time, elsewhere,
# and compared byte for byte). Every suite runs, and the command fails if
# any failed.
#
# tools/test.sh SUITE... runs only those suites (dev windows asan fuzz
# release); the windows suite compares with the dev build's codelook-scan.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh test

suites=("$@")
[ ${#suites[@]} -gt 0 ] || suites=(dev windows asan fuzz release)

# One compile a core: the windows suite builds and tests beside the others,
# and Ninja's default of two more than that makes both builds slower.
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}

# The presets read these from the environment.
[ -n "${CI:-}" ] && export CODELOOK_WERROR=ON
# codelook-scan.exe is compared with the dev build's codelook-scan, when
# there is one.
scan=$PWD/build/tools/codelook-scan
if [[ " ${suites[*]} " == *" dev "* ]] || [ -x "$scan" ]; then
    export CODELOOK_NATIVE_SCAN=$scan
fi

echo "== Formatting"
# C++ sources only: CMake files are not C++, and generated tables (*.inc)
# stay as their generator writes them.
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

# Runs one suite's workflow; the windows suite under a headless X server
# (Wine needs a display; the tests that share one share this one), which
# session.sh starts on a display number no other server holds.
run_suite() {
    local start=$SECONDS status=0
    echo "== Suite: $1"
    if [ "$1" = windows ]; then
        tests/desktop/session.sh xvfb cmake --workflow --preset windows || status=$?
    else
        cmake --workflow --preset "$1" || status=$?
    fi
    echo "== Suite $1: $((SECONDS - start)) s, $([ $status -eq 0 ] && echo passed || echo FAILED)"
    return $status
}

# Two lanes, so that both cores stay busy while one suite configures,
# packs or waits for Wine: the windows suite, then release, in the
# background from the start; the others in the foreground. The windows
# comparison needs the dev build's codelook-scan, built first. The
# background lane's log follows the foreground's.
log=$(mktemp "${TMPDIR:-/tmp}/codelook-lane.XXXXXX")
trap 'rm -f "$log" "$log.failed"' EXIT
background_suites=() foreground_suites=() failed=()
for suite in "${suites[@]}"; do
    if [ ${#suites[@]} -gt 1 ] && { [ "$suite" = windows ] || [ "$suite" = release ]; }; then
        background_suites+=("$suite")
    else
        foreground_suites+=("$suite")
    fi
done
background=
if [ ${#background_suites[@]} -gt 0 ]; then
    if [[ " ${background_suites[*]} " == *" windows "* ]] && [[ " ${foreground_suites[*]} " == *" dev "* ]]; then
        echo "== codelook-scan of the dev build, for the windows suite"
        { cmake --preset dev && cmake --build --preset dev --target codelook-scan; } >"$log" 2>&1 ||
            { cat "$log"; exit 1; }
    fi
    (
        for suite in "${background_suites[@]}"; do
            run_suite "$suite" || echo "$suite" >>"$log.failed"
        done
    ) >"$log" 2>&1 &
    background=$!
fi
for suite in "${foreground_suites[@]}"; do
    run_suite "$suite" || failed+=("$suite")
done
if [ -n "$background" ]; then
    wait "$background" || failed+=(background)
    cat "$log"
    if [ -f "$log.failed" ]; then
        mapfile -t -O ${#failed[@]} failed <"$log.failed"
    fi
fi
if [ ${#failed[@]} -gt 0 ]; then
    echo "== FAILED: ${failed[*]}"
    exit 1
fi
echo "== Every suite passed"
