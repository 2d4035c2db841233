#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when they are missing.
# Usage: scripts/install-deps.sh
set -euo pipefail

packages=(cmake make g++ pkg-config libgtest-dev libbenchmark-dev libcli11-dev libssl-dev openssl xxd
  libgtkmm-3.0-dev xvfb xauth xdotool xclip fonts-noto-cjk dbus at-spi2-core python3-pyatspi python3-xlib
  g++-mingw-w64-x86-64 wine64 wine locales)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y --no-install-recommends "${missing[@]}"
