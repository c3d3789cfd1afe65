# --root without XScreenSaver's window draws on the desktop's background, as other hacks do: on
# the root window, or on the virtual root a desktop names with __SWM_VROOT, under every other
# window and with no window of its own among the top-level ones. The background comes back at
# the end. Under a compositing manager, on a desktop window of its own below every other.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb.
set -u
build=$1
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash
saver_test root
unset XSCREENSAVER_WINDOW

top_level() { xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p' | sort; }
# The share of the screen in the picture's clear colour.
clear_share() {
  import -window root png:- |
    convert - -fuzz 3% -fill red -opaque 'srgb(26,51,51)' -fill black +opaque red \
      -format '%[fx:mean.r]' info:
}
more_than() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
# Polls up to 5 s for the clear colour's share to be more (more) or less (less) than a bound: the
# first frame comes late in a sanitizer build on a busy machine. Leaves the last reading in share.
share_until() {
  for _ in $(seq 25); do
    share=$(clear_share)
    if [ "$1" = more ]; then more_than "$share" "$2" && return 0; else more_than "$2" "$share" && return 0; fi
    sleep 0.2
  done
  return 1
}

# description; runs the saver with the top-level windows as they are now.
run() {
  local before share
  before=$(top_level)
  rm -f "$log"
  "$saver" --root 2>"$work/stderr" & pid=$!
  wait_for_line "   Notify : Scene has been initialized successfully" || fail "$1: did not start"
  sleep 0.5
  [ "$(top_level)" = "$before" ] || fail "$1: a top-level window came: $(comm -13 <(echo "$before") <(top_level) | paste -sd' ')"
  share_until more 0.5 || fail "$1: the picture is not on the desktop (clear colour on $share of it)"
  kill -TERM "$pid"
  finish "$pid"; code=$?
  [ "$code" -eq 0 ] || fail "$1: exit status $code"
  [ -s "$work/stderr" ] && fail "$1: said '$(cat "$work/stderr")'"
  share_until less 0.05 || fail "$1: the last picture stayed on the desktop ($share)"
}

echo "-- the root window"
run "root window"

echo "-- a desktop's virtual root"
test_window 1024 768
xprop -id "$window" -f __SWM_VROOT 32x -set __SWM_VROOT "$window"
run "virtual root"
kill "$window_pid"; wait "$window_pid" 2>/dev/null

echo "-- under a compositing manager"
# It paints the root window's picture over every window: the saver draws on a desktop window of
# its own instead, below the others, which stay as they were; the window goes at the end.
cm_owned() {
  python3 - <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XInternAtom.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGetSelectionOwner.restype = ctypes.c_ulong
d = x.XOpenDisplay(None)
sys.exit(0 if d and x.XGetSelectionOwner(d, x.XInternAtom(d, b"_NET_WM_CM_S0", 0)) else 1)
PY
}
# The share of the region WxH+X+Y of the screen that is white (the test window's colour).
white_share() {
  import -window root -crop "$1" +repage png:- |
    convert - -fuzz 3% -fill black +opaque white -format '%[fx:mean]' info:
}
for manager in xcompmgr "xcompmgr openbox"; do
  started=()
  for program in $manager; do
    case $program in
      openbox) openbox --sm-disable >"$work/openbox.log" 2>&1 & ;;
      *) xcompmgr >"$work/xcompmgr.log" 2>&1 & ;;
    esac
    started+=($!)
  done
  for _ in $(seq 100); do cm_owned && break; sleep 0.05; done
  cm_owned || fail "$manager: no compositing manager came"
  test_window 320 240
  sleep 1  # placed and drawn by the manager
  geometry=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /^ +Width/ { w = $NF } /^ +Height/ { h = $NF } END { printf "%dx%d+%d+%d", w, h, x, y }')
  before=$(top_level)
  rm -f "$log"
  "$saver" --root 2>"$work/stderr" & pid=$!
  wait_for_line "   Notify : Scene has been initialized successfully" || fail "$manager: did not start"
  share_until more 0.4 || fail "$manager: the picture is not on the desktop (clear colour on $share of it)"
  import -window root "$work/${manager// /-}.png"
  covered=$(white_share "$geometry")
  more_than "$covered" 0.98 || fail "$manager: the saver covers the window ($covered of it still white)"
  kill -TERM "$pid"
  finish "$pid"; code=$?
  [ "$code" -eq 0 ] || fail "$manager: exit status $code"
  [ -s "$work/stderr" ] && fail "$manager: said '$(cat "$work/stderr")'"
  sleep 0.5
  [ "$(top_level)" = "$before" ] || fail "$manager: a window stayed: $(comm -13 <(echo "$before") <(top_level) | paste -sd' ')"
  kill "$window_pid" "${started[@]}"; wait "$window_pid" "${started[@]}" 2>/dev/null
done

[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
