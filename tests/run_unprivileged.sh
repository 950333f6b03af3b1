#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# run_unprivileged.sh PROGRAM [ARG...]
#
# Runs a test program as a user that file modes bind. Root reads and writes
# files whatever their modes, so under root (a CI container) the program
# runs as nobody, from a copy that nobody can reach wherever the build is.
set -euo pipefail
program=$1
shift
if [ "$(id -u)" -ne 0 ]; then
    exec "$program" "$@"
fi
user=nobody
work=$(mktemp -d "${TMPDIR:-/tmp}/codelook-unprivileged.XXXXXX")
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir -m 1777 "$work/tmp"
cp "$program" "$work/"
status=0
(cd "$work" && TMPDIR=$work/tmp setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups --no-new-privs \
    "./$(basename "$program")" "$@") || status=$?
exit "$status"
