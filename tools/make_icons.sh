#!/usr/bin/env bash
# Draws the program's icons into resources/ with ImageMagick: the quality star,
# the search magnifier and the 256x256 application icon. The PNGs are committed;
# run this again only to change the drawings.
set -euo pipefail

out=$(cd "$(dirname "$0")/../resources" && pwd)
accent="rgb(0,138,184)"

# Corners of a five-pointed star, point up, around (cx, cy).
star_points() {
  awk -v cx="$1" -v cy="$2" -v outer="$3" -v inner="$4" 'BEGIN {
    pi = atan2(0, -1)
    for (i = 0; i < 10; i++) {
      r = (i % 2 == 0) ? outer : inner
      a = -pi / 2 + i * pi / 5
      printf "%.2f,%.2f ", cx + r * cos(a), cy + r * sin(a)
    }
  }'
}

convert -size 20x20 xc:none -fill "$accent" -stroke none \
  -draw "polygon $(star_points 10 10.6 9.8 3.9)" \
  -define png:color-type=6 "PNG32:$out/star_icon.png"

convert -size 24x24 xc:none \
  -stroke "rgb(110,110,110)" -strokewidth 4 -draw "line 14.5,14.5 21.5,21.5" \
  -fill "rgb(178,226,246)" -stroke "rgb(128,128,128)" -strokewidth 2 \
  -draw "circle 9.5,9.5 9.5,3" \
  -define png:color-type=6 "PNG32:$out/search_icon.png"

# A painted wall panel under an arch, with the accent star.
convert -size 256x256 xc:none \
  -fill "$accent" -draw "roundrectangle 8,8 247,247 44,44" \
  -fill "rgb(245,236,214)" -draw "path 'M 60,212 L 60,110 A 68,68 0 0,1 196,110 L 196,212 Z'" \
  -fill "rgb(150,104,60)" -draw "rectangle 48,212 208,224" \
  -fill "$accent" -draw "polygon $(star_points 128 138 58 23)" \
  -define png:color-type=6 "PNG32:$out/pellavio.png"

echo "Icons written to $out"
