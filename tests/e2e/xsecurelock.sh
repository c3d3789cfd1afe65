# xsecurelock runs the installed saver as XSECURELOCK_SAVER, once per monitor, each with
# `-root` and its window's id in decimal in XSCREENSAVER_WINDOW: the creature is drawn on each;
# the SIGUSR1 that resets the savers when the password prompt closes leaves them drawing; the
# locker's end ends them cleanly. As a throw-away user, on a screen split into two monitors.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb, as root (skipped otherwise).
set -u
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# shellcheck source=../support/host-session.bash
source "$2"/tests/support/host-session.bash
host_session "$1" velmora-lock
saver='/usr/libexec/xscreensaver/velmora -root'

xrandr --setmonitor left 512/135x768/203+0+0 screen >/dev/null &&
  xrandr --setmonitor right 512/135x768/203+512+0 none >/dev/null ||
  fail "could not split the screen into two monitors"

two_savers() { [ "$(pids_of "$saver" | wc -l)" -eq 2 ]; }
# Each saver's window has its monitor's size and shows the creature.
check_drawing() {  # when
  local pid window verdict
  for pid in $(pids_of "$saver"); do
    window=$(tr '\0' '\n' <"/proc/$pid/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
    [[ $window =~ ^[0-9]+$ ]] ||
      { fail "$1: XSCREENSAVER_WINDOW '$window' is not decimal"; continue; }
    xwininfo -id "$window" | grep -q 'Width: 512' || fail "$1: window $window is not a monitor's"
    verdict=$(wait_drawn 15 "$window" "$work/$1-$window.png" 60) ||
      fail "$1, window $window: $verdict"
  done
}

# A key opens the prompt, which closes itself after a second; the locker then resets the savers.
as_user env XSECURELOCK_SAVER=/usr/libexec/xscreensaver/velmora \
  XSECURELOCK_SAVER_RESET_ON_AUTH_CLOSE=1 XSECURELOCK_AUTH_TIMEOUT=1 \
  xsecurelock >"$work/xsecurelock.log" 2>&1 &
wait_until 15 two_savers || fail "not one saver per monitor: $(pids_of "$saver" | paste -sd' ')"
before=$(pids_of "$saver" | paste -sd' ')
check_drawing locked

echo "-- the prompt's close resets the savers"
xdotool key space
wait_until 5 pgrep -u "$user" -x auth_x11 || fail "no password prompt"
wait_until 10 eval '! pgrep -u "$user" -x auth_x11' || fail "the prompt did not close"
sleep 1.5
after=$(pids_of "$saver" | paste -sd' ')
[ "$after" = "$before" ] || fail "the savers were replaced or ended: '$before', then '$after'"
check_drawing reset

echo "-- the locker ends"
kill "$(pgrep -u "$user" -x xsecurelock)"
wait_until 5 eval '[ -z "$(pids_of "$saver")" ]' || fail "the savers outlived the locker"
! grep -E 'saver child (killed by signal|failed with status)' "$work/xsecurelock.log" ||
  fail "a saver did not end cleanly"
[ "$failures" -eq 0 ] || echo "screenshots and logs in $work"
exit "$failures"
