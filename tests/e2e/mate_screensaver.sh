# MATE's screen saver runs the installed package's saver: it lists the desktop entry, its
# --activate starts `velmora --root` on its own window (named in XSCREENSAVER_WINDOW) where the
# creature is drawn, and --deactivate ends it; its preferences' preview draws the creature too,
# and the saver ends with the preview's window. As a throw-away user with a session bus.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb, as root (skipped otherwise).
set -u
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# shellcheck source=../support/host-session.bash
source "$2"/tests/support/host-session.bash
host_session "$1" velmora-mate
saver='/usr/libexec/xscreensaver/velmora --root'
as_mate() { as_user env XDG_CURRENT_DESKTOP=MATE "$@"; }  # the entry shows in MATE only

as_mate gsettings set org.mate.screensaver mode single
as_mate gsettings set org.mate.screensaver themes "['screensavers-velmora']"
as_mate gsettings set org.mate.screensaver lock-enabled false
as_mate mate-screensaver --no-daemon >"$work/mate-screensaver.log" 2>&1 &
wait_until 20 as_mate mate-screensaver-command --query || fail "mate-screensaver does not answer"

echo "-- --activate"
as_mate mate-screensaver-command --activate
wait_until 10 pids_of "$saver" || fail "--activate did not start '$saver'"
pid=$(pids_of "$saver" | head -n 1)
if [ -n "$pid" ]; then
  window=$(saver_window "$pid")
  [ -n "$window" ] || fail "no XSCREENSAVER_WINDOW for the saver"
  [ -n "$window" ] && xwininfo -id "$window" | grep -q 'Width: 1024' ||
    fail "the saver's window is not the full screen"
  verdict=$(wait_drawn 15 "$window" "$work/activated.png" 100) || fail "full screen: $verdict"
  as_mate mate-screensaver-command --deactivate
  wait_until 5 eval '! kill -0 '"$pid" || fail "--deactivate did not end the saver"
fi

echo "-- the preferences' preview"
as_mate mate-screensaver-preferences >"$work/preferences.log" 2>&1 &
wait_until 15 pids_of "$saver" || fail "the preferences did not start '$saver'"
pid=$(pids_of "$saver" | head -n 1)
if [ -n "$pid" ]; then
  window=$(saver_window "$pid")
  verdict=$(wait_drawn 15 "$window" "$work/preview.png" 30) || fail "preview: $verdict"
  # The preferences close: their window goes, and the saver with it.
  kill "$(pids_of mate-screensaver-preferences)"  # itself, not runuser, which would leave it
  wait_until 5 eval '! kill -0 '"$pid" || fail "the saver outlived the preview's window"
fi

as_mate mate-screensaver-command --exit >/dev/null
[ "$failures" -eq 0 ] || echo "screenshots and logs in $work"
exit "$failures"
