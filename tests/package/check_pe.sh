#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# check_pe.sh OBJDUMP PROGRAM.exe KNOWNDLLS
#
# The Windows program as it ships: it imports only KnownDLLs, which Windows
# never takes from the program's folder; it asks for ASLR with high-entropy
# addresses and for DEP; and it keeps its relocations, without which ASLR
# cannot move it.
set -euo pipefail
objdump=$1 program=$2 knowndlls=$3

fail() {
    echo "FAIL: $(basename "$program"): $*" >&2
    exit 1
}

headers=$("$objdump" -p "$program")
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
[ -n "$imports" ] || fail "no import table found"
echo "imports: $(echo $imports)"
unknown=$(grep -v -x -F -f <(grep -v '^#' "$knowndlls") <<<"$imports" || true)
[ -z "$unknown" ] || fail "imports DLLs that are not KnownDLLs: $(echo $unknown)"

characteristics=$(sed -n 's/^DllCharacteristics\s*//p' <<<"$headers")
[ -n "$characteristics" ] || fail "no DllCharacteristics"
echo "DllCharacteristics: 0x$characteristics"
for flag in 0x20:HIGH_ENTROPY_VA 0x40:DYNAMIC_BASE 0x100:NX_COMPAT; do
    (((0x$characteristics & ${flag%%:*}) != 0)) || fail "DllCharacteristics lacks ${flag#*:}"
done
"$objdump" -h "$program" | grep -q '^\s*[0-9]\+\s\+\.reloc\s' || fail "no .reloc section"
echo "the program imports only KnownDLLs, has ASLR, high entropy, DEP and .reloc"
