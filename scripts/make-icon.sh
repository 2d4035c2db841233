#!/usr/bin/env bash
# Draws the window icon (32 x 32, 24-bit colour) with ImageMagick and icoutils; run it by
# hand when the design changes and commit the result.
set -euo pipefail
out=${1:-app/resources/tarnwick-32.png}
convert -size 32x32 xc:'#f4f1ea' \
  -fill '#1f5f8b' -draw 'roundrectangle 1,1 30,30 6,6' \
  -fill white -font DejaVu-Sans-Mono-Bold -pointsize 17 -gravity center -annotate +0-1 '.*' \
  -fill '#f2b134' -draw 'rectangle 6,24 25,26' \
  -alpha off -depth 8 -type TrueColor -define png:color-type=2 "$out"
# The Windows icon resource: the same image, one 32 x 32 entry of 24-bit colour.
icotool -c -b 24 -o "${out%-32.png}.ico" "$out"
