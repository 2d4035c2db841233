"""Helpers that drive the real tarnwick window: keys and clicks through
xdotool, widgets read back through the accessibility tree (AT-SPI)."""

import re
import subprocess
import sys
import time

import pyatspi

failures = []

def wait_for(what, probe, timeout=10.0):
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise SystemExit(f"timed out waiting for {what}")
        time.sleep(0.05)


def check(what, expected, read, timeout=5.0):
    """Waits until read() gives expected; records a failure with the last value otherwise."""
    deadline = time.monotonic() + timeout
    while True:
        actual = read()
        if actual == expected:
            return
        if time.monotonic() > deadline:
            failures.append(f"{what}: expected {expected!r}, got {actual!r}")
            print("FAIL", failures[-1])
            return
        time.sleep(0.05)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "tarnwick":
            return app
    return None


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def named(app, role, name):
    for node in descendants(app):
        if node.getRoleName() == role and node.name == name:
            return node
    raise SystemExit(f"no {role} named {name!r}")


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def sentence_of(status):
    """The status line without what the match cost (" · 0.4 ms · 12 steps"), which varies from run to run,
    and without the growth warning that may follow it (" — ⚠ quadratic when searched: …"): warning_of."""
    return re.sub(r" · [0-9.,]+ ms · [0-9,]+ steps?( — ⚠ .*)?$", "", text_of(status))


def warning_of(status):
    """The growth warning of the status line up to its attack's numbers, or None."""
    found = re.search(r" — (⚠ [^:]*: «[^»]*»)", text_of(status))
    return found.group(1) if found else None


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def windows_of(pid):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                          capture_output=True, text=True).stdout.split()


def window_names(pid, exclude):
    return [subprocess.run(["xdotool", "getwindowname", i], capture_output=True, text=True).stdout.rstrip("\n")
            for i in windows_of(pid) if i != exclude]


def expect_exit_status_1(process, after):
    code = process.wait(timeout=10)
    if code != 1:
        failures.append(f"exit status after {after}: expected 1, got {code}")


def icon_size(window_id):
    from Xlib import X, display
    screen = display.Display()
    window = screen.create_resource_object("window", int(window_id))
    icon = window.get_full_property(screen.intern_atom("_NET_WM_ICON"), X.AnyPropertyType)
    return list(icon.value[:2]) if icon else None


def click(node):
    """A real pointer click in the middle of a widget."""
    x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", "--sync", str(x + w // 2), str(y + h // 2), "click", "1")


def focused(node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def alerts(app):
    return [n for n in app if n is not None and n.getRoleName() in ("alert", "dialog")]


def paste(node, content):
    """Puts `content` into a box as a user's paste does (Ctrl+A, Ctrl+V): xdotool
    types characters outside the keymap unreliably, and a paste keeps line breaks."""
    node.queryComponent().grabFocus()
    wait_for("the focus for the paste", lambda: focused(node))
    subprocess.run(["xclip", "-selection", "clipboard"], input=content.encode(), check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)  # its server outlives the call
    xdotool("key", "ctrl+a", "ctrl+v")
    # The box asks for the clipboard's content later; a paste that follows must not replace it first.
    # (A long text is compared by its length: reading a mebibyte back takes long.)
    landed = (lambda: node.queryText().characterCount == len(content)) if len(content) > 10000 else \
        (lambda: text_of(node) == content)
    wait_for("the pasted text", lambda: landed() or None, timeout=30)


def focus_window(process):
    """The application, once its window is up and has the focus, and the window's boxes:
    Expression, Text, Result and Status."""
    app = wait_for("the tarnwick application", application)
    boxes = {name: named(app, "text", name) for name in ("Expression", "Text", "Result")}
    boxes["Status"] = named(app, "label", "Status")
    xdotool("windowfocus", "--sync", wait_for("the X window", lambda: windows_of(process.pid))[0])
    return app, boxes


def right_click(node):
    """A real pointer right click in the middle of a widget: its context menu."""
    x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", "--sync", str(x + w // 2), str(y + h // 2), "click", "3")


def menu_item(app, name):
    """The item of an open menu, once it is on screen."""
    def showing():
        return next((n for n in descendants(app) if n.getRoleName() == "menu item" and n.name == name
                     and n.getState().contains(pyatspi.STATE_SHOWING)), None)
    return wait_for(f"the menu item {name!r}", showing)


def choose(app, box, name):
    """Chooses an item of a box's context menu with the pointer."""
    right_click(box)
    click(menu_item(app, name))


def clipboard():
    return subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, text=True).stdout


def set_clipboard(content):
    subprocess.run(["xclip", "-selection", "clipboard"], input=content.encode(), check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)  # its server outlives the call


def screen_pixels(x, y, width, height):
    """The screen's pixels in a rectangle, as (red, green, blue) rows."""
    from Xlib import X, display
    screen = display.Display()
    image = screen.screen().root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
    data = image.data
    return [[(data[(r * width + c) * 4 + 2], data[(r * width + c) * 4 + 1], data[(r * width + c) * 4])
             for c in range(width)] for r in range(height)]


def finish(name):
    """Ends the test: the failed checks on standard error and status 1, or that it passed."""
    if failures:
        print(f"{len(failures)} check(s) failed:", *failures, sep="\n  ", file=sys.stderr)
        sys.exit(1)
    print(f"{name} passed")
