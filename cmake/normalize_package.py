#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""Makes a package depend on nothing but its files' contents.

normalize_package.py PACKAGE EPOCH

A zip from CPack records the builder's user and group ids, its local time
zone (in the DOS times) and the order the files came in; it is rewritten
with its entries in name order, every time EPOCH (seconds since 1970, read
as UTC), modes 644 or 755 and no extra fields. A .deb from CPack records
the builder's umask in the modes of its ar members; they become 644, as
dpkg-deb writes them.
"""

import os
import sys
import time
import zipfile


def normalize_zip(path, epoch):
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
            # Whatever the builder's umask: executable or not, and readable.
            executable = (old.external_attr >> 16) & 0o100
            if old.is_dir():
                mode = 0o40755
            else:
                mode = 0o100755 if executable else 0o100644
            info.external_attr = (mode << 16) | (0x10 if old.is_dir() else 0)
            if old.is_dir():
                target.writestr(info, b"")
            else:
                info.compress_type = zipfile.ZIP_DEFLATED
                target.writestr(info, data, compresslevel=9)
    os.replace(temporary, path)


def normalize_deb(path):
    # ar: a magic line, then members, each a 60-byte header (name 16, date
    # 12, uid 6, gid 6, mode 8, size 10, "`\n") and its data, padded to even.
    with open(path, "r+b") as deb:
        data = bytearray(deb.read())
        if not data.startswith(b"!<arch>\n"):
            raise SystemExit("%s: not an ar archive" % path)
        at = 8
        while at + 60 <= len(data):
            header = data[at:at + 60]
            if header[58:60] != b"`\n":
                raise SystemExit("%s: broken ar member at %d" % (path, at))
            data[at + 40:at + 48] = b"100644".ljust(8)
            at += 60 + int(header[48:58])
            at += at % 2
        deb.seek(0)
        deb.write(data)


def main(argv):
    if len(argv) != 3 or not argv[2].isdigit():
        print(__doc__.strip(), file=sys.stderr)
        return 64
    if argv[1].endswith(".zip"):
        normalize_zip(argv[1], int(argv[2]))
    elif argv[1].endswith(".deb"):
        normalize_deb(argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
