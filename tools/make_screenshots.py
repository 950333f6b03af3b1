#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""Takes the README's screenshots of the window again, under an X server.

Starts the program once a picture, in the folder that holds its list,
drives it with real key presses and clicks (XTEST), and writes the pixels
of its window as a PNG. Run it inside a headless session, so that no
desktop's theme or window manager changes the picture:

    tests/desktop/session.sh xvfb python3 tools/make_screenshots.py

takes docs/screenshot-choice.png, -code.png and -name.png from build/qt/
(tools/run.sh builds it). The picture is the window's own pixels, without
a window manager's frame. The dark one:

    tests/desktop/session.sh xvfb env XDG_CURRENT_DESKTOP=GNOME QT_QPA_PLATFORMTHEME=gtk3 \
        GTK_THEME=Adwaita:dark python3 tools/make_screenshots.py --shots code --name screenshot-gnome-dark

Any other command can start the program (after --); --scale gives the
window's scale, so that the click lands on SEARCH.
"""

import argparse
import os
import struct
import subprocess
import sys
import time
import zlib

from Xlib import X, XK, display
from Xlib.ext import xtest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_icon import _chunk  # noqa: E402  (the PNG chunk writer, shared)

TITLE = "GET ICAO/AIRPORT NAME"
CLIENT = (289, 153)  # the window's client area at 100 %, in pixels
SEARCH = (52, 128)  # the middle of either panel's SEARCH at 100 %

# Each picture: the keys that choose a mode, the text typed, and whether
# SEARCH is clicked.
SHOTS = {
    "choice": ([], "", False),
    "code": (["Tab"], "egll", True),
    "name": (["Shift_L+Tab"], "london heathrow", True),
}


def find_window(conn, deadline):
    while time.time() < deadline:
        stack = [conn.screen().root]
        while stack:
            window = stack.pop()
            name = window.get_wm_name() or ""
            if name.startswith(TITLE) or name in ("CODELOOK - BY VERNASCO", "NAMELOOK - BY VERNASCO"):
                return window
            stack.extend(window.query_tree().children)
        time.sleep(0.1)
    raise SystemExit("make_screenshots: the program opened no window")


def press(conn, chord):
    codes = [conn.keysym_to_keycode(XK.string_to_keysym(key)) for key in chord.split("+")]
    for code in codes:
        xtest.fake_input(conn, X.KeyPress, code)
    for code in reversed(codes):
        xtest.fake_input(conn, X.KeyRelease, code)
    conn.sync()
    time.sleep(0.1)


def type_text(conn, text):
    for char in text:
        press(conn, "space" if char == " " else char)


def click(conn, window, scale):
    geometry = window.get_geometry()
    left = (geometry.width - round(CLIENT[0] * scale)) // 2  # a frame Wine draws is as wide on each side
    top = geometry.height - round(CLIENT[1] * scale) - left
    origin = window.translate_coords(conn.screen().root, 0, 0)
    x = -origin.x + left + round(SEARCH[0] * scale)
    y = -origin.y + top + round(SEARCH[1] * scale)
    xtest.fake_input(conn, X.MotionNotify, x=x, y=y)
    xtest.fake_input(conn, X.ButtonPress, 1)
    xtest.fake_input(conn, X.ButtonRelease, 1)
    conn.sync()
    time.sleep(0.3)


def encode_png(window):
    geometry = window.get_geometry()
    width, height = geometry.width, geometry.height
    pixels = window.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF).data
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        row = pixels[y * width * 4:(y + 1) * width * 4]
        for x in range(width):
            blue, green, red = row[x * 4:x * 4 + 3]
            raw += bytes((red, green, blue))
    return b"".join([
        b"\x89PNG\r\n\x1a\n",
        _chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)),
        _chunk(b"IDAT", zlib.compress(bytes(raw), 9)),
        _chunk(b"IEND", b""),
    ])


def take(args, shot, conn):
    keys, text, search = SHOTS[shot]
    program = subprocess.Popen(args.program, cwd=args.folder)
    try:
        window = find_window(conn, time.time() + 30)
        time.sleep(1)  # the first paint
        window.set_input_focus(X.RevertToParent, X.CurrentTime)
        for chord in keys:
            press(conn, chord)
        type_text(conn, text)
        if search:
            click(conn, window, args.scale)
        time.sleep(0.5)
        path = os.path.join(args.out, f"{args.name}-{shot}.png")
        with open(path, "wb") as f:
            f.write(encode_png(window))
        print(path)
    finally:
        program.terminate()
        program.wait()


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--folder", default="build/qt", help="where the program starts, beside its list")
    parser.add_argument("--out", default="docs", help="where the pictures go")
    parser.add_argument("--name", default="screenshot", help="the pictures' names begin so")
    parser.add_argument("--scale", type=float, default=1.0, help="the window's scale (1.5 at 144 dpi)")
    parser.add_argument("--shots", default="choice,code,name", help="which pictures: choice, code, name")
    parser.add_argument("program", nargs="*", default=["./codelook"], help="the command that starts the program")
    args = parser.parse_args(argv)
    args.out = os.path.abspath(args.out)
    conn = display.Display()
    for shot in args.shots.split(","):
        take(args, shot, conn)


if __name__ == "__main__":
    main()
