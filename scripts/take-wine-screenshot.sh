#!/usr/bin/env bash
# Takes the README's screenshot of tarnwick.exe under Wine in Japanese, on a virtual display.
# Needs `make windows` first, and xvfb, xdotool, imagemagick. Usage: scripts/take-wine-screenshot.sh [out.png]
set -euo pipefail
out=${1:-docs/dialog-wine.png}
build=${BUILD_WIN:-build-windows}
if [ -z "${INSIDE_XVFB:-}" ]; then
    INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$out"
fi
export WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
probe() { wine "$build/tests/app/win32/dialog_probe.exe" "$@"; }
wine "$build/app/win32/tarnwick.exe" &
trap 'wineserver -k 2>/dev/null || true' EXIT
probe wait
xdotool windowfocus --sync "$(xdotool search --sync --name '^Tarnwick$' | head -n 1)"
xdotool type --delay 50 '(\d+)-(\d+) (\S+)'
probe paste 1028 "$(printf '03-1234\r\n 東京都千代田区' | iconv -f UTF-8 -t CP932 | xxd -p | tr -d '\n')"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$(xdotool search --name '^Tarnwick$' | head -n 1)")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "wrote $out"
