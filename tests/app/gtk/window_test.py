"""Drives the real tarnwick window: keys through xdotool, widgets read back
through the accessibility tree (AT-SPI). Run under xvfb-run and dbus-run-session."""

import os
import subprocess
import sys
import time

import pyatspi

from window_driver import (sentence_of, alerts, application, check, click, descendants, expect_exit_status_1, finish, focused,
                           icon_size, named, text_of, wait_for, window_names, windows_of, xdotool)

PROGRAM = sys.argv[1]
NO_MATCH = "No match: the expression must describe the whole text"


process = subprocess.Popen([PROGRAM])
try:
    app = wait_for("the tarnwick application", application)
    frame = wait_for("the main window", lambda: next((n for n in app if n.name == "Tarnwick"), None))
    expression = named(app, "text", "Expression")
    text = named(app, "text", "Text")
    result = named(app, "text", "Result")
    status = named(app, "label", "Status")
    version = named(app, "menu item", "Version")

    window = wait_for("the X window", lambda: windows_of(process.pid))[0]
    xdotool("windowfocus", "--sync", window)

    check("window icon, width and height", [32, 32], lambda: icon_size(window))
    check("focus at start on Expression", True, lambda: expression.getState().contains(pyatspi.STATE_FOCUSED))
    for box, node in (("Expression", expression), ("Text", text), ("Result", result)):
        check(f"{box} empty at start", "", lambda node=node: text_of(node))

    xdotool("type", "a")
    check("Expression after typing", "a", lambda: text_of(expression))
    check("Result with empty Text", "", lambda: text_of(result))
    check("status with empty Text", NO_MATCH, lambda: sentence_of(status))

    xdotool("key", "Return")
    check("Enter in Expression does nothing", "a", lambda: text_of(expression))

    xdotool("key", "Tab")
    check("Tab moves to Text", True, lambda: text.getState().contains(pyatspi.STATE_FOCUSED))
    xdotool("type", "a")
    check("Result for a on a", "group[0] [a]\n", lambda: text_of(result))
    check("status for a on a", "Match, no capture groups", lambda: sentence_of(status))
    xdotool("type", "b")
    check("Result for a on ab", "", lambda: text_of(result))
    check("status for a on ab", "No match: the expression matches «a» at character 1, but must describe the whole text",
          lambda: sentence_of(status))

    xdotool("key", "Return")
    check("Enter in Text does nothing", "ab", lambda: text_of(text))
    xdotool("key", "ctrl+Return")
    xdotool("type", "c")
    check("Ctrl+Enter starts a line in Text", "ab\nc", lambda: text_of(text))

    # As in a dialog: Tab leaves the Text box, Ctrl+Tab types a tab into it.
    xdotool("key", "ctrl+Tab")
    check("Ctrl+Tab types a tab in Text", "ab\nc\t", lambda: text_of(text))
    xdotool("key", "Tab")
    check("Tab moves from Text to Result", True, lambda: focused(result))
    check("Tab typed nothing into Text", "ab\nc\t", lambda: text_of(text))
    xdotool("key", "shift+Tab")
    check("Shift+Tab moves back to Text", True, lambda: focused(text))
    xdotool("key", "shift+Tab")
    check("Shift+Tab moves back to Expression", True, lambda: focused(expression))
    text.queryComponent().grabFocus()
    check("focus back in Text", True, lambda: focused(text))

    # Undo and redo, a word at a time, each step evaluated.
    xdotool("key", "ctrl+a", "BackSpace")
    xdotool("type", "a aa")
    check("typed for undo", "a aa", lambda: text_of(text))
    xdotool("key", "ctrl+z")
    check("Ctrl+Z undoes the last word", "a", lambda: text_of(text))
    check("Result after undo", "group[0] [a]\n", lambda: text_of(result))
    xdotool("key", "ctrl+shift+z")
    check("Ctrl+Shift+Z redoes it", "a aa", lambda: text_of(text))
    xdotool("key", "ctrl+z")
    xdotool("key", "ctrl+y")
    check("Ctrl+Y redoes it", "a aa", lambda: text_of(text))
    check("Result after redo", "", lambda: text_of(result))
    expression.queryComponent().grabFocus()
    check("focus in Expression for undo", True, lambda: focused(expression))
    xdotool("key", "End")
    xdotool("type", "b")
    check("typed into Expression", "ab", lambda: text_of(expression))
    xdotool("key", "ctrl+z")
    check("Ctrl+Z in Expression", "a", lambda: text_of(expression))
    text.queryComponent().grabFocus()
    check("focus back in Text for the paste", True, lambda: focused(text))

    # Japanese in both boxes, and a break across the Text's lines.
    expression.queryComponent().grabFocus()
    xdotool("key", "ctrl+a")
    xdotool("type", "(\\d+)-(\\S+)")
    # Keys reach the window over X, focus moves over the bus: let the keys land first.
    check("Expression typed", "(\\d+)-(\\S+)", lambda: text_of(expression))
    text.queryComponent().grabFocus()
    xdotool("key", "ctrl+a", "BackSpace")
    # Pasted, since xdotool types characters outside the keymap unreliably; a paste keeps its line breaks.
    subprocess.run(["xclip", "-selection", "clipboard"], input="03-東\n京".encode(), check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)  # its server outlives the call
    xdotool("key", "ctrl+v")
    check("pasted Text keeps its line break", "03-東\n京", lambda: text_of(text))
    check("Result for Japanese", "group[0] [03-東京]\ngroup[1] [03]\ngroup[2] [東京]\n", lambda: text_of(result))
    check("status for Japanese", "Match: 2 capture groups", lambda: sentence_of(status))

    result.queryComponent().grabFocus()
    xdotool("key", "ctrl+End", "Return")
    xdotool("type", "note")
    check("typing into Result", "group[0] [03-東京]\ngroup[1] [03]\ngroup[2] [東京]\n\nnote", lambda: text_of(result))
    check("typing into Result leaves Expression", "(\\d+)-(\\S+)", lambda: text_of(expression))
    check("typing into Result leaves the status", "Match: 2 capture groups", lambda: sentence_of(status))

    expression.queryComponent().grabFocus()
    xdotool("key", "ctrl+a")
    xdotool("type", "(")
    check("Result for an invalid expression", "", lambda: text_of(result))
    check("status for an invalid expression", "Invalid expression (5) at character 2: unmatched parenthesis", lambda: sentence_of(status))

    # Both boxes emptied: the last Result stays.
    xdotool("key", "ctrl+a")
    xdotool("type", "x*")
    check("Expression typed", "x*", lambda: text_of(expression))
    text.queryComponent().grabFocus()
    xdotool("key", "ctrl+a", "BackSpace")
    check("Result for x* on nothing", "group[0] []\n", lambda: text_of(result))
    expression.queryComponent().grabFocus()
    xdotool("key", "ctrl+a", "BackSpace")
    check("Result after emptying both boxes", "group[0] []\n", lambda: text_of(result))

    # The Version box belongs to no window: the main window stays usable and a second one opens.
    click(version)  # one press and release
    first = wait_for("the Version box", lambda: alerts(app))[0]
    labels = [text_of(n) for n in descendants(first) if n.getRoleName() == "label"]
    check("Version box first line", True, lambda: any(l.startswith("ver1.2 (Jul 26 2020)\n") for l in labels))
    check("Version box title", True, lambda: "" in window_names(process.pid, exclude=window))
    xdotool("windowfocus", "--sync", window)
    expression.queryComponent().grabFocus()
    xdotool("type", "y")
    check("main window usable beside the Version box", "", lambda: text_of(result))
    check("status beside the Version box", NO_MATCH, lambda: sentence_of(status))
    click(version)
    check("a second Version box", 2, lambda: len(alerts(app)))

    # Escape cancels an input method's conversion first (GTK's own: Ctrl+Shift+U
    # starts a Unicode preedit); only an Escape that nothing consumed ends the program.
    xdotool("windowfocus", "--sync", window)
    for name, box in (("Expression", expression), ("Text", text)):
        box.queryComponent().grabFocus()
        check(f"focus in {name} for the input method", True, lambda box=box: focused(box))
        before = text_of(box)
        xdotool("key", "ctrl+shift+u")
        xdotool("type", "3042")
        xdotool("key", "Escape")
        time.sleep(0.3)
        check(f"Escape in a preedit in {name} keeps the window", None, process.poll)
        check(f"the cancelled preedit left {name} as it was", before, lambda box=box: text_of(box))
    xdotool("key", "Escape")
    expect_exit_status_1(process, "Escape")
finally:
    if process.poll() is None:
        process.kill()


def close_as_the_window_manager_does(window_id):
    from Xlib import X, display
    from Xlib.protocol import event
    screen = display.Display()
    window = screen.create_resource_object("window", int(window_id))
    protocols = screen.intern_atom("WM_PROTOCOLS")
    message = event.ClientMessage(window=window, client_type=protocols,
                                  data=(32, [screen.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
    window.send_event(message, event_mask=X.NoEventMask)
    screen.flush()


# The close button: the window manager asks the window to close.
process = subprocess.Popen([PROGRAM])
try:
    close_as_the_window_manager_does(wait_for("the second window", lambda: windows_of(process.pid))[0])
    expect_exit_status_1(process, "the close button")
finally:
    if process.poll() is None:
        process.kill()

def geometry(window_id):
    out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window_id], capture_output=True, text=True).stdout
    return {k: int(v) for k, v in (line.split("=") for line in out.split()) if k in ("X", "Y", "WIDTH", "HEIGHT")}


def screen_size():
    out = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True).stdout.split()
    return int(out[0]), int(out[1])


# A high-DPI scale on a small screen: the template's size is only the default,
# so the whole window, status line included, fits on the screen.
process = subprocess.Popen([PROGRAM], env={**os.environ, "GDK_SCALE": "2"})
try:
    window = wait_for("the scaled window", lambda: windows_of(process.pid))[0]
    width, height = screen_size()
    check("the scaled window fits the screen", True,
          lambda: (lambda g: g["WIDTH"] <= width and g["HEIGHT"] <= height)(geometry(window)))
    app = wait_for("the scaled application", application)
    status = named(app, "label", "Status")
    check("the scaled status line lies on the screen", True,
          lambda: (lambda e: e[1] + e[3] <= height and e[3] > 0)(status.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)))
    xdotool("windowfocus", "--sync", window)
    xdotool("key", "Escape")
    expect_exit_status_1(process, "Escape in the scaled window")
finally:
    if process.poll() is None:
        process.kill()

finish("window test")
