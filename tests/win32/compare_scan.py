#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""compare_scan.py NATIVE_SCAN WINE_RUN PREFIX SCAN_EXE SCRATCH SHIPPED_LIST

Runs the native codelook-scan and codelook-scan.exe (under Wine) over the same
lists and keys, and fails on any difference in what they print or their exit
status. The lists cover both encodings, the three line-end styles, quoted
items, commas inside quotes, short records and long names. Keys are ASCII, so
that the command line means the same on both sides whatever the locale.
"""
import concurrent.futures
import os
import subprocess
import sys

native, wine_run, prefix, exe, scratch, shipped = sys.argv[1:7]
os.makedirs(scratch, exist_ok=True)

records = [
    ("EGLL", "LONDON HEATHROW AIRPORT"),
    ("EDDF", "FRANKFURT AM MAIN"),
    ("LFPG", "CHARLES DE GAULLE, PARIS"),
    ("ESSA", "STOCKHOLM ARLANDA \u00c5"),
    ("EKCH", "K\u00d8BENHAVN KASTRUP"),
    ("KLAX", "LOS ANGELES " + "INTERNATIONAL " * 30),
    ("SAN1", "SAN"),
]

def item(text, quoted):
    return '"' + text + '"' if quoted else text

lists = {}
for end_name, end in (("lf", "\n"), ("crlf", "\r\n"), ("cr", "\r")):
    for quoted in (False, True):
        text = end.join(item(c, quoted) + "," + item(n, quoted) for c, n in records) + end
        if quoted:
            text += '"ZZZZ","A ""QUOTED""' + end + 'NAME"' + end
        text += "SHRT" + end  # a record without its pair
        for enc in ("utf-8", "cp1252"):
            data = text.encode(enc, errors="replace")
            name = "list-%s-%s-%s.txt" % (end_name, "quoted" if quoted else "plain", enc)
            lists[name] = data
lists["bom.txt"] = b"\xef\xbb\xbf" + "EGLL,LONDON HEATHROW AIRPORT\n".encode()
lists["empty.txt"] = b""

paths = []
for name, data in lists.items():
    path = os.path.join(scratch, name)
    with open(path, "wb") as f:
        f.write(data)
    paths.append(path)
paths.append(shipped)

keys = [("EGLL", "code"), ("egll", "code"), ("EGLLX", "code"), ("ZZZZ", "code"), ("SHRT", "code"), ("", "code"),
        ("LONDON", "name"), ("london heathrow", "name"), ("SAN", "name"), ("A \"QUOTED\"", "name"),
        ("CHARLES DE GAULLE, PARIS", "name"), ("LOS ANGELES", "name"), ("ZZZ", "name"), ("", "name")]

def run(command):
    result = subprocess.run(command, capture_output=True)
    # The C runtime on Windows writes line ends as CR LF.
    return result.returncode, result.stdout.replace(b"\r\n", b"\n")

def compare(path):
    # Every key over one list in one process each: a Wine process spends most
    # of its short life starting.
    args = [path] + [word for key, mode in keys for word in (key, mode)]
    return path, run([native] + args), run([wine_run, "--prefix", prefix, exe] + args)

failures = 0
with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
    for path, want, got in pool.map(compare, paths):
        if want != got:
            failures += 1
            print("differs: %s\n  native: %r\n  windows: %r" % (os.path.basename(path), want, got))
print("%d lists, %d keys, %d differences" % (len(paths), len(keys), failures))
sys.exit(1 if failures else 0)
