#!/usr/bin/env bash
# Takes the README's screenshot of the window on a virtual display.
# Needs xvfb, xdotool, imagemagick and fonts-noto-cjk. Usage: scripts/take-screenshot.sh [out.png]
# SCREEN=WxH sets the virtual screen; WHOLE_SCREEN=1 takes the whole screen
# rather than the window (GDK_SCALE=2 SCREEN=1280x800 WHOLE_SCREEN=1: a high-DPI laptop).
# EXPRESSION and TEXT (lines separated by a line feed) set what is typed.
set -euo pipefail
out=${1:-docs/window.png}
program=${TARNWICK:-build/app/gtk/tarnwick}
if [ -z "${INSIDE_XVFB:-}" ]; then
    INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 ${SCREEN:-800x600}x24 -noreset" "$0" "$out"
fi
"$program" >/dev/null &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
window=$(xdotool search --sync --onlyvisible --name '^Tarnwick$' | head -n 1)
xdotool windowfocus --sync "$window"
xdotool type --delay 120 "${EXPRESSION:-(\d+)-(\d+) (\S+)}"
xdotool key Tab
first=1
while IFS= read -r line; do
    [ -n "$first" ] || xdotool key ctrl+Return
    first=
    xdotool type --delay 120 "$line"
done <<< "${TEXT:-03-1234
 東京都千代田区}"
sleep 0.5
if [ -n "${WHOLE_SCREEN:-}" ]; then
    import -window root "$out"
else
    geometry=$(xdotool getwindowgeometry --shell "$window")
    eval "$geometry"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
fi
echo "wrote $out"
