#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# Installs what is missing, builds, and runs every test: the formatting
# check, then one CMake workflow preset a suite (configure, build, test):
# the normal build, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzz corpus replay, the release build with
# its Debian package, and the Windows program cross-built and tested under
# Wine with its zip (each package also built a second time, elsewhere, and
# compared byte for byte).
#
# tools/test.sh SUITE... runs only those suites (dev asan fuzz release
# windows); the windows suite compares with the dev build's codelook-scan.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

suites=("$@")
[ ${#suites[@]} -gt 0 ] || suites=(dev asan fuzz release windows)

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

for suite in "${suites[@]}"; do
    echo "== Suite: $suite"
    start=$SECONDS
    if [ "$suite" = windows ]; then
        # Wine needs a display; one headless X server serves the tests
        # that share one.
        xvfb-run -a cmake --workflow --preset windows
    else
        cmake --workflow --preset "$suite"
    fi
    echo "== Suite $suite: $((SECONDS - start)) s"
done
