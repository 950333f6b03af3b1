# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""The layout of a record of the list, as lookup/record.h states it.

The numbers are read from that header, so the list generators and the
reader cannot disagree: CODE_LENGTH characters of code, one separator at
SEPARATOR_POSITION, the name from NAME_POSITION (counted from 1).
"""

import re
from pathlib import Path

HEADER = Path(__file__).resolve().parent.parent / "lookup" / "record.h"


def _constants():
    text = HEADER.read_text(encoding="utf-8")
    found = {name: int(value) for name, value in
             re.findall(r"inline constexpr std::size_t (\w+) = (\d+);", text)}
    wanted = ("codeLength", "separatorPosition", "namePosition", "shownNameLength")
    missing = [name for name in wanted if name not in found]
    if missing:
        raise RuntimeError("%s does not state %s" % (HEADER, ", ".join(missing)))
    return [found[name] for name in wanted]


CODE_LENGTH, SEPARATOR_POSITION, NAME_POSITION, SHOWN_NAME_LENGTH = _constants()


def make_record(code, name):
    """The record of an airport: its code, a space, its name."""
    if len(code) != CODE_LENGTH:
        raise ValueError("a code has %d characters: %r" % (CODE_LENGTH, code))
    return code + " " * (NAME_POSITION - 1 - CODE_LENGTH) + name


def name_of(record):
    """The name part of a record, as the searches read it."""
    return record[NAME_POSITION - 1:]
