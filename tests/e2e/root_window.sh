# --root without XScreenSaver's window draws on the desktop's background, as other hacks do: on
# the root window, or on the virtual root a desktop names with __SWM_VROOT, under every other
# window and with no window of its own among the top-level ones. The background comes back at
# the end.
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

[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
