"""The real window with a mebibyte of Text, typed into as a user does: keys
are drawn while the evaluation runs and the final Result is the final text's;
the Result's long line shows its marker and copies whole; Ctrl+Z belongs to an
input method's conversion first; the guards keep their meaning."""

import subprocess
import sys
import time

import pyatspi

from window_driver import (check, choose, clipboard, finish, focus_window, focused, paste, sentence_of, set_clipboard,
                           text_of, wait_for, xdotool)

PROGRAM = sys.argv[1]
LINE = "東京都千代田区丸の内1-2-3 tel 03-1234-5678 " * 4 + "\n"
TEXT = LINE * (1024 * 1024 // len(LINE.encode()))


def result_of(text):
    joined = text.replace("\n", "")
    return f"group[0] [{joined}]\ngroup[1] [{joined}]\n"


process = subprocess.Popen([PROGRAM], stdout=subprocess.PIPE, text=True)
try:
    app, boxes = focus_window(process)
    expression, text, result, status = (boxes[name] for name in ("Expression", "Text", "Result", "Status"))

    paste(expression, "(.*)")
    paste(text, TEXT)
    check("the mebibyte Text matches", "Match: 1 capture group", lambda: sentence_of(status), timeout=30)

    # The caret ends the paste, and the view follows it there once the lines are laid out.
    def last_visible_character():
        x, y, width, height = text.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return text.queryText().getOffsetAtPoint(x + 5, y + height - 5, pyatspi.DESKTOP_COORDS)
    check("Text shows the end of the paste", True, lambda: last_visible_character() > len(TEXT) - 1000, timeout=10)

    # Keys typed while evaluations run: every one is in Text, and the final
    # Result is the final text's.
    xdotool("key", "ctrl+End")
    xdotool("type", "--delay", "30", "abcdefghij")
    check("every key typed during the evaluations is in Text", TEXT + "abcdefghij",
          lambda: text_of(text), timeout=10)
    check("the final Result is the final text's", True,
          lambda: text_of(result).startswith("group[0] [" + TEXT[:100].replace("\n", "")), timeout=10)

    # The long line is cut in the box with a marker; the box still holds the whole Result.
    joined = len((TEXT + "abcdefghij").replace("\n", ""))
    marker = f"… {joined + 1 - (10000 - len('group[0] [')):,} more characters"
    check("the long line's marker", True, lambda: marker in text_of(result), timeout=10)
    whole = result_of(TEXT + "abcdefghij")
    result.queryComponent().grabFocus()
    wait_for("the focus in Result", lambda: focused(result))
    xdotool("key", "ctrl+a", "ctrl+c")
    check("Ctrl+A, Ctrl+C in Result copies the whole Result", True, lambda: clipboard() == whole)
    set_clipboard("")
    choose(app, result, "Copy Result")
    check("Copy Result copies the whole Result", True, lambda: clipboard() == whole)

    # The guards: a runaway match stops with 11, an invalid expression reports once.
    paste(text, "a" * 30 + "c")
    paste(expression, "(a+)+b")
    check("a runaway match stops at the work limit", True,
          lambda: text_of(status).startswith("Stopped at the work limit (11) after "), timeout=10)
    paste(expression, "(")
    check("an invalid expression is named", "Invalid expression (5) at character 2: unmatched parenthesis",
          lambda: sentence_of(status))

    # The input method first: Ctrl+Z in a conversion (GTK's own Ctrl+Shift+U)
    # cancels the conversion only; the box's text and its history stay.
    paste(expression, "x")
    text.queryComponent().grabFocus()
    wait_for("the focus in Text", lambda: focused(text))
    xdotool("key", "ctrl+a", "BackSpace")
    xdotool("type", "ab cd")
    check("typed before the conversion", "ab cd", lambda: text_of(text))
    xdotool("key", "ctrl+shift+u")
    xdotool("type", "3044")
    xdotool("key", "ctrl+z")
    time.sleep(0.3)
    check("Ctrl+Z in a conversion leaves the text", "ab cd", lambda: text_of(text))
    check("Ctrl+Z in a conversion leaves the window open", None, process.poll)
    xdotool("key", "ctrl+z")
    check("the history is as it was: Ctrl+Z undoes the last word", "ab", lambda: text_of(text))
    xdotool("key", "Escape")
    output = process.communicate(timeout=10)[0]
    check("the invalid expression's report line, once", 1,
          lambda: output.splitlines().count("5:regular expression error"))
finally:
    if process.poll() is None:
        process.kill()

finish("long text test")
