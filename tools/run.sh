#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# Installs what building and running the program needs (none of the test
# tools), builds it, and starts it from the folder that holds the shipped
# airport list. The build's output is kept in build/run-build.log and shown
# only when the build fails.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh run

echo "Building Codelook in build/ (a minute or so the first time)"
mkdir -p build
log=build/run-build.log
if ! { cmake --preset dev && cmake --build --preset dev --target codelook; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "The build failed; its output is in $log." >&2
    exit 1
fi

# Qt would end with a message of its own; say what is missing instead.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    echo "No display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "The program is built: start build/qt/codelook in build/qt from a desktop session." >&2
    exit 1
fi
echo "Starting Codelook"
cd build/qt
exec ./codelook
