#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""bench/read_alignment.py FILE [RUNS]

Reads FILE (from the page cache) in 256 KiB blocks into a buffer that
starts at several offsets from a page boundary, and prints the system time
each offset costs: the kernel's copy into user memory is what the reader's
page-aligned buffer saves.
"""
import mmap
import os
import resource
import sys

BLOCK = 256 * 1024
OFFSETS = (0, 16, 32, 64, 2048)


def system_seconds():
    return resource.getrusage(resource.RUSAGE_SELF).ru_stime


def one_pass(path, view):
    with open(path, "rb", buffering=0) as f:
        while f.readinto(view):
            pass


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    path = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) == 3 else 5
    buffer = mmap.mmap(-1, BLOCK + 4096)  # anonymous, so page-aligned
    one_pass(path, memoryview(buffer)[:BLOCK])  # warm the page cache
    print(f"{path}: {os.path.getsize(path)} bytes, {BLOCK // 1024} KiB reads, minimum of {runs}")
    print("| buffer offset from a page | system s |")
    print("| --- | --- |")
    for offset in OFFSETS:
        view = memoryview(buffer)[offset:offset + BLOCK]
        best = None
        for _ in range(runs):
            before = system_seconds()
            one_pass(path, view)
            spent = system_seconds() - before
            best = spent if best is None else min(best, spent)
        print(f"| {offset} | {best:.3f} |")


if __name__ == "__main__":
    main()
