# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""A program driven as from a keyboard: its window found in the X server in
DISPLAY and given the keyboard, and keys typed through the server (XTEST);
and the record of what the checks of such a test found wrong."""

import subprocess
import sys
import time

from Xlib import X, XK, display
from Xlib.ext import xtest

# What a check found wrong; a test ends with a failure status if any.
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


class Program:
    def __init__(self, command, folder, env=None, title="VERNASCO"):
        self.process = subprocess.Popen(command, cwd=folder, env=env)
        self.x = display.Display()
        end = time.monotonic() + 20
        while not (window := self._window(title)):
            if time.monotonic() > end:
                sys.exit("FAIL: the program's window did not show")
            time.sleep(0.1)
        # What a window manager does when a window maps: the X server alone
        # gives no window the keyboard.
        time.sleep(0.3)
        window.set_input_focus(X.RevertToParent, X.CurrentTime)
        self.x.sync()

    def _window(self, title):
        for window in self.x.screen().root.query_tree().children:
            try:
                if window.get_attributes().map_state == X.IsViewable and title in (window.get_wm_name() or ""):
                    return window
            except Exception:  # a window gone meanwhile
                pass
        return None

    def press(self, key):
        """Presses and releases KEY, an X key name; "+" before it holds Shift."""
        code = self.x.keysym_to_keycode(XK.string_to_keysym(key.lstrip("+")))
        shift = self.x.keysym_to_keycode(XK.string_to_keysym("Shift_L"))
        if key.startswith("+"):
            xtest.fake_input(self.x, X.KeyPress, shift)
        xtest.fake_input(self.x, X.KeyPress, code)
        xtest.fake_input(self.x, X.KeyRelease, code)
        if key.startswith("+"):
            xtest.fake_input(self.x, X.KeyRelease, shift)
        self.x.sync()
        time.sleep(0.05)

    def stop(self):
        self.process.kill()
        self.process.wait()
        self.x.close()
