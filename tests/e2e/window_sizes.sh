# The picture follows the size of the window it is drawn on, whenever the size changes: during
# start-up, in every mode that is given a window, and full screen when the screen itself grows or
# shrinks, also from under the pointer.
# "Followed" means the banner sits in the lower right corner of the new size: a picture left at
# the old size shows only the clear colour there.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb.
set -u
build=$1
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash
saver_test sizes

stop() { kill "$1" 2>/dev/null; wait "$1" 2>/dev/null; }
# Test windows sit at the root's origin: no window manager runs.
# banner_at 0 WIDTH HEIGHT (saver-log.bash): whether the banner shows, within 5 s, in the lower
# right of a picture of that size drawn at the root's origin (the clear colour alone there is
# plain). A picture stuck at another size never shows it there; a slow build (the sanitizers')
# only takes longer.

echo "-- a resize during start-up"
# Preview hosts start the saver in a small window and size it at once; the change may come while
# the saver reads the size, or while it sets up OpenGL.
for mode in --window-id /p; do
  for delay in 0 0.02 0.1 0.3; do
    test_window 16 16
    rm -f "$log"
    "$saver" "$mode" "$window" & pid=$!
    sleep "$delay"
    xdotool windowsize "$window" 480 300
    wait_for_line "   Notify : Scene has been initialized successfully" || fail "$mode: did not start"
    banner_at 0 480 300 || fail "$mode, resized after ${delay}s: the picture kept the old size"
    stop "$pid"
    stop "$window_pid"
  done
done

echo "-- the preview follows its host"
for mode in /p /l; do
  test_window 320 240
  rm -f "$log"
  "$saver" "$mode" "$window" & pid=$!
  wait_for_line "   Notify : Scene has been initialized successfully" || fail "$mode: did not start"
  for size in "640 480" "160 120"; do
    # shellcheck disable=SC2086
    xdotool windowsize "$window" $size
    # shellcheck disable=SC2086
    banner_at 0 $size || fail "$mode: host sized to $size, the picture did not follow"
  done
  stop "$pid"
  stop "$window_pid"
done

echo "-- full screen follows the screen"
# Xvfb's one output keeps its 1024 x 768 mode, so xrandr reports a smaller screen as a failure
# even though the screen took the size: the root window's size is what counts.
screen_size() {
  xrandr --fb "$1x$2" 2>"$work/xrandr.err"
  xwininfo -root | grep -q "Width: $1\$" && xwininfo -root | grep -q "Height: $2\$" ||
    fail "the screen did not take $1 x $2: $(cat "$work/xrandr.err")"
}
saver_size() {  # "none" without a saver window (xwininfo would wait for a click)
  local id
  id=$(xwininfo -root -tree | awk '/"Screen Saver": \("velmora"/ {print $1}')
  [ -n "$id" ] || { echo none; return; }
  xwininfo -id "$id" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}
screen_size 640 480
rm -f "$log"
"$saver" /s & pid=$!
wait_for_line "   Notify : Scene has been initialized successfully" || fail "/s did not start"
for size in "1024 768" "800 600"; do
  # shellcheck disable=SC2086
  screen_size $size
  sleep 0.5
  [ "$(saver_size)" = "${size/ /x}" ] || fail "screen at $size, the saver window is $(saver_size)"
  # shellcheck disable=SC2086
  banner_at 0 $size || fail "screen at $size, the picture did not follow"
done
alive "$pid" || fail "a change of the screen's size closed the saver"
kill -TERM "$pid"
finish "$pid" || fail "/s did not end on SIGTERM"

echo "-- a screen that shrinks under the pointer"
# A monitor unplugged or asleep: the server moves the pointer inside the smaller screen, which is
# no move of the user's; the next real one still ends the saver.
screen_size 1024 768
xdotool mousemove 1000 740
rm -f "$log"
"$saver" /s & pid=$!
wait_for_line "   Notify : Scene has been initialized successfully" || fail "/s did not start"
sleep 0.5
screen_size 800 600
sleep 1
alive "$pid" || fail "the screen shrank under the pointer and the saver ended"
[ "$(saver_size)" = "800x600" ] || fail "screen shrunk to 800 x 600, the saver window is $(saver_size)"
xdotool mousemove 400 300
finish "$pid"; code=$?
[ "$code" -eq 0 ] || fail "a real move after the shrink: status $code, expected the saver to end with 0"

[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
