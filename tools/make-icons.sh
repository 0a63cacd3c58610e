#!/usr/bin/env bash
# Draws the application icon (a page of text on a blue tile, matching the window's light-blue theme)
# and writes data/icons: PNGs at 48, 32, 24 and 16 pixels and pexa.ico for Windows, which holds each
# size twice, with 256 colours and with 32-bit colour. Needs ImageMagick and python3.
set -euo pipefail
cd "$(dirname "$0")/.."
out=data/icons
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Drawn once at 256 pixels and scaled down, so every size shares the same clean shapes.
convert \
  \( -size 256x256 gradient:'#5BBEF2-#1F78C1' \) \
  \( -size 256x256 xc:none -fill white -draw "roundrectangle 8,8,247,247,52,52" \) \
  -alpha on -compose DstIn -composite -compose Over \
  -fill '#FFFFFF' -draw "polygon 70,40 160,40 196,76 196,216 70,216" \
  -fill '#A9D8F5' -draw "polygon 160,40 160,76 196,76" \
  -stroke '#1F78C1' -strokewidth 16 \
  -draw "line 98,106 168,106" -draw "line 98,142 168,142" -draw "line 98,178 140,178" \
  "$work/pexa-256.png"

sizes=(48 32 24 16)
for size in "${sizes[@]}"; do
  convert "$work/pexa-256.png" -filter Lanczos -resize "${size}x${size}" -depth 8 \
    -define png:exclude-chunks=date,time "$out/pexa-$size.png"
  # Raw pixels for the icon file: straight RGBA, and a 256-colour form on the window's blue.
  convert "$out/pexa-$size.png" -depth 8 rgba:"$work/$size.rgba"
  convert "$out/pexa-$size.png" -background '#E5F6FE' -alpha remove -colors 256 -depth 8 \
    rgb:"$work/$size.rgb"
done
python3 tools/make_ico.py "$work" "$out/pexa.ico" "${sizes[@]}"
