# A saver whose OpenGL is too old to start: one message box, "Error of scene initialization"
# captioned "Screen saver", the failure lines in the log, and an orderly end afterwards.
# The old OpenGL is Mesa's own version override, as a driver without OpenGL 2.0 would report.
# In XScreenSaver's modes nobody could answer a box: the message goes to stderr, status 255.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb.
set -u
build=$1
work=$(mktemp -d /tmp/velmora-failure.XXXXXX)
cp "$1/platform/linux/velmora" "$work/velmora"
cp "$1/platform/linux/velmora-gtk.so" "$work/"
log=$work/velmora.log
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash
# xdotool matches names without regard to case: the saver's own "Screen Saver" is sorted out.
boxes() {
  for id in $(xdotool search --onlyvisible --name '^Screen saver$' 2>/dev/null); do
    xprop -id "$id" WM_NAME | grep -q '= "Screen saver"$' && echo "$id"
  done
}

for how in dismiss signal; do
  MESA_GL_VERSION_OVERRIDE=1.4 "$work/velmora" /s & pid=$!
  box=""
  for _ in $(seq 100); do box=$(boxes); [ -n "$box" ] && break; sleep 0.1; done
  [ "$(printf '%s\n' "$box" | grep -c .)" -eq 1 ] || fail "$how: expected one message box, got '$box'"
  grep -q '^   Notify : Error of common initialization$' "$log" || fail "$how: no failure line"
  grep -q '^   Notify : Exit with error$' "$log" || fail "$how: no 'Exit with error'"
  saver=$(xwininfo -root -tree | awk '/"Screen Saver": \("velmora" "WindowsScreenSaverClass"\)/ {print $1}')
  [ -n "$saver" ] || fail "$how: no saver window"
  xwininfo -id "$saver" | grep -q 'IsUnMapped' || fail "$how: the saver window was not minimised"
  if [ "$how" = dismiss ]; then
    # The user answers the box; the saver, no longer the active window, closes.
    # Bounded: the focus wait never returns if the box loses the focus race to another window.
    timeout 10 xdotool windowfocus --sync "$box"
    xdotool key Return
  else
    kill -TERM "$pid"
  fi
  finish "$pid"; code=$?
  [ "$code" -eq 0 ] || fail "$how: exit status $code"
  [ -z "$(boxes)" ] || fail "$how: the box outlived the saver"
  tail -n 1 "$log" | grep -q '^   Notify : FPS = -1$' || { fail "$how: log does not end with FPS = -1"; cat "$log"; }
done

echo "-- XScreenSaver's modes: no box"
test_window 320 240 input-only
input_only=$window input_only_pid=$window_pid
test_window 320 240
# description, value of MESA_GL_VERSION_OVERRIDE ("" for none), saver arguments
hack_failure() {
  rm -f "$log"
  env ${2:+MESA_GL_VERSION_OVERRIDE=$2} "$work/velmora" "${@:3}" 2>"$work/stderr" & pid=$!
  local shown=""
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    [ -n "$(boxes)" ] && shown=1
    sleep 0.1
  done
  [ -z "$shown" ] || fail "$1: a message box was shown"
  finish "$pid"; code=$?
  [ "$code" -eq 255 ] || fail "$1: exit status $code, expected 255"
  [ "$(cat "$work/stderr")" = "velmora: Error of scene initialization" ] ||
    fail "$1: said '$(cat "$work/stderr")'"
  grep -q '^   Notify : Error of common initialization$' "$log" || fail "$1: no failure line"
  grep -q '^   Notify : Exit with error$' "$log" || fail "$1: no 'Exit with error'"
}
hack_failure "--window-id, old OpenGL" 1.4 --window-id "$window"
XSCREENSAVER_WINDOW=$window hack_failure "--root, old OpenGL" 1.4 --root
hack_failure "--window-id on an InputOnly window" "" --window-id "$input_only"
kill "$window_pid" "$input_only_pid"; wait "$window_pid" "$input_only_pid" 2>/dev/null

[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
