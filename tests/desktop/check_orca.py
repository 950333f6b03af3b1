# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""The program beside a real screen reader: Orca, started through
orca_logged.py, hears the program in the X display in DISPLAY over the
session's D-Bus. Keys go in through the X server (XTEST), as a keyboard's
would; what Orca says is read back from its log.

Checks that choosing a mode from the keyboard speaks the input box's label
(the last word is the box, not the mode button), that each SEARCH speaks its
answer or message within a second with the focus left on SEARCH, that DELETE
announces nothing, and that the buttons and the unreadable-list message box
are spoken as before.

Usage: check_orca.py PROGRAM
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from datetime import datetime

from xprogram import Program, check, failures

HERE = os.path.dirname(os.path.realpath(__file__))
LIST = "EGLL London Heathrow Airport\r\nLIML Milano Linate\r\n"
# An utterance, then the voice it is spoken in; the keys' echo ends in a space.
SPEECH = re.compile(r"^(\d\d:\d\d:\d\d\.\d+) - SPEECH OUTPUT: '(.*?)'\s*(\{[^{}]*\})?\s*$")
WITHIN = 1.0  # seconds from the key to the answer, by Orca's own clock

# One run of the program a mode: keys pressed ("+" holds Shift), then what
# Orca must say, in order, the last of it last.
CODE_RUN = [
    (["Tab"], ["INSERT  ICAO CODE text."]),
    (["e", "g", "l", "l", "Tab", "Tab"], ["SEARCH push button."]),
    (["space"], ["notification LONDON HEATHROW AIRPORT."]),
    # The focus stayed on SEARCH: Space searches again, and is heard again.
    (["space"], ["notification LONDON HEATHROW AIRPORT."]),
    # DELETE empties the boxes, which is no news.
    (["Tab", "space", "z", "z", "z", "z", "Tab", "Tab"], ["DELETE push button.", "SEARCH push button."]),
    (["space"], ["notification ICAO CODE NOT FOUND."]),
]
NAME_RUN = [
    (["+Tab"], ["INSERT AIRPORT NAME text."]),
    (["p", "a", "r", "i", "s", "+Tab"], ["SEARCH push button."]),
    (["space"], ["notification AIRPORT NAME NOT FOUND."]),
    ("unreadable", ["alert FILE NOT READABLE.", "OK push button."]),
]

class Orca:
    def __init__(self, folder):
        self.log = os.path.join(folder, "orca.log")
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "orca_logged.py"), self.log, os.path.join(folder, "orca")]
        )
        self.wait(lambda: any("Starting ATSPI registry" in l for l in self._lines()), 30, "Orca did not start")

    def _lines(self):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def said(self):
        """Every utterance so far, as (Orca's time, text)."""
        out = []
        for line in self._lines():
            m = SPEECH.match(line)
            if m:
                out.append((datetime.strptime(m.group(1), "%H:%M:%S.%f"), m.group(2)))
        return out

    def wait(self, condition, seconds, failure):
        end = time.monotonic() + seconds
        while not condition():
            if self.process.poll() is not None or time.monotonic() > end:
                sys.exit("FAIL: " + failure)
            time.sleep(0.05)

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def run(program, orca, folder, steps):
    app = Program([program], folder, dict(os.environ, QT_QPA_PLATFORM="xcb"))
    time.sleep(0.3)
    for keys, expected in steps:
        before = len(orca.said())
        if keys == "unreadable":
            # The list gone after start-up: SEARCH shows the message box.
            os.remove(os.path.join(folder, "codelook.txt"))
            os.mkdir(os.path.join(folder, "codelook.txt"))
            keys = ["space"]
        for key in keys:
            app.press(key)

        def spoken():
            return [(at, text) for at, text in orca.said()[before:] if not text.endswith(" ")]  # no key echoes

        orca.wait(lambda: expected[-1] in [text for _, text in spoken()], 10, f"Orca never said {expected} after {keys}")
        time.sleep(0.2)  # for anything said after it
        step = orca.said()[before:]
        texts = [text for _, text in spoken()]
        # In order, and what is heard last is the answer or where the focus
        # went, not a focus that moved on.
        check(
            [t for t in texts if t in expected] == expected and texts[-1] == expected[-1],
            f"after {keys} Orca said {texts}, not {expected}",
        )
        check(
            all(not t.startswith("notification") or t in expected for t in texts),
            f"after {keys} an announcement besides {expected}: {texts}",
        )
        # Orca's own clock: from its echo of the key to the answer.
        echoes = [at for at, text in step if text == keys[-1].lstrip("+").lower() + " "]
        if expected[-1].startswith("notification") and echoes:
            delay = (spoken()[-1][0] - echoes[-1]).total_seconds()
            check(delay <= WITHIN, f"{expected[-1]!r} came {delay:.2f} s after the key")
        print(f"{keys} -> {texts}")
    app.stop()


def main():
    program = os.path.realpath(sys.argv[1])
    folder = tempfile.mkdtemp(prefix="codelook-orca.")
    try:
        orca = Orca(folder)
        try:
            for steps in (CODE_RUN, NAME_RUN):
                with open(os.path.join(folder, "codelook.txt"), "w", newline="") as f:
                    f.write(LIST)
                run(program, orca, folder, steps)
        finally:
            orca.stop()
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
