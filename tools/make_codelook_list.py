#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""Convert the airports CSV into the codelook.txt list read by codelook.

Each airport becomes one record "CODE NAME" in CSV file order, encoded as
Windows-1252 with CR LF after every record. Records containing a comma are
wrapped in double quotes, because the reader splits unquoted items at commas.
"""

import argparse
import csv
import os
import re
import sys
import unicodedata

from recordlayout import CODE_LENGTH, make_record

ENCODING = "cp1252"
EOL = "\r\n"

# Letters that cp1252 lacks and NFKD does not break down into a base letter.
# The table wins over NFKD so an entry can also override a poor decomposition.
FALLBACK = {
    "ł": "l", "Ł": "L", "ı": "i", "İ": "I", "ȷ": "j",
    "đ": "d", "Đ": "D", "ħ": "h", "Ħ": "H", "ŧ": "t", "Ŧ": "T",
    "ŋ": "n", "Ŋ": "N", "ĸ": "k", "ŀ": "l", "Ŀ": "L",
    "ə": "e", "Ə": "E", "ɛ": "e", "Ɛ": "E",
    "ʻ": "'", "ʼ": "'", "ʹ": "'", "ʾ": "'", "ʿ": "'", "′": "'",
    "‐": "-", "‑": "-", "‒": "-",
}

_LINE_BREAKS = re.compile(r"[\t\r\n]+")


class ConversionError(Exception):
    pass


def _encodable(text):
    try:
        text.encode(ENCODING)
    except UnicodeEncodeError:
        return False
    return True


def _describe(ch):
    return "%r (U+%04X %s)" % (ch, ord(ch), unicodedata.name(ch, "unnamed"))


def _replace_char(ch):
    """Return cp1252-safe text for one character, or None if there is none."""
    if unicodedata.category(ch) == "Cc":
        return None  # a control character would corrupt the list
    if _encodable(ch):
        return ch
    if ch in FALLBACK:
        return FALLBACK[ch]
    if unicodedata.combining(ch):
        return ""  # stray accent left over after composing
    plain = "".join(c for c in unicodedata.normalize("NFKD", ch)
                    if not unicodedata.combining(c))
    if plain and _encodable(plain) and unicodedata.category(plain[0]) != "Cc":
        return plain
    return None


def clean_name(raw):
    """Turn a CSV name into the text stored in the list (without quoting).

    Raises ConversionError for a character that has no replacement, rather
    than writing '?' and silently losing the letter.
    """
    text = _LINE_BREAKS.sub(" ", unicodedata.normalize("NFC", raw))
    out = []
    for ch in text:
        rep = _replace_char(ch)
        if rep is None:
            raise ConversionError(
                "cannot encode %s in %s; add it to FALLBACK in "
                "make_codelook_list.py" % (_describe(ch), ENCODING))
        out.append(rep)
    # Quotes go after replacement: NFKD can turn e.g. a fullwidth quote into '"'.
    # The reader ends a quoted item at the next '"', so none may remain inside.
    name = "".join(out).replace('"', "").strip()
    if not name:
        raise ConversionError("name is empty")
    return name


def check_code(code):
    if (len(code) != CODE_LENGTH or not code.isascii() or not code.isprintable()
            or any(c in code for c in ' ,"')):
        raise ConversionError("bad ICAO code %r" % code)
    return code


def format_record(code, name):
    record = make_record(code, name)
    return '"' + record + '"' if "," in record else record


def read_airports(csv_path):
    """Yield (code, clean name) for every CSV row, in file order."""
    try:
        with open(csv_path, encoding="utf-8-sig", newline="") as f:
            reader = csv.DictReader(f)
            missing = {"icao", "name"} - set(reader.fieldnames or ())
            if missing:
                raise ConversionError("%s: missing column(s) %s"
                                      % (csv_path, ", ".join(sorted(missing))))
            for row in reader:
                code, name = row.get("icao"), row.get("name")
                try:
                    if code is None or name is None:
                        raise ConversionError("too few fields")
                    yield check_code(code), clean_name(name)
                except ConversionError as e:
                    raise ConversionError("%s line %d (icao %r): %s"
                                          % (csv_path, reader.line_num, code, e))
    except UnicodeDecodeError as e:
        raise ConversionError("%s: not valid UTF-8: %s" % (csv_path, e))


def build_list(csv_path):
    """Return the complete list as bytes; nothing is written on error."""
    text = "".join(format_record(c, n) + EOL for c, n in read_airports(csv_path))
    return text.encode(ENCODING)


def build_expected(csv_path):
    """Code and name per airport as a list reader must return them (UTF-8)."""
    return "".join("%s\t%s\n" % (c, n) for c, n in read_airports(csv_path))


def first_difference(want, have):
    want_recs, have_recs = want.split(b"\r\n"), have.split(b"\r\n")
    for i, (w, h) in enumerate(zip(want_recs, have_recs), 1):
        if w != h:
            # Cap the excerpt: a file with LF endings is one huge "record".
            return "record %d: expected %r, found %r" % (i, w[:80], h[:80])
    if len(want_recs) != len(have_recs):
        return "expected %d records, found %d" % (len(want_recs) - 1,
                                                  len(have_recs) - 1)
    return "line endings differ"  # same records once split at CR LF


# The repository keeps the source CSV beside the list it makes.
DATA_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "data")
DEFAULT_CSV = os.path.normpath(os.path.join(DATA_DIR, "airports.csv"))
DEFAULT_LIST = os.path.normpath(os.path.join(DATA_DIR, "codelook.txt"))


def main(argv=None):
    parser = argparse.ArgumentParser(
        description="Convert the airports CSV into codelook.txt "
                    "(cp1252, CR LF, one 'CODE NAME' record per airport).")
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--check", action="store_true",
                      help="compare FILE with a fresh conversion; exit 1 if "
                           "it differs")
    mode.add_argument("--expected", action="store_true",
                      help="write a UTF-8 'CODE<TAB>NAME' file of what a "
                           "reader of the list must yield")
    parser.add_argument("csv", metavar="CSV", nargs="?", default=DEFAULT_CSV,
                        help="airports CSV (UTF-8); default data/airports.csv")
    parser.add_argument("file", metavar="FILE", nargs="?", default=DEFAULT_LIST,
                        help="list to write, list to check, or TSV to write; "
                             "default data/codelook.txt")
    args = parser.parse_args(argv)

    try:
        if args.expected:
            data = build_expected(args.csv).encode("utf-8")
        else:
            data = build_list(args.csv)
    except (ConversionError, OSError) as e:
        print("error: %s" % e, file=sys.stderr)
        return 2

    if args.check:
        try:
            with open(args.file, "rb") as f:
                have = f.read()
        except OSError as e:
            print("%s: cannot read: %s" % (args.file, e.strerror),
                  file=sys.stderr)
            return 1
        if have != data:
            print("%s is out of date: %s" % (args.file,
                                             first_difference(data, have)),
                  file=sys.stderr)
            return 1
        return 0

    with open(args.file, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
