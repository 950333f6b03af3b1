#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# bench/run.sh
#
# Times whole codelook-scan processes on lists of 10 thousand, 1 million and
# 10 million records against grep and wc on the same files, then measures
# codelook-scan's peak memory on a tiny list and on two 1 GiB files. Both
# searches use keys that miss, so they read the whole list: the slowest case.
#
# Environment:
#   CODELOOK_BUILD      build directory holding tools/codelook-scan (default build)
#   CODELOOK_BENCH_DIR  scratch directory for lists and results (default
#                       /tmp/codelook-bench); lists already there are reused
#
# Needs hyperfine, python3 and, for the memory part, GNU time (/usr/bin/time,
# Debian package "time").

set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${CODELOOK_BUILD:-$root/build}
scan=$build/tools/codelook-scan
scratch=${CODELOOK_BENCH_DIR:-/tmp/codelook-bench}
gib=$((1 << 30))

die() {
    echo "run.sh: $*" >&2
    exit 2
}

[[ -x $scan ]] || die "no $scan; build it first: cmake --build ${build#"$root"/} --target codelook-scan"
command -v hyperfine >/dev/null || die "hyperfine is needed (Debian package hyperfine)"
command -v python3 >/dev/null || die "python3 is needed"
mkdir -p "$scratch"

# The scratch directory must not be inside the repository: the lists are big.
case "$(cd "$scratch" && pwd -P)/" in
"$(cd "$root" && pwd -P)"/*) die "CODELOOK_BENCH_DIR must be outside the repository" ;;
esac

make_list() { # RECORDS FILE
    if [[ ! -s $2 ]]; then
        echo "generating $2"
        python3 "$root/bench/make_list.py" "$1" "$2" --seed 1
    fi
}

# Exit status 1 (not found) is what a full pass should end with; anything
# else would time an error instead of a search.
expect_miss() {
    local status=0
    "$@" >/dev/null 2>&1 || status=$?
    [[ $status -eq 1 ]] || die "expected a miss (status 1) from: $* (got $status)"
}

echo "codelook-scan: $scan"
echo "scratch: $scratch"

sizes=(10k 1m 10m)
declare -A records=([10k]=10000 [1m]=1000000 [10m]=10000000)
for size in "${sizes[@]}"; do
    make_list "${records[$size]}" "$scratch/list-$size.txt"
done

for size in "${sizes[@]}"; do
    list=$scratch/list-$size.txt
    expect_miss "$scan" "$list" QQQQ code
    expect_miss "$scan" "$list" "QQQ NOTHING" name
    cat "$list" >/dev/null # warm the page cache
    echo
    echo "== $size records ($(stat -c %s "$list") bytes)"
    # -N: no shell in between, so only the program is timed. grep's miss
    # exits 1, hence -i.
    hyperfine -N -i --warmup 3 --runs 10 \
        --export-markdown "$scratch/times-$size.md" --export-json "$scratch/times-$size.json" \
        -n "codelook-scan code" "$scan $list QQQQ code" \
        -n "codelook-scan name" "$scan $list 'QQQ NOTHING' name" \
        -n "grep -c -F" "env LC_ALL=C grep -c -F QQQQ $list" \
        -n "wc -l" "wc -l $list"
done

echo
echo "== throughput (10 runs, whole process; GB/s from the mean)"
python3 - "$scratch" "${sizes[@]}" <<'EOF'
import json, os, sys
scratch, sizes = sys.argv[1], sys.argv[2:]
print(f"{'list':>5}  {'command':<20} {'mean s':>18} {'min s':>8}  {'GB/s':>6}")
for size in sizes:
    bytes_ = os.path.getsize(os.path.join(scratch, f"list-{size}.txt"))
    with open(os.path.join(scratch, f"times-{size}.json")) as f:
        results = json.load(f)["results"]
    for r in results:
        mean, sd = r["mean"], r["stddev"] or 0.0
        print(f"{size:>5}  {r['command']:<20} {mean:9.4f} ± {sd:6.4f} {r['min']:8.4f}  {bytes_ / mean / 1e9:6.2f}")
EOF

echo
echo "== peak memory of codelook-scan"
if [[ ! -x /usr/bin/time ]]; then
    echo "skipped: /usr/bin/time is missing (install the Debian package \"time\")"
    exit 0
fi

tiny=$scratch/tiny-1k.txt
long_line=$scratch/one-line-1g.txt
short_records=$scratch/short-records-1g.txt
[[ -s $tiny ]] || head -c 1024 "$scratch/list-10k.txt" >"$tiny"
if [[ ! -s $long_line ]]; then
    echo "generating $long_line"
    head -c "$gib" /dev/zero | tr '\0' 'A' >"$long_line" # one record, no line end
fi
if [[ ! -s $short_records ]]; then
    echo "generating $short_records"
    { yes $'ABCD X\r' || true; } | head -c "$gib" >"$short_records" # yes ends on SIGPIPE
fi

peak() { # FILE KEY code|name -> "KB SECONDS"
    cat "$1" >/dev/null
    /usr/bin/time -f '%M %e' -o "$scratch/time.out" "$scan" "$@" >/dev/null 2>&1 || true
    tail -n 1 "$scratch/time.out" # GNU time first notes a non-zero exit status
}

printf '%-22s %-5s %12s %14s %9s\n' file search "peak RSS KB" "vs 1 KB list" seconds
for search in code name; do
    key=QQQQ
    [[ $search == name ]] && key="QQQ NOTHING"
    read -r base _ < <(peak "$tiny" "$key" $search)
    for file in "$tiny" "$long_line" "$short_records"; do
        read -r kb s < <(peak "$file" "$key" $search)
        printf '%-22s %-5s %12d %+14d %9s\n' "$(basename "$file")" $search "$kb" $((kb - base)) "$s"
    done
done
