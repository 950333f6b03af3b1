#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# bench/run.sh
#
# Times whole codelook-scan processes on generated lists of 10 thousand,
# 1 million and 10 million records and on the shipped list's records repeated
# to 1 and 10 million, against grep and wc on the same files, then measures
# codelook-scan's peak memory on a tiny list and on two 1 GiB files. Every key
# misses, so each search reads the whole list: the slowest case.
#
# Environment:
#   CODELOOK_BUILD      build directory holding tools/codelook-scan (default build)
#   CODELOOK_BENCH_DIR  scratch directory for lists and results (default
#                       /tmp/codelook-bench); lists already there are reused
#   CODELOOK_BENCH_RUNS timed runs per command (default 7)
#   CODELOOK_BASELINE   another build directory: its codelook-scan is timed
#                       right after this one's for every key, and the summary
#                       gives each key's time against it (before and after a
#                       change, measured in one run)
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
baseline=${CODELOOK_BASELINE:+$CODELOOK_BASELINE/tools/codelook-scan}
[[ -z $baseline || -x $baseline ]] || die "no $baseline"
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
[[ -z $baseline ]] || echo "baseline: $baseline"
echo "scratch: $scratch"

# Keys that miss. QQQQ and "QQQ NOTHING" are settled by the first byte of
# every record; the others share their first characters with thousands of
# real records (codes of K, Z and EG; names of LONDON, SAN, INTERNATIONAL),
# so the reader must look further into each of those.
code_keys=(QQQQ ZZZZ KZZZ EGZZ)
long_key="LONDON HEATHROW AIRPORT $(printf 'Z%.0s' $(seq 226))" # 250 characters
# "INTERNATIONAL AIRPORT" is in thousands of names, never at their start: the
# reader finds the key's bytes there and must look at each of those records.
name_keys=("QQQ NOTHING" "LONDON ZZZ" "SAN ZZZ" "INTERNATIONAL ZZZ" "INTERNATIONAL AIRPORT" "$long_key")

make_repeated() { # RECORDS FILE: the shipped list's own records, over and over
    if [[ ! -s $2 ]]; then
        echo "generating $2"
        python3 - "$1" "$2" "$root/data/codelook.txt" <<'EOF'
import os, sys
records, out, pool = int(sys.argv[1]), sys.argv[2], sys.argv[3]
lines = open(pool, "rb").read().splitlines(keepends=True)
whole, rest = divmod(records, len(lines))
with open(out + ".part", "wb") as f:
    block = b"".join(lines)
    for _ in range(whole):
        f.write(block)
    f.write(b"".join(lines[:rest]))
os.replace(out + ".part", out)
EOF
    fi
}

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo "CPU: $cpu ($(nproc) cores)"

lists=(list-10k list-1m list-10m shipped-1m shipped-10m)
make_list 10000 "$scratch/list-10k.txt"
make_list 1000000 "$scratch/list-1m.txt"
make_list 10000000 "$scratch/list-10m.txt"
make_repeated 1000000 "$scratch/shipped-1m.txt"
make_repeated 10000000 "$scratch/shipped-10m.txt"

runs=${CODELOOK_BENCH_RUNS:-7}
for name in "${lists[@]}"; do
    list=$scratch/$name.txt
    commands=()
    for key in "${code_keys[@]}"; do
        expect_miss "$scan" "$list" "$key" code
        commands+=(-n "code $key" "$scan $list '$key' code")
        [[ -z $baseline ]] || commands+=(-n "baseline code $key" "$baseline $list '$key' code")
        commands+=(-n "grep $key" "env LC_ALL=C grep -c -F '$key' $list")
    done
    for key in "${name_keys[@]}"; do
        expect_miss "$scan" "$list" "$key" name
        commands+=(-n "name ${key:0:24}" "$scan $list '$key' name")
        [[ -z $baseline ]] || commands+=(-n "baseline name ${key:0:24}" "$baseline $list '$key' name")
        commands+=(-n "grep ${key:0:24}" "env LC_ALL=C grep -c -F '$key' $list")
    done
    commands+=(-n "wc -l" "wc -l $list")
    cat "$list" >/dev/null # warm the page cache
    echo "== $name ($(stat -c %s "$list") bytes)"
    # -N: no shell in between, so only the program is timed. grep's miss
    # exits 1, hence -i. All commands of a list in one run, side by side.
    hyperfine -N -i --warmup 2 --runs "$runs" --style basic \
        --export-json "$scratch/times-$name.json" "${commands[@]}" >"$scratch/times-$name.log"
done

echo
echo "== full passes that find nothing: minimum of $runs runs, whole process"
python3 - "$scratch" "$cpu" "${lists[@]}" <<'EOF'
import json, os, sys
scratch, cpu, lists = sys.argv[1], sys.argv[2], sys.argv[3:]
print(f"CPU: {cpu}")
times = {}
for name in lists:
    with open(os.path.join(scratch, f"times-{name}.json")) as f:
        times[name] = {r["command"]: r["min"] for r in json.load(f)["results"]}
baseline = any(c.startswith("baseline ") for results in times.values() for c in results)
extra = " baseline s | vs baseline |" if baseline else ""
print("| list | MB | search | codelook-scan s | grep -c -F s | vs grep | vs wc -l |" + extra)
print("| --- | --- | --- | --- | --- | --- | --- |" + (" --- | --- |" if baseline else ""))
worst = {}
slowest = {}
for name, results in times.items():
    size = os.path.getsize(os.path.join(scratch, f"{name}.txt")) / 1e6
    wc = results["wc -l"]
    for command, t in results.items():
        if not command.startswith(("code ", "name ")):
            continue
        grep = results["grep " + command.split(" ", 1)[1]]
        vs_grep, vs_wc = t / grep, t / wc
        row = f"| {name} | {size:.0f} | {command} | {t:.4f} | {grep:.4f} | {vs_grep:.2f} | {vs_wc:.2f} |"
        if baseline:
            base = results["baseline " + command]
            row += f" {base:.4f} | {t / base:.3f} |"
            s = slowest.setdefault(name, [0.0, ""])
            if t / base > s[0]:
                s[0], s[1] = t / base, command
        print(row)
        w = worst.setdefault(name, [0.0, "", 0.0, ""])
        if vs_grep > w[0]:
            w[0], w[1] = vs_grep, command
        if vs_wc > w[2]:
            w[2], w[3] = vs_wc, command
    print(f"| {name} | {size:.0f} | wc -l {wc:.4f} s | | | | |" + (" | |" if baseline else ""))
print()
for name, (g, gk, w, wk) in worst.items():
    line = f"{name}: worst vs grep {g:.2f} ({gk}); worst vs wc -l {w:.2f} ({wk})"
    if name in slowest:
        line += f"; worst vs baseline {slowest[name][0]:.3f} ({slowest[name][1]})"
    print(line)
EOF

echo
echo "== the kernel's copy into a buffer at several offsets from a page"
python3 "$root/bench/read_alignment.py" "$scratch/shipped-10m.txt"

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
