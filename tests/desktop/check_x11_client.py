# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""Starts the program on the X display in DISPLAY and checks what it asks of
the window manager: its window, under the start-up caption, asks to stay
above other windows and to be placed in the middle of the screen.

Reads the requests themselves (through the X server's RECORD extension), not
what the window manager made of them: Weston's XWayland window manager
places X windows itself and keeps no _NET_WM_STATE_ABOVE, while the desktops'
window managers (KWin, Mutter) honour both.

Usage: check_x11_client.py PROGRAM  (started in the current directory)
"""

import os
import struct
import subprocess
import sys
import tempfile
import threading
import time

from Xlib import Xatom, display, error
from Xlib.ext import record

CAPTION = "GET ICAO/AIRPORT NAME - BY MELVO VERNASCO"
CLIENT_SIZE = (289, 153)  # the form's client area at 96 dpi
CHANGE_PROPERTY = 18
SEND_EVENT = 25
CLIENT_MESSAGE = 33
US_POSITION = 1
P_POSITION = 4


def only_request(opcode):
    """A RECORD range that takes one core request and nothing else."""
    return {
        "core_requests": (opcode, opcode),
        "core_replies": (0, 0),
        "ext_requests": (0, 0, 0, 0),
        "ext_replies": (0, 0, 0, 0),
        "delivered_events": (0, 0),
        "device_events": (0, 0),
        "errors": (0, 0),
        "client_started": False,
        "client_died": False,
    }


class Recorder:
    """Every ChangeProperty and SendEvent request of clients that connect
    from now on, as (opcode, raw request) pairs."""

    def __init__(self):
        self.requests = []
        self._control = display.Display()
        self._data = display.Display()
        if not self._control.has_extension("RECORD"):
            sys.exit("FAIL: the X server has no RECORD extension")
        self._context = self._control.record_create_context(
            0,
            [record.FutureClients],
            [only_request(CHANGE_PROPERTY), only_request(SEND_EVENT)],
        )
        self._control.sync()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _run(self):
        self._data.record_enable_context(self._context, self._take)

    def _take(self, reply):
        if reply.category != record.FromClient:
            return
        data = bytes(reply.data)
        # The requests come in the recorded client's byte order.
        little = (sys.byteorder == "little") != bool(reply.client_swapped)
        endian = "<" if little else ">"
        while len(data) >= 4:
            length = struct.unpack(endian + "H", data[2:4])[0] * 4
            if length == 0:  # BIG-REQUESTS: the length follows
                length = struct.unpack(endian + "I", data[4:8])[0] * 4
            if length < 4:
                break
            self.requests.append((data[0], endian, data[:length]))
            data = data[length:]

    def stop(self):
        self._control.record_disable_context(self._context)
        self._control.sync()
        self._thread.join(5)
        self._control.record_free_context(self._context)
        self._control.close()


def asks_above(requests, window, state, above):
    """Whether a request puts _NET_WM_STATE_ABOVE on the window: written into
    its _NET_WM_STATE before it is mapped, or asked of the window manager
    with a client message once it is."""
    for opcode, endian, raw in requests:
        if opcode == CHANGE_PROPERTY and len(raw) >= 24:
            target, prop, _type, fmt = struct.unpack(endian + "IIIB", raw[4:17])
            count = struct.unpack(endian + "I", raw[20:24])[0]
            if target == window and prop == state and fmt == 32:
                atoms = struct.unpack(endian + "%dI" % count, raw[24 : 24 + 4 * count])
                if above in atoms:
                    return True
        elif opcode == SEND_EVENT and len(raw) >= 44:
            event = raw[12:44]
            if event[0] & 0x7F != CLIENT_MESSAGE:
                continue
            target, kind = struct.unpack(endian + "II", event[4:12])
            action, first, second = struct.unpack(endian + "III", event[12:24])
            if target == window and kind == state and action == 1 and above in (first, second):
                return True
    return False


def find_window(dpy, pid, deadline):
    """The top-level client window of this process titled with the caption."""
    pid_atom = dpy.intern_atom("_NET_WM_PID")
    while time.monotonic() < deadline:
        pending = [dpy.screen().root]
        while pending:
            window = pending.pop()
            try:
                name = window.get_wm_name()
                owner = window.get_full_property(pid_atom, Xatom.CARDINAL)
                if name == CAPTION and owner and owner.value[0] == pid:
                    return window
                pending.extend(window.query_tree().children)
            except error.XError:  # a window that went away meanwhile
                continue
        time.sleep(0.1)
    return None


def main():
    program = sys.argv[1]
    dpy = display.Display()
    recorder = Recorder()
    log = tempfile.TemporaryFile()
    child = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=log)
    failures = []
    try:
        window = find_window(dpy, child.pid, time.monotonic() + 15)
        if window is None:
            child.terminate()
            child.wait(10)
            log.seek(0)
            sys.exit(
                "FAIL: no X11 window titled %r on %s from the program\n%s"
                % (CAPTION, os.environ.get("DISPLAY"), log.read().decode(errors="replace"))
            )
        print("X11 client window 0x%x titled %r" % (window.id, CAPTION))

        geometry = window.get_geometry()
        if (geometry.width, geometry.height) != CLIENT_SIZE:
            failures.append("client area %dx%d, not %dx%d" % (geometry.width, geometry.height, *CLIENT_SIZE))

        root = dpy.screen().root.get_geometry()
        # WM_NORMAL_HINTS: flags, then the position asked for (which the
        # library's own reading of the hints leaves out).
        hints = window.get_full_property(Xatom.WM_NORMAL_HINTS, Xatom.WM_SIZE_HINTS)
        wanted = ((root.width - CLIENT_SIZE[0]) / 2, (root.height - CLIENT_SIZE[1]) / 2)
        if not hints or len(hints.value) < 3 or not hints.value[0] & (US_POSITION | P_POSITION):
            failures.append("the window asks for no position")
        else:
            x, y = (v - (1 << 32) if v >= 1 << 31 else v for v in hints.value[1:3])
            if abs(x - wanted[0]) > 1 or abs(y - wanted[1]) > 1:
                failures.append(
                    "asks for %d,%d; the middle of the %dx%d screen is %.1f,%.1f"
                    % (x, y, root.width, root.height, *wanted)
                )
            else:
                print("asks for %d,%d on a %dx%d screen: centred" % (x, y, root.width, root.height))

        time.sleep(0.2)  # the last recorded requests
        state = dpy.intern_atom("_NET_WM_STATE")
        above = dpy.intern_atom("_NET_WM_STATE_ABOVE")
        if asks_above(recorder.requests, window.id, state, above):
            print("asks for _NET_WM_STATE_ABOVE")
        else:
            failures.append("never asks for _NET_WM_STATE_ABOVE")

        if child.poll() is not None:
            failures.append("the program ended by itself with status %d" % child.returncode)
    finally:
        if child.poll() is None:
            child.terminate()
            child.wait(10)
        recorder.stop()

    for failure in failures:
        print("FAIL: " + failure, file=sys.stderr)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
