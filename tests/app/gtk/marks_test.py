"""The marks of the real tarnwick window: each group's colour in Text and on
its Result line, a click on a Result line selecting the group, the character
where an expression fails, the part that matched where the whole did not.
Widgets are read back through AT-SPI, colours from the screen's pixels.
Usage (under window_test.sh): marks_test.py path/to/tarnwick"""

import os
import subprocess
import sys
import time
from collections import Counter

import pyatspi

from window_driver import (sentence_of, warning_of, choose, application, check, expect_exit_status_1, finish, named, paste, screen_pixels, text_of,
                           wait_for, windows_of, xdotool)

PROGRAM = sys.argv[1]

# Text "ab", a line break, "cde"; the groups nest and one crosses the break.
EXPRESSION = "(a(b)c)(d)e"
TEXT = "ab\ncde"
GROUPS = [(0, 6), (0, 4), (1, 2), (4, 5)]
# Which group's colour each character of Text shows: the innermost group over it.
INNERMOST = {0: 1, 1: 2, 3: 1, 4: 3, 5: 0}


def start(theme=None):
    env = dict(os.environ)
    if theme:
        env["GTK_THEME"] = theme
    process = subprocess.Popen([PROGRAM], env=env)
    app = wait_for("the tarnwick application", application)
    boxes = {name: named(app, "text", name) for name in ("Expression", "Text", "Result")}
    boxes["Status"] = named(app, "label", "Status")
    window = wait_for("the X window", lambda: windows_of(process.pid))[0]
    xdotool("windowfocus", "--sync", window)
    return process, boxes


def runs(node, name):
    """(start, end, value) of each run of one text attribute, where it is set."""
    text = node.queryText()
    found, offset = [], 0
    while offset < text.characterCount:
        attributes, run_start, run_end = text.getAttributeRun(offset, False)
        values = dict(a.split(":", 1) for a in attributes)
        if name in values:
            found.append((run_start, run_end, values[name]))
        offset = max(run_end, offset + 1)
    return found


def cell(node, offset):
    """The pixels of one character's cell on the screen."""
    x, y, width, height = node.queryText().getCharacterExtents(offset, pyatspi.DESKTOP_COORDS)
    return [p for row in screen_pixels(x, y, max(width, 1), max(height, 1)) for p in row]


def background(pixels):
    return Counter(pixels).most_common(1)[0][0]


def luminance(rgb):
    def channel(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (channel(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    light, dark = sorted((luminance(a), luminance(b)), reverse=True)
    return (light + 0.05) / (dark + 0.05)


def ink_contrast(pixels):
    """Contrast between a cell's background and its glyph's darkest or lightest ink."""
    ground = background(pixels)
    return max(contrast(ground, p) for p in pixels)


def type_into(node, keys_text):
    node.queryComponent().grabFocus()
    wait_for("the focus", lambda: node.getState().contains(pyatspi.STATE_FOCUSED))
    xdotool("key", "ctrl+a")
    xdotool("type", keys_text)


def group_colours(boxes):
    """The background each group shows in Text, by the innermost group over a character."""
    colours = {}
    for offset, group in INNERMOST.items():
        colours.setdefault(group, background(cell(boxes["Text"], offset)))
    return colours


def click_character(node, offset):
    x, y, width, height = node.queryText().getCharacterExtents(offset, pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", "--sync", str(x + width // 2), str(y + height // 2), "click", "1")


def selection(node):
    text = node.queryText()
    return tuple(text.getSelection(0)) if text.getNSelections() else None


def show_groups(boxes):
    type_into(boxes["Expression"], EXPRESSION)
    check("Expression typed", EXPRESSION, lambda: text_of(boxes["Expression"]))
    paste(boxes["Text"], TEXT)
    check("Text pasted", TEXT, lambda: text_of(boxes["Text"]))
    check("status with the groups", "Match: 3 capture groups", lambda: sentence_of(boxes["Status"]))


def readable(theme, boxes):
    """Every group's mark keeps the theme's text readable (WCAG AA, 4.5:1)."""
    time.sleep(0.3)  # drawn
    for offset, group in INNERMOST.items():
        ratio = ink_contrast(cell(boxes["Text"], offset))
        check(f"{theme}: text on group {group}'s colour is readable (contrast {ratio:.1f})", True, lambda: ratio >= 4.5)


process, boxes = start()
try:
    show_groups(boxes)
    expression, text, result, status = boxes["Expression"], boxes["Text"], boxes["Result"], boxes["Status"]

    # Runs of background colour in Text: one per innermost group, the line break inside group 1.
    check("Text's marked runs", [(0, 1), (1, 2), (2, 4), (4, 5), (5, 6)],
          lambda: [(s, e) for s, e, _ in runs(text, "bg-color")])
    time.sleep(0.3)  # drawn
    colours = group_colours(boxes)
    # The box's own background, right of the first line's text.
    box_x, _, box_width, _ = text.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    _, line_y, _, line_height = text.queryText().getCharacterExtents(0, pyatspi.DESKTOP_COORDS)
    unmarked = screen_pixels(box_x + box_width - 30, line_y + line_height // 2, 1, 1)[0][0]
    check("each group shows its own colour, none the box's own", 5, lambda: len(set(colours.values()) | {unmarked}))
    result_lines = text_of(result).split("\n")
    line_starts = [sum(len(line) + 1 for line in result_lines[:i]) for i in range(len(GROUPS))]
    for group, start_offset in enumerate(line_starts):
        # A character in the middle of "group[i]", away from the cursor.
        check(f"Result line {group} in group {group}'s colour", colours[group],
              lambda start_offset=start_offset: background(cell(result, start_offset + 3)))

    readable("light theme", boxes)

    # A click on a Result line selects that group's text in Text.
    for group in (2, 1, 3, 0):
        click_character(result, line_starts[group] + 3)
        check(f"a click on Result line {group} selects group {group}", GROUPS[group], lambda: selection(text))

    # ... and scrolls Text to it.
    type_into(expression, ".*(FIND).*")
    paste(text, "".join(f"line {n}\n" for n in range(100)) + "FIND\n" + "".join(f"line {n}\n" for n in range(100)))
    check("status for the long text", "Match: 1 capture group", lambda: sentence_of(status))
    text.queryComponent().grabFocus()
    xdotool("key", "ctrl+Home")
    find_at = text_of(text).index("FIND")

    def group_in_view():
        _, box_y, _, box_height = text.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        _, y, _, height = text.queryText().getCharacterExtents(find_at, pyatspi.DESKTOP_COORDS)
        return box_y <= y and y + height <= box_y + box_height

    check("the group starts out of view", False, group_in_view)
    # Group 0's long line fills the Result box: its end shows group 1's line.
    result.queryComponent().grabFocus()
    wait_for("the focus in Result", lambda: result.getState().contains(pyatspi.STATE_FOCUSED))
    xdotool("key", "ctrl+Home", "ctrl+End")  # the cursor may stand at the end already
    time.sleep(0.3)
    off = len(text_of(result).split("\n")[0]) + 1 + 3
    click_character(result, len(text_of(result).split("\n")[0]) + 1 + 3)
    check("a click on its Result line selects the group", (find_at, find_at + 4), lambda: selection(text))
    check("... and scrolls Text to it", True, group_in_view)

    # The character where an expression fails.
    type_into(expression, "a{2,1}")
    check("status of an invalid expression", "Invalid expression (7) at character 6: invalid repetition count",
          lambda: sentence_of(status))
    check("the failing character is marked", [(5, 6, "error")], lambda: runs(expression, "underline"))
    check("no group marks for an invalid expression", [], lambda: runs(text, "bg-color"))
    type_into(expression, "(")
    check("an expression failing at its end marks its last character", [(0, 1, "error")],
          lambda: runs(expression, "underline"))

    # A sentence longer than the status line's two lines: cut there with "…"
    # (Pango's ellipsis), and whole in the tooltip.
    type_into(expression, "\\p{Han}+")
    long_sentence = ("Invalid expression (7) at character 1: Unicode properties such as \\p{Han} are not part of "
                     "this grammar; try a class such as [一-龥] or [[:alpha:]]")
    check("a long status sentence", long_sentence, lambda: sentence_of(status))
    check("... is whole in the tooltip", long_sentence, lambda: status.description)

    # No match: the part that matched, underlined.
    type_into(expression, "b+")
    paste(text, "abbbc")
    check("status with the hint", "No match: the expression matches «bbb» at characters 2–4, but must describe the whole text",
          lambda: sentence_of(status))
    check("the matched part is underlined", [(1, 4, "double")], lambda: runs(text, "underline"))
    check("no group marks without a match", [], lambda: runs(text, "bg-color"))
    check("no fault marked in a valid expression", [], lambda: runs(expression, "underline"))

    # An expression whose cost explodes: the warning, its repetitions marked
    # with a wavy line, and its attack text tried from Expression's menu.
    type_into(expression, "(a+)+b")
    paste(text, "aab")
    # The warning of this Text's evaluation, not of one before the paste:
    # the menu offers the attack once its warning is out.
    check("the growth warning", ("Match: 1 capture group", "⚠ exponential: «a»"),
          lambda: (sentence_of(status), warning_of(status)))
    check("the exploding repetitions are marked", [(0, 5, "error")], lambda: runs(expression, "underline"))
    check("... in the theme's warning colour, not the fault's", [], lambda: runs(expression, "bg-color"))
    choose(application(), expression, "Try the attack text")
    check("the attack text is in Text", True, lambda: len(text_of(text)) > 10 and set(text_of(text)) == {"a"})
    check("the work limit stops its match", True, lambda: text_of(status).startswith("Stopped at the work limit (11)"),
          timeout=15.0)
    text.queryComponent().grabFocus()
    xdotool("key", "ctrl+z")
    check("one Ctrl+Z gives the user's text back", "aab", lambda: text_of(text))
    type_into(expression, "aab")
    check("a linear expression adds nothing", None, lambda: warning_of(status))
    check("... and marks nothing", [], lambda: runs(expression, "underline"))

    xdotool("key", "Escape")
    expect_exit_status_1(process, "Escape")
finally:
    if process.poll() is None:
        process.kill()

# The same marks on a dark theme keep its light text readable.
process, boxes = start("Adwaita:dark")
try:
    show_groups(boxes)
    readable("dark theme", boxes)
    xdotool("key", "Escape")
    expect_exit_status_1(process, "Escape")
finally:
    if process.poll() is None:
        process.kill()

finish("marks test")
