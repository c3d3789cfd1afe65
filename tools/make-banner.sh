#!/usr/bin/env bash
# Draws resources/banner.bmp: the name in light letters on a black ground, 256 x 128, 8 bits per
# pixel with a palette of 256 greys (the banner's grey level is its opacity over the scene).
# Needs ImageMagick and the URW fonts (fonts-urw-base35), both installed by scripts/bootstrap.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-resources/banner.bmp}
convert -size 256x128 xc:black \
  -font C059-Italic -pointsize 60 -fill white -gravity center -annotate +0-10 'Velmora' \
  -stroke white -strokewidth 2 -draw 'line 40,96 216,96' \
  -font C059-Roman -pointsize 15 -stroke none -annotate +0+44 'S C R E E N   S A V E R' \
  -colorspace Gray -depth 8 gray:- |
python3 -c '
import struct, sys
w, h = 256, 128
grey = sys.stdin.buffer.read()
assert len(grey) == w * h
palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
rows = b"".join(grey[(h - 1 - y) * w:(h - y) * w] for y in range(h))  # bottom-up
offset = 14 + 40 + len(palette)
header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(rows), 2835, 2835, 256, 256)
sys.stdout.buffer.write(header + info + palette + rows)
' >"$out"
echo "wrote $out"
