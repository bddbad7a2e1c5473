#!/usr/bin/env bash
# Draws the program icon (res/jumpnest.ico) with ImageMagick: a blue tile with
# a white nest and an amber ball leaping out of it. Drawn once at 256 px and
# scaled to the sizes Windows asks for, each sharpened a little so the nest
# still reads at 16 px.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 256x256 gradient:'#2f7fe0'-'#123f8c' "$work/fill.png"
convert -size 256x256 xc:none -fill white -draw 'roundrectangle 8,8 247,247 52,52' "$work/mask.png"
convert "$work/fill.png" "$work/mask.png" -alpha off -compose CopyOpacity -composite \
  -fill none -stroke white -strokewidth 26 -draw 'ellipse 128,128 80,76 15,165' \
  -stroke none -fill '#ffb21e' -draw 'circle 128,92 128,58' \
  -fill '#ffffff80' -draw 'circle 116,80 116,70' \
  "$work/master.png"

for size in 48 32 24 16; do
  convert "$work/master.png" -filter Lanczos -resize ${size}x${size} -unsharp 0x0.6 \
    "$work/icon-$size.png"
done
convert "$work"/icon-48.png "$work"/icon-32.png "$work"/icon-24.png "$work"/icon-16.png jumpnest.ico
convert "$work/master.png" -resize 128x128 ../docs/icon.png
echo "wrote res/jumpnest.ico and docs/icon.png"
