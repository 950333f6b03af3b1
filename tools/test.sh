#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# Installs what is missing, builds, and runs every test: the normal build,
# the same suite under AddressSanitizer and UndefinedBehaviorSanitizer, the
# fuzz corpus replay, the release build with its Debian package, the Windows
# program cross-built and tested under Wine with its zip (each package also
# built a second time, elsewhere, and compared byte for byte), and the
# formatting check.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

werror=()
[ -n "${CI:-}" ] && werror=(-DCODELOOK_WERROR=ON)

echo "== Formatting"
# C++ sources only: CMake files are not C++, and generated tables (*.inc)
# stay as their generator writes them.
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

for preset in dev asan fuzz release; do
    echo "== Build and test: $preset"
    cmake --preset "$preset" "${werror[@]}" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

# Wine needs a display; one headless X server serves every Windows test.
echo "== Build and test: windows (under Wine)"
# The dev build's codelook-scan is what codelook-scan.exe must match.
cmake --preset windows "${werror[@]}" -DCODELOOK_NATIVE_SCAN="$PWD/build/tools/codelook-scan" >/dev/null
cmake --build --preset windows
xvfb-run -a ctest --preset windows
