"""The keystroke cost of the real window with a mebibyte of Text: from a key
sent with xdotool to the first frame that shows the new status line, read from
the screen's pixels. Each key changes the expression between valid (the groups
marked again in Text and Result) and invalid (the marks removed, the failing
character marked). Usage (under a display): window_keystrokes.py path/to/tarnwick [cycles]"""

import os
import statistics
import subprocess
import sys
import time

from Xlib import X, display

PROGRAM = sys.argv[1]
CYCLES = int(sys.argv[2]) if len(sys.argv) > 2 else 8
KEYS = ("parenleft", "period", "parenright", "BackSpace", "BackSpace", "BackSpace")
# What the expression "(.*)" becomes after each key, starting from the front.
VALID_AFTER = (False, False, True, False, False, True)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def window_of(pid):
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                               capture_output=True, text=True).stdout.split()
        if found:
            return found[0]
        time.sleep(0.1)
    raise SystemExit("no window")


def status_strip(screen, window):
    """The window's bottom strip, where the status line is drawn."""
    geometry = window.get_geometry()
    origin = window.translate_coords(screen.screen().root, 0, 0)
    x, y = -origin.x, -origin.y
    return lambda: screen.screen().root.get_image(x, y + geometry.height - 40, geometry.width, 36,
                                                  X.ZPixmap, 0xFFFFFFFF).data


def wait_for_change(grab, before, timeout=30.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        now = grab()
        if now != before:
            return now
        time.sleep(0.002)
    raise SystemExit("the status line did not change")


def settle(grab, quiet=1.0):
    """Waits until the strip has not changed for `quiet` seconds."""
    last, since = grab(), time.monotonic()
    while time.monotonic() - since < quiet:
        time.sleep(0.05)
        now = grab()
        if now != last:
            last, since = now, time.monotonic()
    return last


process = subprocess.Popen([PROGRAM], env={**os.environ, "NO_AT_BRIDGE": "1"})
try:
    window_id = window_of(process.pid)
    screen = display.Display()
    window = screen.create_resource_object("window", int(window_id))
    xdotool("windowfocus", "--sync", window_id)
    grab = status_strip(screen, window)
    line = "2020-07-26 東京都千代田区 ログ 1234 abc\n"
    text = line * ((1 << 20) // len(line.encode()))
    subprocess.run(["xclip", "-selection", "clipboard"], input=text.encode(), check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    xdotool("type", "(.*)")
    xdotool("key", "Tab", "ctrl+v")  # into Text
    time.sleep(2)
    settle(grab, 2.0)
    xdotool("key", "shift+Tab", "Home")  # back to the start of Expression
    settle(grab)
    times = {True: [], False: []}
    for _ in range(CYCLES):
        for key, valid in zip(KEYS, VALID_AFTER):
            before = grab()
            began = time.monotonic()
            xdotool("key", key)
            wait_for_change(grab, before)
            times[valid].append((time.monotonic() - began) * 1000)
            settle(grab, 0.3)
    for valid, values in times.items():
        values.sort()
        print(f"1 MiB Text, key to new status line, {'valid' if valid else 'invalid'} expression: "
              f"median {statistics.median(values):.0f} ms, 90th percentile {values[int(len(values) * 0.9)]:.0f} ms, "
              f"max {values[-1]:.0f} ms over {len(values)} keys")
    xdotool("key", "Escape")
finally:
    if process.poll() is None:
        process.kill()
