#!/usr/bin/env bash
# End-to-end checks of tarnwick-check: output bytes and exit status.
# Usage: tarnwick_check_test.sh path/to/tarnwick-check [path/to/tarnwick-cipher]
set -u
check=$1
failures=0
scratch=$(mktemp)
trap 'rm -f "$scratch"' EXIT

# expect NAME WANT_STATUS WANT_STDOUT_HEX COMMAND...  (stdin comes from the caller)
expect() {
    local name=$1 want_status=$2 want_out=$3
    shift 3
    local out status
    "$@" > "$scratch" 2>/dev/null
    status=$?
    out=$(od -An -tx1 < "$scratch" | tr -d ' \n')
    if [ "$status" != "$want_status" ] || [ "$out" != "$want_out" ]; then
        echo "FAIL $name: status $status (want $want_status), stdout $out (want $want_out)"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}
hex() { printf '%b' "$1" | od -An -tx1 | tr -d ' \n'; }

expect hereString 0 "$(hex 'group[0] [03-1234]\r\ngroup[1] [03]\r\ngroup[2] [1234]\r\n')" \
    "$check" '(\d+)-(\d+)' <<< '03-1234'
expect noMatch 1 "" "$check" '(\d+)-(\d+)' <<< 'tel 03-1234'
expect invalid 2 "$(hex '5:regular expression error\n')" "$check" '(' <<< 'abc'
expect stopped 2 "$(hex '11:regular expression error\n')" "$check" '(a+)+b' <<< 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa'
expect bothEmpty 1 "" "$check" '' < /dev/null
expect linesJoined 0 "$(hex 'group[0] [abcdef]\r\ngroup[1] [abc]\r\n')" "$check" '(.*)def' < <(printf 'abc\ndef')
expect crlfJoinedToo 0 "$(hex 'group[0] [abcdef]\r\n')" "$check" 'abcdef' < <(printf 'abc\r\ndef\r\n')
expect rawKeepsLineFeed 0 "$(hex 'group[0] [a\nb]\r\n')" "$check" --raw 'a\n^b' < <(printf 'a\nb')
expect utf8 0 "$(hex 'group[0] [\xe6\x9d\xb1\xe4\xba\xac]\r\ngroup[1] [\xe4\xba\xac]\r\n')" \
    "$check" '東(.)' < <(printf '東京')
expect utf8NotInCp932 0 "$(hex 'group[0] [?]\r\n')" "$check" '\?' < <(printf '\xc3\xa9')
expect cp932 0 "$(hex 'group[0] [\x93\x8c\x8b\x9e]\r\ngroup[1] [\x8b\x9e]\r\n')" \
    "$check" --cp932 "$(printf '\x93\x8c(.)')" < <(printf '\x93\x8c\x8b\x9e')
printf 'x' > "${TMPDIR:-/tmp}/tarnwick-check-input.$$"
expect fromFile 0 "$(hex 'group[0] [x]\r\n')" "$check" 'x' "${TMPDIR:-/tmp}/tarnwick-check-input.$$"
rm -f "${TMPDIR:-/tmp}/tarnwick-check-input.$$"
expect version 0 "$(hex "ver${TARNWICK_VERSION:?the project version}\\n")" "$check" --version
[ -n "${TARNWICK_WINDOW:-}" ] && expect windowVersion 0 "$(hex "tarnwick ver${TARNWICK_VERSION}\\n")" "$TARNWICK_WINDOW" --version
expect unreadableFile 3 "" "$check" 'x' /nonexistent/file
expect noExpression 3 "" "$check"
expect unknownOption 3 "" "$check" --bogus x

# stderr_is NAME WANT_STATUS WANT_STDERR COMMAND...: standard output is the caller's
stderr_is() {
    local name=$1 want_status=$2 want_err=$3
    shift 3
    local err status
    # The time a match took varies from run to run; its steps do not.
    err=$("$@" 2>&1 >&3)
    status=$?
    err=$(printf '%s' "$err" | sed -E 's/[0-9][0-9.,]* ms/N ms/g')
    if [ "$status" != "$want_status" ] || [ "$err" != "$want_err" ]; then
        echo "FAIL $name: status $status (want $want_status), stderr '$err' (want '$want_err')"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}
exec 3>/dev/null
stderr_is directoryIsUnreadable 3 "tarnwick-check: cannot read /: Is a directory" "$check" 'a*' /
# A redirection of the function call would not reach the program itself.
closed_stdin() { "$@" <&-; }
stderr_is closedStdinIsUnreadable 3 "tarnwick-check: cannot read standard input: Bad file descriptor" \
    closed_stdin "$check" 'a*'
stderr_is zeroByteIsNamed 0 "tarnwick-check: the text holds a zero byte at offset 2; it ends there" \
    "$check" ab < <(printf 'ab\0cd')
stderr_is unknownOptionIsNamed 3 "tarnwick-check: The following argument was not expected: -x (see --help)" "$check" -x
stderr_is explainInvalid 2 "tarnwick-check: Invalid expression (7) at character 1: Unicode properties such as \\p{Han} are not part of this grammar; try a class such as [一-龥] or [[:alpha:]]" \
    "$check" --explain '\p{Han}+' <<< '漢字'
stderr_is explainMatch 0 "tarnwick-check: Match: 2 capture groups · N ms · 110 steps" "$check" --explain '(\d+)-(\d+)' <<< '03-1234'
stderr_is explainNoMatch 1 "tarnwick-check: No match: the expression matches «東京» at characters 4–5, but must describe the whole text · N ms · 98 steps" \
    "$check" --explain '東京' < <(printf 'ab\n東京都')
stderr_is explainStopped 2 "tarnwick-check: Stopped at the work limit (11) after 64,007,252 steps, N ms" \
    "$check" --explain '(a+)+b' <<< aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaac
printf '(\\d+)-(\\d+)\n' > "${TMPDIR:-/tmp}/tarnwick-expression.$$"
printf '03-1234' > "${TMPDIR:-/tmp}/tarnwick-text.$$"
expect expressionFile 0 "$(hex 'group[0] [03-1234]\r\ngroup[1] [03]\r\ngroup[2] [1234]\r\n')" \
    "$check" -e "${TMPDIR:-/tmp}/tarnwick-expression.$$" "${TMPDIR:-/tmp}/tarnwick-text.$$"
expect expressionFileAndStdin 0 "$(hex 'group[0] [03-1234]\r\ngroup[1] [03]\r\ngroup[2] [1234]\r\n')" \
    "$check" --expression-file "${TMPDIR:-/tmp}/tarnwick-expression.$$" < "${TMPDIR:-/tmp}/tarnwick-text.$$"
stderr_is expressionFileMissing 3 "tarnwick-check: cannot read /nonexistent: No such file or directory" \
    "$check" -e /nonexistent < /dev/null
rm -f "${TMPDIR:-/tmp}/tarnwick-expression.$$" "${TMPDIR:-/tmp}/tarnwick-text.$$"
exec 3>/dev/full
stderr_is fullDiskIsNoticed 3 "tarnwick-check: cannot write standard output: No space left on device" \
    "$check" '(a+)(b+)' <<< aaabbb
stderr_is fullDiskForTheReportLine 3 "tarnwick-check: cannot write standard output: No space left on device" \
    "$check" '(' <<< a
closed_stdout() { "$@" >&-; }
stderr_is closedStdoutIsNoticed 3 "tarnwick-check: cannot write standard output: Bad file descriptor" \
    closed_stdout "$check" a <<< a
exec 3>/dev/null
if [ -n "${2:-}" ]; then
    cipher=$2
    stderr_is cipherClosedStdin 3 "tarnwick-cipher: cannot read standard input: Bad file descriptor" \
        closed_stdin "$cipher" encrypt --key 0123456789abcdef
    exec 3>/dev/full
    stderr_is cipherFullDisk 3 "tarnwick-cipher: cannot write standard output: No space left on device" \
        "$cipher" encrypt --key 0123456789abcdef <<< text
fi
exec 3>&-

# --json, read back by Python's json module: spans count the characters of the
# text as given, a group across a line break spans it, an unset group is null.
json_is() {
    local name=$1 want=$2
    shift 2
    local got
    # "ms" varies from run to run: only its type is checked.
    got=$("$@" 2>/dev/null | /usr/bin/python3 -c 'import json, sys
d = json.load(sys.stdin)
if not isinstance(d.pop("ms", 0.0), float): d["ms"] = "not a number"
print(json.dumps(d, sort_keys=True, ensure_ascii=False))')
    if [ "$got" = "$want" ]; then echo "ok   $name"; else echo "FAIL $name: $got"; failures=$((failures + 1)); fi
}
json_is jsonSpans '{"explanation": "Match: 3 capture groups", "groups": [{"end": 5, "start": 0, "text": "東京xy"}, {"end": 3, "start": 0, "text": "東京"}, null, {"end": 5, "start": 4, "text": "y"}], "status": "matched", "steps": 126}' \
    "$check" --json '(.+)(z)?x(y)' < <(printf '東\n京xy')
json_is jsonCrLfInput '{"explanation": "Match: 1 capture group", "groups": [{"end": 6, "start": 0, "text": "abcd"}, {"end": 5, "start": 1, "text": "bc"}], "status": "matched", "steps": 67}' \
    "$check" --json 'a(bc)d' < <(printf 'ab\r\ncd')
json_is jsonInvalid '{"code": 5, "explanation": "Invalid expression (5) at character 3: unmatched parenthesis", "groups": [], "position": 2, "reason": "unmatched parenthesis", "status": "invalid"}' \
    "$check" --json '(a' <<< 'a'
json_is jsonNoMatch '{"explanation": "No match: the expression matches «bb» at characters 4–5, but must describe the whole text", "groups": [], "partial": {"end": 5, "start": 3, "text": "bb"}, "status": "noMatch", "steps": 98}' \
    "$check" --json 'b+' < <(printf 'a\r\nbbc')
json_is jsonRawLineFeed '{"explanation": "No match: the expression matches «b» at character 3, but must describe the whole text", "groups": [], "partial": {"end": 3, "start": 2, "text": "b"}, "status": "noMatch", "steps": 92}' \
    "$check" --json --raw 'b' < <(printf 'a\nbc')
json_is jsonCp932 '{"explanation": "Match, no capture groups", "groups": [{"end": 2, "hex": "938c8b9e", "start": 0}], "status": "matched", "steps": 48}' \
    "$check" --json --cp932 '..' < <(printf '\x93\x8c\x8b\x9e')

# --from-cpp reads the expression as a C++ literal; a refused one is bad usage.
expect fromCpp 0 "$(hex 'group[0] [03-1234]\r\ngroup[1] [03]\r\n')" "$check" --from-cpp 'L"(\\d+)" LR"(-\d+)"' <<< '03-1234'
expect fromCppJapanese 0 "$(hex 'group[0] [\xe6\x9d\xb1\xe4\xba\xac]\r\n')" "$check" --from-cpp 'L"\u6771\u4EAC"' < <(printf '東京')
exec 3>/dev/null
stderr_is fromCppRefused 3 'tarnwick-check: not a string literal: unterminated " at character 2' "$check" --from-cpp 'L"(\\d+' <<< 1
exec 3>&-

# Under a tight address-space limit the matching stack is smaller, never
# missing: a short text gives its Result, a long one stops at the stack limit
# (12). The sanitizers' shadow memory needs more address space than these.
if [ "${TARNWICK_SANITIZE:-OFF}" != ON ]; then
    long_text=$(mktemp)
    head -c 3000000 /dev/zero | tr '\0' a > "$long_text"
    huge_text=$(mktemp)
    head -c 40000000 /dev/zero | tr '\0' a > "$huge_text"  # its wide copy alone is 160 MB
    for limit in 1500000000 600000000; do
        expect "shortTextUnder$limit" 0 "$(hex 'group[0] [abc]\r\ngroup[1] [abc]\r\n')" \
            prlimit --as=$limit "$check" --raw '(.*)' < <(printf abc)
        expect "longTextUnder$limit" 2 "$(hex '12:regular expression error\n')" \
            prlimit --as=$limit "$check" --raw '(.)*' "$long_text"
    done
    exec 3>/dev/null
    stderr_is outOfMemoryIsSaid 2 "tarnwick-check: out of memory evaluating this text (std::bad_alloc)" \
        prlimit --as=150000000 "$check" --raw '(.)*' "$huge_text"
    exec 3>&-
    rm -f "$long_text" "$huge_text"
fi

# --cpp prints a program that compiles and, run, gives the same Result as
# tarnwick-check, for expressions that the plain engine reads as we do.
snippet_dir=$(mktemp -d)
cpp_agrees() {
    local name=$1 expression=$2 text=$3 want got status want_status
    want=$("$check" "$expression" <<< "$text" | tr -d '\r'; echo "status ${PIPESTATUS[0]}")
    "$check" --cpp "$expression" <<< "$text" > "$snippet_dir/$name.cpp"
    if ! "${TARNWICK_CXX:-c++}" -std=c++17 -Wall -Werror -o "$snippet_dir/$name" "$snippet_dir/$name.cpp" 2> "$snippet_dir/$name.log"; then
        echo "FAIL $name: the snippet does not compile: $(head -3 "$snippet_dir/$name.log")"
        failures=$((failures + 1))
        return
    fi
    got=$(LC_ALL=C.UTF-8 "$snippet_dir/$name"; echo "status $?")
    if [ "$got" = "$want" ]; then echo "ok   $name"; else echo "FAIL $name: '$got' (want '$want')"; failures=$((failures + 1)); fi
}
cpp_agrees cppGroups '(\d+)-(\d+)' '03-1234'
cpp_agrees cppUnsetGroup '(x)?y("|\\)' 'y\'
cpp_agrees cppAnchors '^a.c$' 'abc'
cpp_agrees cppNoMatch '\d+' 'abc'
cpp_agrees cppJapanese '東(.)(.*)' '東京都千代田区'
cpp_agrees cppEscapes '[?][?]=\t*"' '??="'
rm -rf "$snippet_dir"

"$check" --help | grep -q 'EXPRESSION' || { echo "FAIL help"; failures=$((failures + 1)); }
message=$("$check" x /nonexistent/file 2>&1 >/dev/null)
[ "$(printf '%s\n' "$message" | wc -l)" = 1 ] || { echo "FAIL one-line error: $message"; failures=$((failures + 1)); }

echo "$failures failed"
# --analyse reads no text: the growth for whole-text matching and for searching,
# exit status 4 where the whole-text match grows super-linearly. The measured
# steps are checked by the core's tests; here the shape of the answer.
analysis_is() {
    local name=$1 want_status=$2 want=$3
    shift 3
    local got status
    got=$("$@" < /dev/null 2>/dev/null | /usr/bin/python3 -c 'import json, sys
d = json.load(sys.stdin)
def shape(v):
    out = {"growth": v["growth"]}
    for key in ("degree", "attack", "at"):
        if key in v: out[key] = v[key]
    if "steps" in v: out["sizes"] = len(v["steps"])
    return out
print(json.dumps({k: shape(v) for k, v in d.items()}, sort_keys=True, ensure_ascii=False))')
    "$@" < /dev/null > /dev/null 2>&1
    status=$?
    if [ "$status" = "$want_status" ] && [ "$got" = "$want" ]; then echo "ok   $name"; else
        echo "FAIL $name: status $status (want $want_status), $got"; failures=$((failures + 1)); fi
}
analysis_is analyseExponential 4 '{"search": {"at": [0, 5], "attack": {"prefix": "あ", "pump": "あ", "suffix": ""}, "growth": "exponential", "sizes": 4}, "whole": {"at": [0, 5], "attack": {"prefix": "あ", "pump": "あ", "suffix": ""}, "growth": "exponential", "sizes": 4}}' \
    "$check" --analyse --json '(あ+)+い'
analysis_is analyseSearchOnly 0 '{"search": {"at": [0, 3], "attack": {"prefix": "", "pump": "0", "suffix": ""}, "degree": 2, "growth": "polynomial", "sizes": 4}, "whole": {"growth": "linear"}}' \
    "$check" --analyse --json '\d+-\d+'
analysis_is analyseLinear 0 '{"search": {"growth": "linear"}, "whole": {"growth": "linear"}}' "$check" --analyse --json 'x\d+y'
expect analyseInvalid 2 "" "$check" --analyse '(a'
expect analyseReadsNoText 3 "" "$check" --analyse 'a' /dev/null

[ "$failures" = 0 ]
