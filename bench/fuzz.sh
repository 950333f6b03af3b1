#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# bench/fuzz.sh MINUTES [JOBS]
#
# Builds fuzz_lookup with clang in build-fuzz/ and fuzzes for MINUTES minutes
# (JOBS parallel fuzzer processes, default 1) on a copy of the seed corpus in
# a scratch directory outside the repository, so new inputs never dirty the
# tree. Prints the executions and the paths of any crash inputs; exits 1 when
# there are crashes.
#
# Environment: CODELOOK_FUZZ_BUILD (build directory, default build-fuzz in the
# repository), CODELOOK_FUZZ_WORK (scratch, default /tmp/codelook-fuzz).

set -euo pipefail

usage() {
    echo "usage: bench/fuzz.sh MINUTES [JOBS]" >&2
    exit 64
}

[[ $# -ge 1 && $# -le 2 ]] || usage
minutes=$1
jobs=${2:-1}
[[ $minutes =~ ^[0-9]+$ && $minutes -gt 0 && $jobs =~ ^[0-9]+$ && $jobs -gt 0 ]] || usage

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${CODELOOK_FUZZ_BUILD:-$root/build-fuzz}
work_root=${CODELOOK_FUZZ_WORK:-/tmp/codelook-fuzz}

command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is needed (libFuzzer)" >&2; exit 2; }

generator=()
if [[ ! -f $build/CMakeCache.txt ]] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCODELOOK_FUZZ=ON -DCODELOOK_WINDOW=OFF >/dev/null
if ! cmake --build "$build" --target fuzz_lookup; then
    echo "fuzz.sh: building fuzz_lookup failed (is tests/fuzz added to the root CMakeLists.txt under CODELOOK_FUZZ?)" >&2
    exit 2
fi
fuzzer=$build/tests/fuzz/fuzz_lookup

work=$work_root/$(date +%Y%m%d-%H%M%S)-$$
mkdir -p "$work/corpus" "$work/artifacts" "$work/tmp"
export TMPDIR=$work/tmp # the fuzzer's list file; one left by a crash stays here
cp "$root"/tests/fuzz/corpus/* "$work/corpus/"
seeds=$(find "$work/corpus" -type f | wc -l)

echo "fuzzing for $minutes min with $jobs job(s) in $work"
cd "$work"
options=(
    -max_total_time=$((minutes * 60))
    -timeout=25
    -print_final_stats=1
    -artifact_prefix="$work/artifacts/"
)
status=0
if [[ $jobs -gt 1 ]]; then
    # Each job writes fuzz-N.log here and runs for the whole time.
    "$fuzzer" "${options[@]}" -jobs="$jobs" -workers="$jobs" corpus >/dev/null 2>&1 || status=$?
    cat fuzz-*.log >fuzz.log
else
    "$fuzzer" "${options[@]}" corpus >fuzz.log 2>&1 || status=$?
fi

executions=$(awk '/stat::number_of_executed_units:/ { sum += $2 } END { print sum + 0 }' fuzz.log)
echo "executions: $executions"
echo "corpus: $seeds seeds, now $(find corpus -type f | wc -l) inputs (in $work/corpus)"
echo "log: $work/fuzz.log"

crashes=$(find "$work/artifacts" -type f | sort)
if [[ -n $crashes ]]; then
    echo "crash inputs (rerun one with: $fuzzer FILE):"
    find "$work/artifacts" -type f -printf '  %p\n' | sort
    exit 1
fi
if [[ $status -ne 0 ]]; then
    echo "fuzz.sh: the fuzzer exited with status $status and left no crash input; see the log" >&2
    exit 2
fi
echo "no crashes"
