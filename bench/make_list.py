#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT

"""Writes a large airport list for benchmarking.

    make_list.py RECORDS OUT [--seed N] [--pool LIST]

Records look like the shipped list: "CODE NAME", Windows-1252, CR LF. Codes
are random A-Z0-9 but never start with "Q" nor end with "Z", and no name
starts with "QQQ", so the benchmark's code keys (QQQQ, ZZZZ, KZZZ, EGZZ) and
"QQQ NOTHING" miss and every search reads the whole list. Names come from the shipped list, some with a word of another
name added; about one in 2,500 holds a comma and is written quoted; about one
in 50 gets an accented letter. Codes repeat in big lists, which a scan does
not mind. The output depends only on RECORDS, the seed and the pool.
"""

import argparse
import random
import string
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tools"))
from recordlayout import CODE_LENGTH, NAME_POSITION, make_record, name_of  # noqa: E402

DEFAULT_POOL = Path(__file__).resolve().parent.parent / "data" / "codelook.txt"
CHUNK = 100_000  # records generated and written at a time
COMMA_EVERY = 2500
ACCENT_EVERY = 50
FIRST = [c for c in string.ascii_uppercase + string.digits if c != "Q"]
REST = string.ascii_uppercase + string.digits
LAST = [c for c in REST if c != "Z"]
ACCENTED = {
    "a": "áàâäãå", "e": "éèêë", "i": "íìîï", "o": "óòôöõø", "u": "úùûü",
    "c": "ç", "n": "ñ", "y": "ý", "s": "š", "z": "ž",
}


def read_pool(path: Path) -> tuple[list[str], list[str]]:
    """Names of the list at path, without commas or a leading "QQQ", and their words."""
    names = []
    for line in path.read_text(encoding="cp1252").splitlines():
        record = line.strip().strip('"')
        name = name_of(record).strip()
        if not name or "," in name or '"' in name or name.upper().startswith("QQQ"):
            continue
        names.append(name)
    if not names:
        sys.exit(f"make_list.py: no names in {path}")
    words = sorted({w for name in names for w in name.split() if w.isalpha() and len(w) > 2})
    return names, words


def gaps(rng: random.Random, mean: int):
    """Positions 0, 1, 2, ... picked with the given mean distance."""
    pos = -1
    while True:
        pos += 1 + int(rng.expovariate(1 / mean))
        yield pos


def accent(rng: random.Random, name: str) -> str:
    spots = [i for i, c in enumerate(name) if c in ACCENTED]
    if not spots:
        return name
    i = rng.choice(spots)
    return name[:i] + rng.choice(ACCENTED[name[i]]) + name[i + 1:]


def write_list(records: int, out, rng: random.Random, names: list[str], words: list[str]) -> None:
    # Half the names get no suffix: the empty strings weigh as much as the words.
    suffixes = [""] * len(words) + [" " + w for w in words]
    commas = gaps(rng, COMMA_EVERY)
    accents = gaps(rng, ACCENT_EVERY)
    next_comma, next_accent = next(commas), next(accents)
    done = 0
    while done < records:
        n = min(CHUNK, records - done)
        first = rng.choices(FIRST, k=n)
        inner = CODE_LENGTH - 2
        middle = "".join(rng.choices(REST, k=inner * n))
        last = rng.choices(LAST, k=n)
        picked = rng.choices(names, k=n)
        added = rng.choices(suffixes, k=n)
        lines = [make_record(first[i] + middle[inner * i:inner * (i + 1)] + last[i], picked[i] + added[i])
                 for i in range(n)]
        while next_accent < done + n:
            i = next_accent - done
            start = NAME_POSITION - 1
            lines[i] = lines[i][:start] + accent(rng, lines[i][start:])
            next_accent = next(accents)
        while next_comma < done + n:
            i = next_comma - done
            lines[i] = f'"{lines[i]}, {rng.choice(words)}"'
            next_comma = next(commas)
        out.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))
        done += n


def main(argv=None) -> int:
    parser = argparse.ArgumentParser(description="Write a large airport list for benchmarking.")
    parser.add_argument("records", type=int, help="number of records")
    parser.add_argument("out", type=Path, help="file to write")
    parser.add_argument("--seed", type=int, default=1, help="random seed (default 1)")
    parser.add_argument("--pool", type=Path, default=DEFAULT_POOL, help="list whose names are used")
    args = parser.parse_args(argv)
    if args.records < 0:
        parser.error("RECORDS must not be negative")

    names, words = read_pool(args.pool)
    rng = random.Random(args.seed)
    args.out.parent.mkdir(parents=True, exist_ok=True)
    partial = args.out.with_name(args.out.name + ".part")
    with open(partial, "wb") as out:
        write_list(args.records, out, rng, names, words)
    partial.replace(args.out)  # never leave a half-written list under the real name
    return 0


if __name__ == "__main__":
    sys.exit(main())
