"""Typing into the real window, read from the screen's pixels. For each case
(a Text of 1 KB to 1 MiB and an expression that matches, fails with the hint
searched, or runs into the work limit; keys into Text or into Expression):
- one key to its echo: from the key (sent through XTest) to the first frame
  whose box shows it, for 10 keys and their 10 Backspaces;
- 10 keys 30 ms apart to the final look: from the last key to the last change
  of the whole window (Result, marks, status), beside what one evaluation
  costs as the status line says it.
Usage (under a display and a session bus): window_keystrokes.py path/to/tarnwick"""

import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

import pyatspi
from Xlib import X, XK, display
from Xlib.ext import xtest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "app", "gtk"))
from window_driver import application, named, paste, text_of, wait_for, windows_of, xdotool  # noqa: E402

PROGRAM = sys.argv[1]
LINE = "2020-07-26 東京都千代田区 ログ 1234 abc\n"


def text_of_size(size):
    return (LINE * (size // len(LINE.encode()) + 1)).encode()[:size].decode(errors="ignore")


SIZES = (("1 KB", 1000), ("10 KB", 10_000), ("100 KB", 100_000), ("1 MiB", 1 << 20))
CASES = [(name, text_of_size(size), expression) for name, size in SIZES for expression in ("(.*)", "(.*)j")]
CASES.append(("30 a + c", "a" * 30 + "c", "(a+)+b"))
if os.environ.get("TARNWICK_BENCH_CASES"):  # e.g. "1 KB" for a trial of one size
    CASES = [c for c in CASES if c[0] in os.environ["TARNWICK_BENCH_CASES"].split(",")]

screen = display.Display()
root = screen.screen().root


def grabber(node):
    x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return lambda: root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data


def press(keysym_name):
    code = screen.keysym_to_keycode(XK.string_to_keysym(keysym_name))
    xtest.fake_input(screen, X.KeyPress, code)
    xtest.fake_input(screen, X.KeyRelease, code)
    screen.sync()


def wait_for_change(grab, before, timeout=30.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if grab() != before:
            return time.monotonic()
        time.sleep(0.001)
    raise SystemExit("the box did not change")


def settle(grab, quiet=1.0, timeout=120.0, start=None):
    """Waits until the picture has not changed for `quiet` seconds; gives the time of its last change
    (compared with `start`, a picture taken before, when given)."""
    last, since = (start if start is not None else grab()), time.monotonic()
    deadline = since + timeout
    while time.monotonic() - since < quiet and time.monotonic() < deadline:
        time.sleep(0.005)
        now = grab()
        if now != last:
            last, since = now, time.monotonic()
    return since


def evaluation_ms(status):
    found = re.search(r"· ([0-9.,]+) ms ·|, ([0-9.,]+) ms$", text_of(status))
    return float((found.group(1) or found.group(2)).replace(",", "")) if found else float("nan")


# No blinking cursor: the window must come to rest for the final look to be seen.
config = tempfile.mkdtemp()
os.makedirs(os.path.join(config, "gtk-3.0"))
with open(os.path.join(config, "gtk-3.0", "settings.ini"), "w") as settings:
    settings.write("[Settings]\ngtk-cursor-blink = false\n")
process = subprocess.Popen([PROGRAM], env={**os.environ, "XDG_CONFIG_HOME": config, "GTK_IM_MODULE": "gtk-im-context-simple"},
                           stdout=subprocess.DEVNULL)
rows = []
try:
    app = wait_for("the tarnwick application", application)
    boxes = {name: named(app, "text", name) for name in ("Expression", "Text")}
    status = named(app, "label", "Status")
    frame = wait_for("the X window", lambda: windows_of(process.pid))[0]
    xdotool("windowfocus", "--sync", frame)
    window = screen.create_resource_object("window", int(frame))
    geometry = window.get_geometry()
    origin = window.translate_coords(root, 0, 0)
    whole = lambda: root.get_image(-origin.x, -origin.y, geometry.width, geometry.height, X.ZPixmap, 0xFFFFFFFF).data
    for box_name in ("Text", "Expression"):
        for text_name, text, expression in CASES:
            paste(boxes["Text"], text)
            paste(boxes["Expression"], expression)
            box = boxes[box_name]
            box.queryComponent().grabFocus()
            time.sleep(0.2)
            xdotool("key", "ctrl+End" if box_name == "Text" else "End")
            settle(whole)
            grab = grabber(box)
            echoes = []
            for key in ("x", "BackSpace") * 10:
                before = grab()
                sent = time.monotonic()
                press(key)
                echoes.append((wait_for_change(grab, before) - sent) * 1000)
                settle(whole, 0.3)
            for _ in range(9):
                press("x")
                time.sleep(0.030)
            before = whole()
            press("x")
            sent = time.monotonic()
            final_look = (settle(whole, start=before) - sent) * 1000
            one = evaluation_ms(status)
            for _ in range(10):
                press("BackSpace")
            settle(whole)
            rows.append((box_name, text_name, expression, statistics.median(echoes), max(echoes), final_look, one))
            print(f"{box_name:10} {text_name:8} {expression:7} echo median {rows[-1][3]:6.1f} ms, max {rows[-1][4]:6.1f} ms; "
                  f"10 keys: final look {final_look:7.0f} ms after the last key, one evaluation {one:7.1f} ms", flush=True)
    xdotool("key", "Escape")
finally:
    if process.poll() is None:
        process.kill()

print("\n| keys into | Text | Expression | key → echo, median | max | 10 keys → final look after the last key | one evaluation | targets |")
print("|---|---|---|---|---|---|---|---|")
for box_name, text_name, expression, median, worst, final_look, one in rows:
    met = median <= 16 and worst <= 50 and final_look <= one + 100
    print(f"| {box_name} | {text_name} | `{expression}` | {median:.1f} ms | {worst:.1f} ms | {final_look:.0f} ms | "
          f"{one:.1f} ms | {'met' if met else 'not met'} |")
