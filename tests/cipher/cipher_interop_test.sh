#!/usr/bin/env bash
# tarnwick-cipher against `openssl enc -aes-128-ecb`, both ways; and the export tables.
# Usage: cipher_interop_test.sh path/to/tarnwick-cipher [other executables that export]...
set -u
cipher=$1
shift
key=0123456789abcdef
hexkey=$(printf '%s' "$key" | xxd -p)
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for n in 0 1 15 16 17 4000; do
    head -c "$n" /dev/urandom | tr '\0' 'z' > "$work/plain"
    "$cipher" encrypt --key "$key" < "$work/plain" | tr -d '\n' > "$work/ours.hex"
    xxd -r -p "$work/ours.hex" | openssl enc -d -aes-128-ecb -K "$hexkey" > "$work/theirs.plain" 2>/dev/null
    cmp -s "$work/plain" "$work/theirs.plain" || { echo "FAIL openssl decrypts ours, $n bytes"; failures=$((failures + 1)); }
    openssl enc -aes-128-ecb -K "$hexkey" < "$work/plain" | xxd -p | tr -d '\n' > "$work/theirs.hex"
    "$cipher" decrypt --key "$key" < "$work/theirs.hex" > "$work/ours.plain"
    cmp -s "$work/plain" "$work/ours.plain" || { echo "FAIL we decrypt openssl's, $n bytes"; failures=$((failures + 1)); }
done

for exe in "$cipher" "$@"; do
    exports=$(nm -D --defined-only "$exe" | c++filt)
    for f in aesEncrypt aesDecrypt aesEncrypt_ECC aesDecrypt_ECC; do
        grep -q "openssl::$f(std::__cxx11::basic_string<char" <<< "$exports" ||
            { echo "FAIL $exe does not export openssl::$f"; failures=$((failures + 1)); }
    done
done

echo "$failures failed"
[ "$failures" = 0 ]
