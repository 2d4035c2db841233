# Sourced by the window tests: starts a private Xvfb, exports DISPLAY, and
# stops the server and removes $work when the test ends.
work=$(mktemp -d)
xvfb=
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT

# Xvfb picks a free display itself and names it only once it accepts clients,
# which leaves no race with a server of an earlier run that is still ending;
# -noreset, because a reset when a client such as the accessibility bus drops
# its connection refuses new clients for a moment.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(tr -d '\n' < "$work/display")"
