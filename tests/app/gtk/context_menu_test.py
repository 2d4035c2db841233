"""The boxes' context menus through the real window: right clicks with xdotool,
items chosen with pointer clicks, the clipboard read and written with xclip."""

import subprocess
import sys
import time

from window_driver import check, choose, clipboard, finish, focus_window, paste, set_clipboard, text_of, xdotool

PROGRAM = sys.argv[1]


process = subprocess.Popen([PROGRAM])
try:
    app, boxes = focus_window(process)
    expression, text, result, status = (boxes[name] for name in ("Expression", "Text", "Result", "Status"))

    paste(text, "03-1234")
    paste(expression, '(\\d+)"東')
    check("Expression typed", '(\\d+)"東', lambda: text_of(expression))

    # Copy as C++: backslashes and quotes escaped, Japanese as universal character names.
    choose(app, expression, "Copy as C++")
    check("Copy as C++", 'L"(\\\\d+)\\"\\u6771"', clipboard)

    # Paste C++ literal: adjacent literals, a raw one, decoded into Expression as one undo step.
    set_clipboard('L"(\\\\d+)-" LR"((\\d+))"')
    choose(app, expression, "Paste C++ literal")
    check("Paste C++ literal", "(\\d+)-(\\d+)", lambda: text_of(expression))
    check("the pasted expression is evaluated", "group[0] [03-1234]\ngroup[1] [03]\ngroup[2] [1234]\n",
          lambda: text_of(result))
    expression.queryComponent().grabFocus()
    xdotool("key", "ctrl+z")
    check("one Ctrl+Z undoes the paste", '(\\d+)"東', lambda: text_of(expression))
    xdotool("key", "ctrl+shift+z")
    check("Ctrl+Shift+Z redoes it", "(\\d+)-(\\d+)", lambda: text_of(expression))

    # A refused text leaves Expression as it is, and the status line says why.
    set_clipboard('L"(\\\\d+')
    choose(app, expression, "Paste C++ literal")
    check("a refused literal is named", 'not a string literal: unterminated " at character 2', lambda: text_of(status))
    check("a refused literal leaves Expression", "(\\d+)-(\\d+)", lambda: text_of(expression))
    # The expression's growth warning (quadratic when searched) may come after
    # the refusal; the window's message stays until the boxes change.
    time.sleep(1.5)
    check("... and its reason stays", 'not a string literal: unterminated " at character 2', lambda: text_of(status))
finally:
    if process.poll() is None:
        process.kill()

finish("context menu test")
