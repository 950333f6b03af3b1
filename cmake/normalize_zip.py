#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""Rewrites a zip so that it depends on nothing but its files' contents.

normalize_zip.py ZIP EPOCH

CPack's zip records the builder's user and group ids, its local time zone
(in the DOS times) and the order the files came in. Rewritten: entries in
name order, every time EPOCH (seconds since 1970, read as UTC), Unix modes
kept, no extra fields.
"""

import os
import sys
import time
import zipfile


def normalize(path, epoch):
    # DOS times cannot go before 1980.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(path) as source:
        entries = [(info, source.read(info)) for info in source.infolist()]
    entries.sort(key=lambda entry: entry[0].filename)
    temporary = path + ".tmp"
    with zipfile.ZipFile(temporary, "w") as target:
        for old, data in entries:
            info = zipfile.ZipInfo(old.filename, date_time=stamp)
            info.create_system = 3  # Unix, so the modes below count
            mode = (old.external_attr >> 16) & 0o170777
            if not mode:
                mode = 0o40755 if old.is_dir() else 0o100644
            info.external_attr = (mode << 16) | (0x10 if old.is_dir() else 0)
            if old.is_dir():
                target.writestr(info, b"")
            else:
                info.compress_type = zipfile.ZIP_DEFLATED
                target.writestr(info, data, compresslevel=9)
    os.replace(temporary, path)


def main(argv):
    if len(argv) != 3 or not argv[2].isdigit():
        print(__doc__.strip(), file=sys.stderr)
        return 64
    normalize(argv[1], int(argv[2]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
