# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""The real codelook.exe as a screen reader on Windows hears it: under Wine,
winevent_listen.exe, a process of its own in the same prefix, prints the
focus and live-region events and the names MSAA gives their objects, while
keys go in through the X server (XTEST), as a keyboard's would.

Checks that after a mode choice the last focus is the input box, named by
its label, and that each SEARCH raises exactly one live-region event named
by the answer or the not-found message, with the focus left on SEARCH.

Usage: check_winevents.py WINE_RUN PREFIX LISTENER PROGRAM
PROGRAM's folder must hold the shipped codelook.txt.
"""

import os
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.realpath(__file__)), "..", "desktop"))
from xprogram import Program, check, failures  # noqa: E402

# One run of the program a mode: keys pressed ("+" holds Shift), then the
# name of the last focus after them and the live-region events heard.
CODE_RUN = [
    (["Tab"], "INSERT  ICAO CODE", []),
    (["e", "g", "l", "l", "Tab", "Tab"], "SEARCH", []),
    (["space"], "SEARCH", ["LONDON HEATHROW AIRPORT"]),
    # The focus stayed on SEARCH: Space searches again, and is heard again.
    (["space"], "SEARCH", ["LONDON HEATHROW AIRPORT"]),
    # DELETE empties the boxes, which is no news.
    (["Tab", "space", "z", "z", "z", "z", "Tab", "Tab"], "SEARCH", []),
    (["space"], "SEARCH", ["ICAO CODE NOT FOUND"]),
]
NAME_RUN = [
    (["+Tab"], "INSERT AIRPORT NAME", []),
    ([*"london", "space", *"heathrow", "+Tab"], "SEARCH", []),
    (["space"], "SEARCH", ["EGLL"]),
    (["+Tab", "space", "q", "q", "q", "+Tab"], "SEARCH", []),
    (["space"], "SEARCH", ["AIRPORT NAME NOT FOUND"]),
]

class Listener:
    """winevent_listen.exe, its lines kept as (event, name) for the program."""

    def __init__(self, wine_run, prefix, listener):
        self.process = subprocess.Popen(
            [wine_run, "--prefix", prefix, listener],
            stdin=subprocess.PIPE,
            stdout=subprocess.PIPE,
            encoding="utf-8",
        )
        self.heard = []
        self.ready = threading.Event()
        threading.Thread(target=self._read, daemon=True).start()
        if not self.ready.wait(30):
            sys.exit("FAIL: the listener did not start")

    def _read(self):
        for line in self.process.stdout:
            print("heard:", line.rstrip("\n"))
            fields = line.rstrip("\n").split("\t")
            if fields == ["listening"]:
                self.ready.set()
            elif len(fields) == 4 and fields[1].lower() == "codelook.exe":
                self.heard.append((fields[0], fields[3]))

    def stop(self):
        self.process.stdin.close()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            failures.append("the listener did not end with its input")
            self.process.kill()
            self.process.wait()


def last_focus(heard):
    return next((name for event, name in reversed(heard) if event == "focus"), None)


def run(listener, app, steps):
    time.sleep(0.3)
    for keys, focus, announced in steps:
        before = len(listener.heard)
        for key in keys:
            app.press(key)

        def step():
            return listener.heard[before:]

        def live():
            return [name for event, name in step() if event == "liveregion"]

        def done():
            return len(live()) >= len(announced) if announced else last_focus(step()) == focus

        end = time.monotonic() + 3
        while not done() and time.monotonic() < end:
            time.sleep(0.02)
        time.sleep(0.2)  # for anything heard after it
        now = last_focus(listener.heard)
        check(now == focus, f"after {keys} the last focus is {now!r}, not {focus!r}")
        check(live() == announced, f"after {keys} the live region said {live()}, not {announced}")
        if announced:
            check(all(event != "focus" for event, _ in step()), f"after {keys} the focus moved: {step()}")
        print(f"{keys} -> {step()}")


def main():
    wine_run, prefix, listener_exe, program = sys.argv[1:5]
    listener = Listener(wine_run, prefix, listener_exe)
    try:
        for steps in (CODE_RUN, NAME_RUN):
            app = Program([wine_run, "--prefix", prefix, program], os.path.dirname(program))
            try:
                run(listener, app, steps)
            finally:
                app.stop()
    finally:
        listener.stop()
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=os.path.abspath(prefix)), check=False)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
