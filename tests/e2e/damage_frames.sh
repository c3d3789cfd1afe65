#!/usr/bin/env bash
# Frames drawn and shown only where they changed must show, pixel for pixel, what whole frames
# show. The snapshot tool draws the same flight (fixed seed, fixed frame time) both ways and reads
# the window after each chosen frame: thousands of frames, with the creature partly off screen,
# right after a resize, and with the frame-rate text on.
# Args: build folder, source folder. Runs on the Xvfb of tests/with-xvfb.
set -euo pipefail
build=$1
snapshot=$build/tools/snapshot
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
colours() { convert "$1" -crop "$2" +repage -unique-colors -format %w info:; }

# Both ways with the same arguments; every picture must be the same file.
compare() {
  local name=$1
  shift
  "$snapshot" "$@" --present full "$out/$name-full" >/dev/null
  "$snapshot" "$@" --present damage "$out/$name-damage" >"$out/$name.summary"
  local count=0
  for picture in "$out/$name-full"/*.png; do
    cmp -s "$picture" "$out/$name-damage/$(basename "$picture")" ||
      fail "$name: $(basename "$picture") differs between whole and partial frames"
    count=$((count + 1))
  done
  [ "$count" -gt 0 ] || fail "$name: no pictures"
  # Most frames must really have been partial, or nothing was tested.
  read -r frames whole < <(sed -n 's/^damage: \([0-9]*\) frames, \([0-9]*\) whole.*/\1 \2/p' \
    "$out/$name.summary")
  [ -n "${frames:-}" ] && [ $((whole * 10)) -lt "$frames" ] ||
    fail "$name: $(cat "$out/$name.summary")"
  echo "$name: $count pictures equal; $(grep '^damage:' "$out/$name.summary")"
}

# 3000 frames; at 400 and 2500 the creature crosses the left and the top edge; the window shrinks
# before frame 2801.
at=$(seq -s, 100 100 3000),400,1900,2500,2700,2801,2802,2850
compare flight --seed 3 --frames 3000 --at "$at" --resize 2801:800x600
# The pictures really show those cases.
[ "$(colours "$out/flight-full/frame-00400.png" 1x768+0+0)" -gt 1 ] ||
  fail "the creature does not reach the left edge at frame 400"
[ "$(colours "$out/flight-full/frame-02500.png" 1024x1+0+0)" -gt 1 ] ||
  fail "the creature does not reach the top edge at frame 2500"
[ "$(identify -format %wx%h "$out/flight-full/frame-02801.png")" = 800x600 ] ||
  fail "frame 2801 was not drawn after the resize"
# Out of view, frames draw and copy nothing; the pictures after such stretches are compared too.
unchanged=$(sed -n 's/.* \([0-9]*\) with nothing to redraw.*/\1/p' "$out/flight.summary")
[ "${unchanged:-0}" -gt 0 ] || fail "no frame of the flight left the view: $(cat "$out/flight.summary")"

# The frame-rate text changes every frame in its corner.
compare overlay --seed 5 --frames 1200 --fps --at "$(seq -s, 50 50 1200)"
[ "$(convert "$out/overlay-full/frame-01200.png" -crop 102x20+0+0 +repage -colorspace Gray \
  -format "%[fx:maxima]" info:)" = "1" ] || fail "no frame-rate text"
echo "partial frames ok"
