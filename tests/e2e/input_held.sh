# Full screen when another client holds the keyboard and pointer (an open menu, a password
# prompt): the saver waits a moment for them; if they are not let go, it does not cover the
# screen (keys typed at it would reach the hidden client) and ends as a run that could not start.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb.
set -u
build=$1
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash
saver_test input

# A client that takes both grabs and holds them until it is killed; its pid in $holder.
hold_input() {
  test_window 100 100 grab
  holder=$window_pid
  [ -n "$window" ] || fail "the test client could not take the grabs"
}
saver_window() { xwininfo -root -tree | grep -c '"Screen Saver": ("velmora"'; }

echo "-- held for good"
hold_input
rm -f "$log"
"$saver" /s & pid=$!
covered=0
for _ in $(seq 60); do
  alive "$pid" || break
  [ "$(saver_window)" -eq 0 ] || covered=1
  sleep 0.05
done
[ "$covered" -eq 0 ] || fail "the screen was covered without the input"
finish "$pid"; code=$?
[ "$code" -eq 0 ] || fail "exit status $code, expected 0 (a run that could not start)"
grep -qxF "(!)Error : Keyboard and mouse are held by another program: the screen is not covered" "$log" ||
  fail "the log does not say why: $(cat "$log")"
grep -q "Run looping thread" "$log" && fail "the saver started"
kill "$holder"; wait "$holder" 2>/dev/null

echo "-- let go after a moment"
hold_input
rm -f "$log"
"$saver" /s & pid=$!
sleep 0.3
kill "$holder"; wait "$holder" 2>/dev/null
wait_for_line "   Notify : Scene has been initialized successfully" || fail "the saver did not start"
[ "$(saver_window)" -eq 1 ] || fail "the screen is not covered"
# The saver holds the input now: another client cannot take it.
"$build/tools/xtestwindow" 100 100 grab >/dev/null 2>&1 & late=$!
finish "$late"; code=$?
[ "$code" -eq 1 ] || fail "another client took the input from the saver (status $code)"
xdotool key space
finish "$pid"; code=$?
[ "$code" -eq 0 ] || fail "a key did not close the saver (status $code)"

[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
