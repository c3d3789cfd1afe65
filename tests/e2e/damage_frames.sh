#!/usr/bin/env bash
# Frames drawn and shown only where they changed must show, pixel for pixel, what whole frames
# show. The snapshot tool draws the same flight (fixed seed, fixed frame time) both ways with the
# saver's own frame code and reads the window after each chosen frame: thousands of frames, with
# the creature partly off screen, right after a resize, and with the frame-rate text on. Then the
# saver itself, repeatable through VELMORA_TEST_FRAMES, shows its last frame both ways, and the
# snapshot tool's picture of the same flight must be that picture too.
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

# The saver on a window of the screen's size at the screen's origin, in XScreenSaver's mode; the
# picture is the screen's top left part once the saver says its frames are drawn.
# Failures are counted from here on, and the processes' ends are waited for.
set +e
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash
saver_test damage-saver
trap 'rm -rf "$out" "$work"' EXIT
saver_picture() {  # seed frames whole|partial picture [saver flags]
  local seed=$1 frames=$2 mode=$3 picture=$4 pid
  # A file of this run alone: the last run's line must not pass for this one's.
  local err=$picture.stderr
  rm -f "$err"
  shift 4
  test_window 1024 768
  VELMORA_TEST_FRAMES="$seed:16:$frames:$mode" "$saver" --window-id "$window" --no-vsync "$@" \
    2>"$err" & pid=$!
  for _ in $(seq 1200); do
    grep -q '^velmora: test frames drawn' "$err" 2>/dev/null && break
    sleep 0.05
  done
  grep -q '^velmora: test frames drawn' "$err" || {
    kill "$pid" "$window_pid"
    fail "saver, $mode: frame $frames never came: $(cat "$err")"
    return 1
  }
  import -window root -crop 1024x768+0+0 +repage -depth 8 "$picture"
  grep '^velmora: test frames drawn' "$err" >"$picture.summary"
  kill "$pid"; wait "$pid" 2>/dev/null
  kill "$window_pid"; wait "$window_pid" 2>/dev/null
  return 0
}
for run in "3 400" "5 1200 --fps"; do
  read -r seed frames flags <<<"$run"
  before=$failures
  # shellcheck disable=SC2086
  saver_picture "$seed" "$frames" whole "$out/saver-whole.ppm" $flags || continue
  # shellcheck disable=SC2086
  saver_picture "$seed" "$frames" partial "$out/saver-partial.ppm" $flags || continue
  cmp -s "$out/saver-whole.ppm" "$out/saver-partial.ppm" ||
    fail "saver, seed $seed: frame $frames differs between whole and partial frames"
  grep -q ' whole frames$' "$out/saver-whole.ppm.summary" ||
    fail "saver, seed $seed: frames were not whole: $(cat "$out/saver-whole.ppm.summary")"
  read -r drawn whole < <(sed -n 's/.*damage: \([0-9]*\) frames, \([0-9]*\) whole.*/\1 \2/p' \
    "$out/saver-partial.ppm.summary")
  [ "${drawn:-0}" -eq "$frames" ] && [ $((whole * 10)) -lt "$frames" ] ||
    fail "saver, seed $seed: $(cat "$out/saver-partial.ppm.summary")"
  # shellcheck disable=SC2086
  "$snapshot" --seed "$seed" --frames "$frames" --present full $flags "$out/snap-$seed" >/dev/null
  convert "$out/snap-$seed/frame-$(printf %05d "$frames").png" -depth 8 "$out/snapshot.ppm"
  cmp -s "$out/saver-whole.ppm" "$out/snapshot.ppm" ||
    fail "seed $seed: the snapshot tool's frame $frames is not the saver's"
  [ "$(convert "$out/saver-whole.ppm" -unique-colors -format %w info:)" -gt 100 ] ||
    fail "saver, seed $seed: frame $frames shows no creature"
  [ "$failures" -eq "$before" ] &&
    echo "saver, seed $seed: frame $frames the same whole, partial and in the snapshot tool"
done
echo "-- a test seam it does not understand changes nothing"
test_window 320 240
VELMORA_TEST_FRAMES="3:16" "$saver" --window-id "$window" --no-vsync 2>"$work/stderr" & pid=$!
said() { grep -qF 'VELMORA_TEST_FRAMES="3:16" ignored' "$work/stderr"; }
for _ in $(seq 200); do said && break; sleep 0.05; done
said || fail "no word of the bad seam: $(cat "$work/stderr")"
# It goes on as the saver: its frames keep coming.
import -window root -depth 8 "$work/first.ppm"
sleep 0.5
import -window root -depth 8 "$work/later.ppm"
cmp -s "$work/first.ppm" "$work/later.ppm" && fail "the saver stopped drawing after a bad seam"
kill "$pid"; wait "$pid" 2>/dev/null
kill "$window_pid"; wait "$window_pid" 2>/dev/null
[ "$failures" -eq 0 ] || exit 1
echo "partial frames ok"
