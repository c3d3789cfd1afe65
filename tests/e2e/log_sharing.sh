# One log written by instances that run at once, as the screen-saver settings start them: previews,
# a full-screen test and the settings dialog beside a running preview add their lines after the
# preview's and never empty the file under it; every line stays whole and no NUL byte appears.
# A start with nobody else running empties the log.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb.
set -u
build=$1
work=$(mktemp -d /tmp/velmora-log-sharing.XXXXXX)
cp "$build/platform/linux/velmora" "$build/platform/linux/velmora-gtk.so" "$work/"
saver=$work/velmora
log=$work/velmora.log
testwindow=$build/tools/xtestwindow
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/system
N='   Notify : '
started="${N}Scene has been initialized successfully"
start_window() { "$testwindow" 320 240 >"$work/id" & window_pid=$!; sleep 0.3; window=$(cat "$work/id"); }
no_nul() { [ "$(tr -d '\000' <"$1" | wc -c)" -eq "$(wc -c <"$1")" ]; }

printf 'a line of an earlier run\n' >"$log"
start_window
first_window_pid=$window_pid
"$saver" /p "$window" & first=$!
wait_for_line "$started" || fail "the first preview did not start"
grep -q 'earlier run' "$log" && fail "a start with nobody beside it kept the old lines"

echo "-- previews beside it"
for i in 1 2 3; do
  start_window
  "$saver" /p "$window" & second=$!
  sleep 0.8
  kill "$window_pid"; wait "$window_pid" 2>/dev/null
  finish "$second" || fail "preview $i beside the first did not end"
done

echo "-- the settings dialog beside it"
"$saver" /c & dialog_pid=$!
dialog=$(wait_for_window Dialog)
[ -n "$dialog" ] || fail "no settings dialog"
xdotool windowfocus --sync "$dialog" key Return 2>/dev/null  # OK
finish "$dialog_pid"; code=$?
[ "$code" -eq 1 ] || fail "dialog exit status $code"

echo "-- full screen beside it"
"$saver" /s & full=$!
sleep 1.5
xdotool key space
finish "$full"; code=$?
[ "$code" -eq 0 ] || fail "full screen exit status $code"

alive "$first" || fail "the first preview ended early"
kill "$first_window_pid"; wait "$first_window_pid" 2>/dev/null
finish "$first" || fail "the first preview did not end with its window"

echo "-- the shared log"
no_nul "$log" || fail "NUL bytes in the log"
well_formed "$log" || { fail "log not well formed"; cat -A "$log" | head -50; }
[ "$(grep -cxF "${N}Application has run" "$log")" -eq 6 ] || fail "not one first line per start"
[ "$(grep -c "^${N}FPS = " "$log")" -eq 5 ] || fail "not one frame-rate line per saver run"
# The first preview's start-up, whole and in order at the top, and its frame-rate line last.
expected=$(printf '%s\n' "Application has run" "Run looping thread" "Start common initialization" \
  "Context for OpenGL has been created")
[ "$(head -n 4 "$log" | sed "s/^$N//")" = "$expected" ] || { fail "first start-up cut"; head "$log"; }
tail -n 1 "$log" | grep -q "^${N}FPS = " || fail "the first preview's frame-rate line is not last"

echo "-- a start with nobody beside it"
"$saver" /s & full=$!
wait_for_line "$started" || fail "full screen alone did not start"
xdotool key space
finish "$full"
[ "$(grep -cxF "${N}Application has run" "$log")" -eq 1 ] || fail "the log was not emptied"
head -n 1 "$log" | grep -qxF "${N}Application has run" || fail "first line"

[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
