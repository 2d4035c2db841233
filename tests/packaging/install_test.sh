#!/usr/bin/env bash
# Installs the build as a user and a package manager would, and uses what was
# installed: the file list, the desktop entry and AppStream data, the cipher
# through its CMake package and its pkg-config file, the Debian package.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -u -o pipefail
: "${TARNWICK_VERSION:?the project version}"
build=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
ok() { echo "ok   $*"; }

# 1. make install into a DESTDIR, under a prefix of the user's.
prefix=/opt/tarnwick-test
DESTDIR="$work/dest" cmake --install "$build" --prefix "$prefix" > /dev/null || fail "cmake --install"
root="$work/dest$prefix"
(cd "$root" && find . -type f | sed 's|^\./||' | sed 's|Targets-[a-z]*\.cmake$|Targets-BUILDTYPE.cmake|' | sort) > "$work/files"
cat > "$work/expected" <<'LIST'
bin/tarnwick
bin/tarnwick-check
bin/tarnwick-cipher
include/tarnwick/md5.h
include/tarnwick/openssl.h
lib/cmake/Tarnwick/TarnwickConfig.cmake
lib/cmake/Tarnwick/TarnwickConfigVersion.cmake
lib/cmake/Tarnwick/TarnwickTargets-BUILDTYPE.cmake
lib/cmake/Tarnwick/TarnwickTargets.cmake
lib/libtarnwick_cipher.a
lib/pkgconfig/tarnwick-cipher.pc
share/applications/io.github.tarnwick.Tarnwick.desktop
share/doc/tarnwick/LICENSE
share/doc/tarnwick/README.md
share/doc/tarnwick/changelog.gz
share/doc/tarnwick/copyright
share/icons/hicolor/128x128/apps/io.github.tarnwick.Tarnwick.png
share/icons/hicolor/16x16/apps/io.github.tarnwick.Tarnwick.png
share/icons/hicolor/24x24/apps/io.github.tarnwick.Tarnwick.png
share/icons/hicolor/256x256/apps/io.github.tarnwick.Tarnwick.png
share/icons/hicolor/32x32/apps/io.github.tarnwick.Tarnwick.png
share/icons/hicolor/48x48/apps/io.github.tarnwick.Tarnwick.png
share/icons/hicolor/64x64/apps/io.github.tarnwick.Tarnwick.png
share/icons/hicolor/scalable/apps/io.github.tarnwick.Tarnwick.svg
share/man/man1/tarnwick-check.1.gz
share/man/man1/tarnwick-cipher.1.gz
share/man/man1/tarnwick.1.gz
share/metainfo/io.github.tarnwick.Tarnwick.metainfo.xml
LIST
if diff -u "$work/expected" "$work/files"; then ok "installed file list"; else fail "installed file list"; fi
"$root/bin/tarnwick-check" --version | grep -qx "ver$TARNWICK_VERSION" && ok "installed tarnwick-check runs" || fail "installed tarnwick-check"
for page in tarnwick tarnwick-check tarnwick-cipher; do
    zcat "$root/share/man/man1/$page.1.gz" | grep -q 'Exit status' && ok "man page $page names the exit statuses" ||
        fail "man page $page without exit statuses"
done

# 2. The desktop entry and the AppStream data as installed.
desktop-file-validate "$root/share/applications/io.github.tarnwick.Tarnwick.desktop" && ok "desktop-file-validate" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$root/share/metainfo/io.github.tarnwick.Tarnwick.metainfo.xml" > "$work/as" 2>&1 &&
    ok "appstreamcli validate" || { cat "$work/as"; fail "appstreamcli validate"; }

# 3. Someone else's program against the installed cipher: the CMake package and pkg-config.
key=0123456789abcdef
want=$(printf 'Tarnwick' | openssl enc -aes-128-ecb -K "$(printf %s "$key" | xxd -p)" | xxd -p | tr -d '\n')
cmake -S "$source_dir/tests/packaging/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$root" > "$work/log" 2>&1 &&
    cmake --build "$work/consumer" >> "$work/log" 2>&1 || { cat "$work/log"; fail "build against the CMake package"; }
[ "$("$work/consumer/consumer" "$key" Tarnwick 2>&1 >/dev/null)" = "$want" ] && ok "Tarnwick::cipher encrypts as openssl enc" ||
    fail "Tarnwick::cipher"
flags=$(PKG_CONFIG_PATH="$root/lib/pkgconfig" pkg-config --cflags --libs tarnwick-cipher) || fail "pkg-config"
g++ -std=c++20 -o "$work/pc-consumer" "$source_dir/tests/packaging/consumer/main.cpp" $flags 2> "$work/log" ||
    { cat "$work/log"; fail "build with pkg-config"; }
[ "$("$work/pc-consumer" "$key" Tarnwick 2>&1 >/dev/null)" = "$want" ] && ok "the pkg-config build encrypts as openssl enc" ||
    fail "the pkg-config build"

# 4. The Debian package: lintian, then installed for real (as root, where it is not installed yet).
(cd "$build" && cpack -G DEB > "$work/cpack" 2>&1) || { cat "$work/cpack"; fail "cpack"; }
deb="$build/tarnwick_${TARNWICK_VERSION}_amd64.deb"
lintian --tag-display-limit 0 "$deb" > "$work/lintian" 2>&1
grep -v 'root privileges' "$work/lintian"
grep -q '^E:' "$work/lintian" && fail "lintian errors" || ok "lintian: no errors"
if [ "$(id -u)" = 0 ] && ! dpkg-query -W tarnwick > /dev/null 2>&1; then
    if apt-get install -y -q "$deb" > "$work/apt" 2>&1; then
        ok "the package installs"
        [ "$(tarnwick-check --version)" = "ver$TARNWICK_VERSION" ] && ok "tarnwick-check from the PATH" || fail "tarnwick-check from the PATH"
        source "$source_dir/tests/app/virtual_display.sh"
        gtk-launch io.github.tarnwick.Tarnwick > /dev/null 2>&1
        window=
        for _ in $(seq 100); do
            window=$(xdotool search --onlyvisible --name '^Tarnwick$' 2>/dev/null | head -n 1)
            [ -n "$window" ] && break
            sleep 0.1
        done
        if [ -n "$window" ]; then
            ok "the window starts through its desktop entry"
            # The theme's icon comes in several sizes; the built-in one is 32 x 32 alone.
            sizes=$(/usr/bin/python3 -c "
from Xlib import X, display
d = display.Display(); w = d.create_resource_object('window', $window)
v = list(w.get_full_property(d.intern_atom('_NET_WM_ICON'), X.AnyPropertyType).value); n = 0
while v: n += 1; v = v[2 + v[0] * v[1]:]
print(n)")
            [ "${sizes:-0}" -gt 1 ] && ok "the window carries the themed icon ($sizes sizes)" || fail "themed icon: $sizes size(s)"
            xdotool key --window "$window" Escape 2>/dev/null
            pkill -x tarnwick 2>/dev/null
        else
            fail "no window through gtk-launch"
        fi
        apt-get remove -y -q tarnwick > /dev/null 2>&1 || fail "removing the package"
    else
        cat "$work/apt"
        fail "the package does not install"
    fi
else
    echo "skip installing the package: not root, or tarnwick is installed already"
fi

echo "$failures failed"
[ "$failures" = 0 ]
