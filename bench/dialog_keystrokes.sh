#!/usr/bin/env bash
# Typing into the real Windows dialog under Wine on a private virtual display:
# for each Text size and expression, the paste's time, the longest wait for
# the dialog's answer while ten keys are typed 30 ms apart, and the final look
# (from the last key until the status line shows its outcome).
# Usage: dialog_keystrokes.sh tarnwick.exe dialog_probe.exe
set -u -o pipefail
exe=$1
probe_exe=$2
source "$(dirname "$0")/../tests/app/virtual_display.sh"
export WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
probe() { wine "$probe_exe" "$@"; }
now() { date +%s%N; }

wine "$exe" &
pid=$!
probe wait || { echo "the dialog did not appear"; exit 1; }
printf '%-8s %-8s %10s %16s %16s\n' Text Expression "paste ms" "longest wait ms" "final look ms"
for size in 10240 102400 1000000 runaway; do
    for expression in '(.*)' '(.*)j' '(a+)+b'; do
        if [ "$size" = runaway ]; then
            [ "$expression" = '(a+)+b' ] || continue
            printf 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaac' > "$work/text"
        else
            [ "$expression" = '(a+)+b' ] && continue
            python3 -c "import sys; line = 'aaaaaaaaa ' * 7 + 'aaaaaaaa\r\n'; sys.stdout.write((line * ($size // len(line) + 1))[:$size])" > "$work/text"
        fi
        probe select-all 1024
        probe paste 1024 "$(printf '%s' "$expression" | xxd -p)"
        probe select-all 1028
        probe paste 1028 78  # a short text first, so that the paste's outcome is a new one
        sleep 1
        before=$(probe readw 1030)
        probe select-all 1028
        start=$(now)
        probe paste-file 1028 "Z:$work/text"
        while :; do
            seen=$(probe readw 1030)
            [ "$seen" != "$before" ] && [ "${seen#Evaluating}" = "$seen" ] && break
            sleep 0.01
        done
        paste_ms=$((($(now) - start) / 1000000))
        read -r longest look < <(probe type-timed 1028 "$(printf 'bcdefghijk' | xxd -p)" 30 | tr -d '\r')
        label=$size
        [ "$size" = runaway ] && label="30 a + c"
        printf '%-8s %-8s %10s %16s %16s\n' "$label" "$expression" "$paste_ms" "$longest" "$look"
    done
done
probe close
wait "$pid"
wineserver -k 2>/dev/null
