#!/usr/bin/env bash
# tarnwick.exe exports the four cipher functions, an import library lies beside
# it, and it needs no DLL but the system's own.
# Usage: exports_test.sh tarnwick.exe import-library
set -u
exports=$(x86_64-w64-mingw32-objdump -p "$1" | c++filt)
failures=0
for f in aesEncrypt aesDecrypt aesEncrypt_ECC aesDecrypt_ECC; do
    grep -q "openssl::$f(std::__cxx11::basic_string<char" <<< "$exports" || { echo "FAIL no export openssl::$f"; failures=$((failures + 1)); }
done
for dll in $(sed -n 's/^\s*DLL Name: //p' <<< "$exports"); do
    case "${dll,,}" in
        kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll | bcrypt.dll | advapi32.dll | comctl32.dll) ;;
        *) echo "FAIL needs $dll"; failures=$((failures + 1)) ;;
    esac
done
[ -s "$2" ] || { echo "FAIL no import library $2"; failures=$((failures + 1)); }
echo "$failures failed"
[ "$failures" = 0 ]
