#!/usr/bin/env bash
# Draws every icon from the one source, app/resources/io.github.tarnwick.Tarnwick.svg:
# the hicolor theme's sizes, the window's 32 x 32 resource (24-bit colour) and the
# Windows icon. Needs librsvg2-bin, imagemagick and icoutils; run it by hand when
# the design changes and commit the result.
set -euo pipefail
cd "$(dirname "$0")/../app/resources"
source=io.github.tarnwick.Tarnwick.svg
for size in 16 24 32 48 64 128 256; do
    mkdir -p "icons/hicolor/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$source" -o "icons/hicolor/${size}x${size}/apps/io.github.tarnwick.Tarnwick.png"
done
mkdir -p icons/hicolor/scalable/apps
cp "$source" icons/hicolor/scalable/apps/io.github.tarnwick.Tarnwick.svg
# The window's own icon and the Windows icon resource: 32 x 32 on the light
# background of the dialog, without transparency, one 24-bit entry.
rsvg-convert -w 32 -h 32 -b '#f4f1ea' "$source" |
    convert - -alpha off -depth 8 -type TrueColor -define png:color-type=2 tarnwick-32.png
icotool -c -b 24 -o tarnwick.ico tarnwick-32.png
