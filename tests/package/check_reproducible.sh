#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
#
# check_reproducible.sh SOURCE BUILD PRESET EPOCH WORK TARGETS -- FILES...
#
# Builds the preset a second time, later and in another folder (a copy of
# the source, as another clone would be), only the targets its package
# needs, and compares what it makes with this build byte for byte: the
# packages cpack makes from both, and FILES (paths inside the build).
set -euo pipefail
source=$1 build=$2 preset=$3 epoch=$4 work=$5
shift 5
targets=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
    targets+=("$1")
    shift
done
[ $# -gt 0 ] && shift
files=("$@")

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

[ -n "$epoch" ] || fail "the build has no SOURCE_DATE_EPOCH (configure with CODELOOK_REPRODUCIBLE=ON)"
rm -rf "$work"
mkdir -p "$work/src"
# The files a clone holds, as they are now (new ones too); no build folders.
git -C "$source" ls-files -z --cached --others --exclude-standard |
    tar -C "$source" --null -T - -cf - | tar -C "$work/src" -xf -
copy_build=$work/src/$(realpath --relative-to="$source" "$build")

# The first build's packages, made the way users make them.
unset SOURCE_DATE_EPOCH
cpack --config "$build/CPackConfig.cmake" -B "$work/first" >"$work/first.log" 2>&1 ||
    { cat "$work/first.log"; fail "cpack in $build"; }

echo "== second build in $work/src"
start=$SECONDS
(
    cd "$work/src"
    # No git history in the copy: the time comes from the caller, as a
    # rebuilder gives it.
    SOURCE_DATE_EPOCH=$epoch cmake --preset "$preset" >"$work/configure.log" 2>&1 ||
        { cat "$work/configure.log"; exit 1; }
    cmake --build "$copy_build" --target "${targets[@]}" >"$work/build.log" 2>&1 ||
        { tail -40 "$work/build.log"; exit 1; }
) || fail "the second build"
cpack --config "$copy_build/CPackConfig.cmake" -B "$work/second" >"$work/second.log" 2>&1 ||
    { cat "$work/second.log"; fail "cpack in the second build"; }
echo "second build and packages: $((SECONDS - start)) s"

shopt -s nullglob
packages=()
for package in "$work"/first/*.deb "$work"/first/*.zip "$work"/first/*.msi "$work"/first/SHA256SUMS; do
    packages+=("$(basename "$package")")
done
[ ${#packages[@]} -ge 2 ] || fail "no package made in $work/first"
differ=
for name in "${packages[@]}"; do
    cmp "$work/first/$name" "$work/second/$name" || differ=1
    sha256sum "$work/first/$name" "$work/second/$name"
done
for file in "${files[@]}"; do
    cmp "$build/$file" "$copy_build/$file" || differ=1
    sha256sum "$build/$file" "$copy_build/$file"
done
[ -z "$differ" ] || fail "the two builds differ"
echo "both builds gave the same bytes"
