#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT

"""Writes the seed corpus of fuzz_lookup into corpus/ next to this script.

Each seed is: key length, flags, boundary fraction, key (UTF-8), list bytes
(see fuzz_lookup.cpp). Rerun after changing a seed here; the files are
committed so the fuzzer and ctest need no Python. No empty seed: libFuzzer
always runs the empty input first.
"""

from pathlib import Path

MOVE = 1  # also run on a copy pushed across a read-block boundary
EXTRA_CRLF = 2  # ... which ends with one more CR LF

LIST = b"00AA Aero B Ranch Airport\r\nEGLL London Heathrow Airport\r\nLFPG Paris Charles de Gaulle\r\n"
QUOTED = b'"0GA2 Airnautique, Inc Airport"\r\n"K35A Union County, Troy Shelton Field"\r\nKJFK John F Kennedy\r\n'

SEEDS = {
    "code_hit": ("EGLL", LIST),
    "name_hit": ("LONDON HEATH", LIST),
    "name_lower_case_key": ("london", LIST),
    "miss": ("QQQQ", LIST),
    "short_key_whole_record": ("AB", b"ABCD X\r\nAB\r\nAB  \r\n"),
    "quoted_comma_code": ("K35A", QUOTED),
    "quoted_comma_name": ("UNION COUNTY, T", QUOTED),
    "line_ends_mixed": ("KJFK", b"AAAA a\rBBBB b\nKJFK John F Kennedy\r\n\r\r\n\n\rCCCC c"),
    "bom_utf8": ("MÜNCHEN", b"\xef\xbb\xbfEDDF Frankfurt\r\nEDDM M\xc3\xbcnchen Flughafen\r\n"),
    "cp1252_name": ("ZÜRICH", b"LSGG Gen\xe8ve A\xe9roport\r\nLSZH Z\xfcrich Airport\r\n"),
    "cp1252_c1_bytes": ("X\u0081YZ", b"EURO \x80 sign \x9f\r\nX\x81YZ unassigned byte\r\n"),
    "invalid_utf8": ("EFGH", b"ABCD \xc3\x28 bad\r\nEFGH \xed\xa0\x80 surrogate\r\n\xf4\x90\x80\x80 too high\r\n"),
    "nul_bytes": ("AB\0D", b"AB\0D name\0with nul\r\n\0\0\0\0\r\n"),
    "unterminated_quote": ("ABCD", b'"ABCD never closed, still\r\n going  '),
    "quote_then_junk": ("EFGH", b'"ABCD x"junk,EFGH y\r\n""\r\n"'),
    "empty_list": ("EGLL", b""),
    "spaces": ("  EGLL ", b"   EGLL   London   \r\n  ,  ,\r\n   \r\n"),
    "sharp_s": ("FLUGPLATZ GROSS", b"EDAK Flugplatz Gro\xdfenhain\r\n"),
    "long_record": ("ABCD", b"ABCD " + b"x" * 700 + b"\r\nEFGH short\r\n"),
    "long_key": ("A" * 200, b"ABCD " + b"A" * 300 + b"\r\n"),
    "supplementary": ("A\U0001F600CD", "ABCD \U0001F600 smile\r\nA\U0001F600CD code\r\n".encode()),
    "ligature": ("FIELD", "ABCD \ufb01eld\r\nEFGH \u0390x\r\n".encode()),
    "empty_key_commas": ("", b",,,\r\r\n, ,x"),
}

BOUNDARY_SEEDS = {
    "block_code_hit": ("EGLL", LIST, MOVE, 128),
    "block_exact_end": ("LFPG", LIST, MOVE, 255),
    "block_extra_crlf": ("PARIS CHARLES", LIST, MOVE | EXTRA_CRLF, 255),
    "block_inside_quotes": ("K35A", QUOTED, MOVE, 40),
    "block_inside_utf8": ("MÜNCHEN", b"\xef\xbb\xbfEDDM M\xc3\xbcnchen Flughafen\r\n", MOVE, 70),
    "block_unterminated_quote": ("ABCD", b'"ABCD never closed, still\r\n going  ', MOVE, 200),
    "block_trailing_spaces": ("EGLL", b"EGLL London   \r\nX", MOVE, 128),
    "block_long_utf8": ("ABCD", ("ABCD " + "\u20ac\u00e9\U0001F600 " * 60 + "\r\n").encode(), MOVE, 100),
}


def seed(key: str, data: bytes, flags: int = 0, cut: int = 0) -> bytes:
    key_bytes = key.encode()
    assert len(key_bytes) < 256
    return bytes([len(key_bytes), flags, cut]) + key_bytes + data


def main() -> None:
    out = Path(__file__).resolve().parent / "corpus"
    out.mkdir(exist_ok=True)
    for name, (key, data) in SEEDS.items():
        (out / name).write_bytes(seed(key, data))
    for name, (key, data, flags, cut) in BOUNDARY_SEEDS.items():
        (out / name).write_bytes(seed(key, data, flags, cut))


if __name__ == "__main__":
    main()
