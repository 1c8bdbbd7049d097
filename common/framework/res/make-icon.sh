#!/usr/bin/env bash
# Draws one program icon: a rounded tile in the program's colour with a white globe arc and the program's
# letter, at 16, 24, 32 and 48 pixels, written as one .ico file.
# Usage: make-icon.sh OUT.ico COLOUR LETTER     e.g. make-icon.sh zorvane.ico '#1f6fb2' Z
set -euo pipefail
out=$1; colour=$2; letter=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 256x256 xc:none \
  -fill "$colour" -draw 'roundrectangle 8,8 247,247 48,48' \
  -fill none -stroke 'rgba(255,255,255,0.55)' -strokewidth 10 -draw 'arc 36,36 220,220 200,340' \
  -stroke none -fill white -font DejaVu-Sans-Bold -pointsize 170 -gravity center -annotate +0+14 "$letter" \
  "$work/master.png"
for size in 16 24 32 48; do
  convert "$work/master.png" -resize ${size}x${size} "$work/$size.png"
done
convert "$work/16.png" "$work/24.png" "$work/32.png" "$work/48.png" "$out"
