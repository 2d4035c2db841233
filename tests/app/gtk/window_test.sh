#!/usr/bin/env bash
# Runs the window test on a virtual display with its own session bus, where the
# accessibility bus that reads the widgets back is started on demand.
# Usage: window_test.sh path/to/tarnwick [test script, window_test.py when absent]
set -u -o pipefail
here=$(dirname "$0")
source "$here/../virtual_display.sh"

# GTK keeps caches for the life of the process; they are not leaks of ours.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
unset NO_AT_BRIDGE
# GTK's own input method, whatever the desktop has: its Ctrl+Shift+U preedit stands in for a Japanese one.
export GTK_IM_MODULE=gtk-im-context-simple
dbus-run-session -- /usr/bin/python3 "$here/${2:-window_test.py}" "$1" 2>&1 |
    grep -v -e 'dbus-daemon\[' -e ':regular expression error$'
