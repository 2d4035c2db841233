#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when they are missing.
# Usage: scripts/install-deps.sh
set -euo pipefail

packages=(cmake make g++ pkg-config libgtest-dev libbenchmark-dev libcli11-dev libssl-dev openssl xxd
  libgtkmm-3.0-dev xvfb xauth xdotool xclip fonts-noto-cjk dbus at-spi2-core python3-pyatspi python3-xlib
  g++-mingw-w64-x86-64 wine64 wine locales nodejs nlohmann-json3-dev libpcre2-dev
  help2man desktop-file-utils appstream lintian libgtk-3-bin clang)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The dialog test runs Wine in Japanese, where the ANSI code page is 932.
locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' || missing_locale=1

[ ${#missing[@]} -eq 0 ] && [ -z "${missing_locale:-}" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing: ${missing[*]} ${missing_locale:+the ja_JP.UTF-8 locale} (run as root to install them)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get update -qq
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
if [ -n "${missing_locale:-}" ]; then
  sed -i 's/^# *\(ja_JP\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen
fi
