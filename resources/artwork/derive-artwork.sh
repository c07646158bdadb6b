#!/usr/bin/env bash
# Derives the committed pictures from the icon's source, ProgramIcon.xpm. Run it after
# editing the icon and commit its outputs; the build itself needs no image tools.
#   AboutPicture.jpg         the About window's picture: the icon on light grey, a
#                            baseline JPEG with three 8-bit components
#   ProgramIcon-{32,48,64}.png  the desktop icon at its own size and scaled up
set -euo pipefail
cd "$(dirname "$0")"

convert ProgramIcon.xpm -background '#C0C0C0' -flatten -strip -type TrueColor \
  -interlace none -sampling-factor 1x1 -quality 95 AboutPicture.jpg

convert ProgramIcon.xpm -strip PNG32:ProgramIcon-32.png
# Whole-pixel doubling keeps the pixel art sharp; 48 px cannot, so it is resampled.
convert ProgramIcon.xpm -strip -filter point -resize 200% PNG32:ProgramIcon-64.png
convert ProgramIcon.xpm -strip -filter Mitchell -resize 150% PNG32:ProgramIcon-48.png

identify -verbose AboutPicture.jpg | grep -E 'Geometry|Interlace|Colorspace|Depth|sampling-factor' >&2
