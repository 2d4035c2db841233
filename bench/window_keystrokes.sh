#!/usr/bin/env bash
# The window's keystroke cost on a private virtual display.
# Usage: window_keystrokes.sh path/to/tarnwick [cycles]
set -u -o pipefail
here=$(dirname "$0")
source "$here/../tests/app/virtual_display.sh"
/usr/bin/python3 "$here/window_keystrokes.py" "$@" 2> >(grep -v ':regular expression error$' >&2) |
    grep -v ':regular expression error$'
