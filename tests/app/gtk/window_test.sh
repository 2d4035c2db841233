#!/usr/bin/env bash
# Runs the window test on a virtual display with its own session bus, where the
# accessibility bus that reads the widgets back is started on demand.
# Usage: window_test.sh path/to/tarnwick
set -u -o pipefail
here=$(dirname "$0")
work=$(mktemp -d)
xvfb=
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT

# Xvfb picks a free display itself and names it only once it accepts clients,
# which leaves no race with a server of an earlier run that is still ending;
# -noreset, because a reset when the accessibility bus drops its connection
# refuses clients for a moment.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(tr -d '\n' < "$work/display")"

# GTK keeps caches for the life of the process; they are not leaks of ours.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
unset NO_AT_BRIDGE
dbus-run-session -- /usr/bin/python3 "$here/window_test.py" "$1" 2>&1 |
    grep -v -e 'dbus-daemon\[' -e ':regular expression error$'
