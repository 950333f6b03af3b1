#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""Fails when a test, script or CMake file reaches outside the repository.

A fresh clone must build and test with nothing beside it, so no tracked
build or test file may name a parent folder of the repository root (a path
that climbs out with '..', or an absolute path into a sibling checkout).
"""

import os
import re
import subprocess
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))

# Files that drive the build and the tests, in whatever folder they are.
PATTERNS = ("CMakeLists.txt", "*.cmake", "*.sh", "*.py", "*.json", "run")

# '../' steps that a file takes from its own folder; a path that climbs above
# the root is outside. Absolute paths into a well-known sibling are caught
# by name.
CLIMB = re.compile(r"(?:\.\./)+[\w.-]+")
SIBLING = re.compile(r"/work/shared|\.\./shared\b")


def tracked_files():
    out = subprocess.run(["git", "-C", ROOT, "ls-files", "-z"], check=True,
                         capture_output=True).stdout.decode()
    for path in filter(None, out.split("\0")):
        name = os.path.basename(path)
        if name in PATTERNS or any(name.endswith(p[1:]) for p in PATTERNS if p.startswith("*")):
            yield path


def escapes(path, text):
    problems = []
    here = os.path.dirname(os.path.join(ROOT, path))
    for number, line in enumerate(text.splitlines(), 1):
        if SIBLING.search(line):
            problems.append((number, line.strip()))
            continue
        for match in CLIMB.finditer(line):
            target = os.path.normpath(os.path.join(here, match.group(0)))
            # CMake's ${PROJECT_SOURCE_DIR}/.. and friends climb from the root.
            prefix = line[:match.start()]
            if re.search(r"(SOURCE_DIR|sourceDir|ROOT|\$\(dirname[^)]*\))[}\"/]*$", prefix):
                target = os.path.normpath(os.path.join(ROOT, match.group(0)))
            if not (target == ROOT or target.startswith(ROOT + os.sep)):
                problems.append((number, line.strip()))
    return problems


def main():
    found = False
    for path in tracked_files():
        if path == "tools/check_self_contained.py":
            continue
        with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for number, line in escapes(path, text):
            print("%s:%d: refers outside the repository: %s" % (path, number, line))
            found = True
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
