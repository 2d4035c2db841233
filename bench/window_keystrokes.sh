#!/usr/bin/env bash
# Typing into the real window on a private virtual display with its own
# session bus (the boxes are found through the accessibility tree).
# Usage: window_keystrokes.sh path/to/tarnwick
set -u -o pipefail
here=$(dirname "$0")
source "$here/../tests/app/virtual_display.sh"
unset NO_AT_BRIDGE
dbus-run-session -- /usr/bin/python3 "$here/window_keystrokes.py" "$@" 2>&1 | grep -v -e 'dbus-daemon\[' -e 'SpiRegistry'
