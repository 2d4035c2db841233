#!/usr/bin/env bash
# Drives tarnwick.exe under Wine on a virtual display, in a Japanese locale so
# that the ANSI code page is 932: keys and clicks with xdotool, the boxes read
# back through the platform by dialog_probe.exe.
# Usage: dialog_test.sh tarnwick.exe dialog_probe.exe
set -u -o pipefail
exe=$1
probe_exe=$2
source "$(dirname "$0")/../virtual_display.sh"
export WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="  # no offer to install Mono or Gecko into a fresh prefix

failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}
probe() { wine "$probe_exe" "$@"; }
hex_of_box() { probe read "$1" | xxd -p | tr -d '\n'; }
hex_of() { printf '%b' "$1" | iconv -f UTF-8 -t CP932 | xxd -p | tr -d '\n'; }

# Waits until box ID holds TEXT (UTF-8, printf escapes); a failure names what it saw.
expect_box() {
    local what=$1 id=$2 text=$3 want seen
    want=$(hex_of "$text")
    for _ in $(seq 50); do
        seen=$(hex_of_box "$id")
        [ "$seen" = "$want" ] && return 0
        sleep 0.1
    done
    fail "$what: box $id holds $(printf '%s' "$seen" | xxd -r -p | iconv -f CP932 -t UTF-8 | od -c | head -n 3)"
}
click() { xdotool mousemove $(probe centre "$1") click 1; }
# Select a single line's text and delete it: one change, as a user's select-all and Delete.
clear_line() {
    click "$1"
    xdotool key End shift+Home Delete
}

[ "$(probe acp | tr -d '\r')" = 932 ] || fail "the ANSI code page is $(probe acp), not 932"

wine "$exe" &
pid=$!
probe wait || { echo "FAIL the dialog did not appear"; exit 1; }
window=$(xdotool search --sync --name '^Tarnwick$' | head -n 1)
xdotool windowfocus --sync "$window"

for id in 1024 1028 1029; do expect_box "empty at start" "$id" ""; done
xdotool type a
expect_box "Expression typed at start (it has the focus)" 1024 "a"
expect_box "a with an empty Text" 1029 ""
xdotool key Return
expect_box "Enter in Expression does nothing" 1024 "a"

click 1028
xdotool type a
expect_box "a with a" 1029 "group[0] [a]\r\n"
xdotool type b
expect_box "a with ab" 1029 ""
xdotool key Return
expect_box "Enter in Text does nothing" 1028 "ab"

click 1024
xdotool key End
xdotool type '*'
clear_line 1028
expect_box "a* with nothing" 1029 "group[0] []\r\n"
clear_line 1024
expect_box "both boxes emptied: the last Result stays" 1029 "group[0] []\r\n"

# Japanese, pasted with its line break: xdotool types only what the keymap holds.
xdotool type '(\d+)-(\S+)'
expect_box "Expression typed" 1024 '(\\d+)-(\\S+)'
probe paste 1028 "$(hex_of '03-東\r\n京')"
expect_box "Japanese text" 1029 "group[0] [03-東京]\r\ngroup[1] [03]\r\ngroup[2] [東京]\r\n"

xdotool mousemove $(probe menu-centre) click 1
for _ in $(seq 50); do [ "$(probe version-boxes | head -n 1 | tr -d '\r')" = 1 ] && break; sleep 0.1; done
probe version-boxes > "$work/box"
[ "$(head -n 1 "$work/box" | tr -d '\r')" = 1 ] || fail "one Version box: $(head -n 1 "$work/box")"
sed -n 2p "$work/box" | grep -q '^ver1\.2 (Jul 26 2020)'$'\r''$' || fail "Version box first line: $(sed -n 2p "$work/box")"
click 1024
xdotool type x
expect_box "the dialog is usable beside the Version box" 1029 ""
xdotool mousemove $(probe menu-centre) click 1
for _ in $(seq 50); do [ "$(probe version-boxes | head -n 1 | tr -d '\r')" = 2 ] && break; sleep 0.1; done
[ "$(probe version-boxes | head -n 1 | tr -d '\r')" = 2 ] || fail "a second Version box"
probe dismiss-version-boxes

# Longer than the reading buffers of old (1,024 and 10,240 bytes), each pasted whole.
long_a() { head -c "$1" /dev/zero | tr '\0' a; }
probe select-all 1028
probe paste 1028 "$(long_a 12000 | xxd -p | tr -d '\n')"
probe select-all 1024
probe paste 1024 "$( (printf '('; long_a 1100; printf ')a*') | xxd -p | tr -d '\n')"
# A line longer than 2,000 characters is shown cut, with a marker for the rest.
expect_box "a 1,105-byte expression on a 12,000-byte text" 1029 "group[0] [$(long_a 1990)… 10,011 more characters\r\ngroup[1] [$(long_a 1100)]\r\n"

# The edit control's default limit (30,000 characters) would cut these pastes
# and the Result would silently describe the cut text. The texts are lines of
# words, as pasted logs are, and end with END; the expression matches only a
# text without END, so the Result empties only when the whole text was read
# (Wine's edit control takes minutes to show a Result of a megabyte on one line).
probe select-all 1024
probe paste 1024 "$(printf '(?![\\s\\S]*END)[\\s\\S]*' | xxd -p | tr -d '\n')"
for bytes in 60000 1000000; do
    probe select-all 1028
    probe paste 1028 "$(printf 'x' | xxd -p)"
    expect_box "before the $bytes-byte paste" 1029 "group[0] [x]\r\n"
    python3 -c "import sys; line = 'aaaaaaaaa ' * 7 + 'aaaaaaaa\r\n'; sys.stdout.write((line * ($bytes // len(line) + 1))[:$bytes - 3] + 'END')" > "$work/paste"
    probe select-all 1028
    probe paste-file 1028 "Z:$work/paste"
    [ "$(probe length 1028 | tr -d '\r')" = "$bytes" ] || fail "a $bytes-byte paste: the Text box holds $(probe length 1028) bytes"
    expect_box "the Result of a $bytes-byte paste covers its end" 1029 ""
done

# The dialog never freezes: with a megabyte of text and (.*), every key is
# answered at once and the Result follows, its long lines cut with a marker;
# Ctrl+A Ctrl+C and "Copy Result" copy the exact whole Result. (Wine passes no
# message of a mebibyte or more between processes, so the probe pastes
# 1,000,000 bytes.)
python3 -c "import sys; line = 'aaaaaaaaa ' * 7 + 'aaaaaaaa\r\n'; sys.stdout.write((line * (1000000 // len(line) + 1))[:1000000])" > "$work/mib"
probe select-all 1024
probe paste 1024 "$(printf '(.*)' | xxd -p)"
probe select-all 1028
probe paste-file 1028 "Z:$work/mib"
# As a user would: the paste's Result first, then the keys.
for _ in $(seq 100); do probe readw 1030 | grep -q '^Match' && [ "$(probe responsive | tr -d '\r')" != hung ] && break; sleep 0.2; done
click 1028
xdotool key ctrl+End
typed=bcdefghijk
for ch in $(echo $typed | grep -o .); do
    xdotool type "$ch"
    answer=$(probe responsive | tr -d '\r')
    [ "$answer" = hung ] && fail "typing $ch into a megabyte: the dialog did not answer within 100 ms"
done
python3 - "$work" "$typed" <<'PY'
import sys
work, typed = sys.argv[1], sys.argv[2]
text = open(work + '/mib', newline='').read().replace('\r\n', '') + typed
lines = ['group[0] [' + text + ']', 'group[1] [' + text + ']']
open(work + '/whole', 'w', newline='').write(''.join(l + '\r\n' for l in lines))
shown = [l[:2000] + '… {:,} more characters'.format(len(l) - 2000) for l in lines]
open(work + '/shown', 'w', newline='').write(''.join(l + '\r\n' for l in shown))
PY
for _ in $(seq 100); do probe readw 1029 > "$work/result"; cmp -s "$work/result" "$work/shown" && break; sleep 0.2; done
cmp -s "$work/result" "$work/shown" || fail "the Result of a megabyte after ten keys: $(head -c 80 "$work/result")"
click 1029
xdotool key ctrl+a ctrl+c
sleep 0.3
probe clipboard > "$work/copied"
cmp -s "$work/copied" "$work/whole" || fail "Ctrl+A Ctrl+C in Result copied $(wc -c < "$work/copied") bytes, not the whole Result"
click 1024
xdotool key ctrl+a ctrl+c
xdotool mousemove $(probe centre 1029) click 3
sleep 0.5
xdotool key Up Return
sleep 0.3
probe clipboard > "$work/copied"
cmp -s "$work/copied" "$work/whole" || fail "Copy Result copied $(wc -c < "$work/copied") bytes, not the whole Result"

# A status sentence longer than the line's two lines ends in "…", and is whole in the tooltip.
probe select-all 1024
probe typew 1024 "$(printf '%s' '\p{Han}+' | xxd -p)"
for _ in $(seq 50); do probe readw 1030 > "$work/status"; grep -q '^Invalid' "$work/status" && break; sleep 0.1; done
probe tooltip 1030 > "$work/tip"
grep -q '…$' "$work/status" || fail "a long status is not cut with …: $(cat "$work/status")"
grep -q '^Invalid expression (7) at character 1: Unicode properties such as \\p{Han} are not part of this grammar; try a class such as \[一-龥\] or \[\[:alpha:\]\]' "$work/tip" ||
    fail "the status line's tooltip: $(cat "$work/tip")"

# Tab leaves the Text box, as the dialog manager does. Ctrl+Tab types a tab
# into a multi-line edit on Windows; Wine's dialog manager keeps it from the
# control and moves the focus instead: pinned here as Wine does it.
clear_line 1028
probe select-all 1028
probe paste 1028 "$(printf 'x' | xxd -p)"
click 1028
xdotool key End Tab
for _ in $(seq 50); do [ "$(probe focus | tr -d '\r')" != 1028 ] && break; sleep 0.1; done
[ "$(probe focus | tr -d '\r')" != 1028 ] || fail "Tab did not leave the Text box"
expect_box "Tab typed nothing into Text" 1028 "x"
click 1028
xdotool key End ctrl+Tab
for _ in $(seq 50); do [ "$(probe focus | tr -d '\r')" != 1028 ] && break; sleep 0.1; done
echo "Ctrl+Tab in Text under Wine: focus on $(probe focus | tr -d '\r'), Text holds $(probe read 1028 | od -An -c | tr -s ' ')"
expect_box "Ctrl+Tab under Wine types nothing into Text" 1028 "x"

click 1024
xdotool key Escape
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
    fail "Escape did not end the program"
    kill "$pid"
else
    wait "$pid"
    status=$?
    [ "$status" = 1 ] || fail "exit status after Escape: $status, not 1"
fi

# Whatever the system's code page: Japanese typed through Unicode messages and
# Result read in UTF-16 give the same groups under a Japanese system (932) and
# a Western one (1252). The status line says why the Result is what it is.
utf8_hex() { printf '%b' "$1" | xxd -p | tr -d '\n'; }
# Waits until box ID, read in UTF-16, holds TEXT (UTF-8, printf escapes), the cost of a match left out.
expect_wide() {
    local what=$1 id=$2 want seen
    want=$(printf '%b' "$3")
    for _ in $(seq 50); do
        seen=$(probe readw "$id" | sed -E 's/ · [0-9.,]+ ms · [0-9,]+ steps?( — ⚠ .*)?$//')
        [ "$seen" = "$want" ] && return 0
        sleep 0.1
    done
    fail "$what: box $id holds '$seen'"
}
set_box() {
    probe select-all "$1"
    probe typew "$1" "$(utf8_hex "$2")"
}
for lang in ja_JP.UTF-8:932 en_US.UTF-8:1252; do
    export LANG=${lang%%:*} LC_ALL=${lang%%:*}
    [ "$(probe acp | tr -d '\r')" = "${lang##*:}" ] || fail "the ANSI code page under $LANG is $(probe acp), not ${lang##*:}"
    wine "$exe" &
    pid=$!
    probe wait || { fail "the dialog did not appear under $LANG"; continue; }
    set_box 1024 '東京(.*)'
    set_box 1028 '東京都千代田区'
    expect_wide "Japanese under $LANG" 1029 'group[0] [東京都千代田区]\r\ngroup[1] [都千代田区]\r\n'
    expect_wide "the status of a match under $LANG" 1030 'Match: 1 capture group'
    set_box 1024 '(.)(.*)'
    set_box 1028 '©😀'
    # Each character that code page 932 lacks becomes one "?", as in the Linux window.
    expect_wide "characters outside code page 932 under $LANG" 1029 'group[0] [??]\r\ngroup[1] [?]\r\ngroup[2] [?]\r\n'
    set_box 1024 '東('
    expect_wide "the status of an invalid expression under $LANG" 1030 'Invalid expression (5) at character 3: unmatched parenthesis'
    expect_wide "the Result of an invalid expression under $LANG" 1029 ''
    # An expression whose cost explodes: the growth warning follows the sentence, whole in the tooltip.
    set_box 1024 '(a+)+b'
    set_box 1028 'aab'
    for _ in $(seq 100); do probe tooltip 1030 > "$work/tip"; grep -q '⚠' "$work/tip" && break; sleep 0.1; done
    grep -q '^Match: 1 capture group · .* — ⚠ exponential: «a» then [0-9,]* × «a» takes about [0-9,]* M steps$' "$work/tip" ||
        fail "the growth warning under $LANG: $(cat "$work/tip")"
    set_box 1024 '千代田'
    set_box 1028 '東京都千代田区'
    expect_wide "the no-match hint under $LANG" 1030 'No match: the expression matches «千代田» at characters 4–6, but must describe the whole text'
    probe close
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    wait "$pid"
    status=$?
    [ "$status" = 1 ] || fail "exit status under $LANG after the close box: $status, not 1"
done

wineserver -k 2>/dev/null
echo "$failures failed"
[ "$failures" = 0 ]
