# The X server killed under the real saver: full screen, in a preview, in the settings dialog and
# at random moments of start-up. The saver ends within a second, by its own exit (status 1, no
# signal, so no core), and its log holds every line written up to then, each one whole.
# Each case kills a private server of its own, started here with tests/with-xvfb.
# $1: build folder, $2: source folder; $3 (internal): the case to run on the current server.
set -u
build=$1
source=$2

if [ $# -lt 3 ]; then
  failures=0
  # The start-up kills step through the first 0.6 s, where the display opens and GL is set up on
  # both connections, each at a random point of its own 50 ms.
  for case in full-screen preview settings $(seq -f 'start-up-%g' 0 11); do
    echo "-- $case"
    "$source/tests/with-xvfb" bash "$0" "$build" "$source" "$case" || failures=$((failures + 1))
  done
  exit "$failures"
fi

case=$3
work=$(mktemp -d /tmp/velmora-lost.XXXXXX)
cp "$build/platform/linux/velmora" "$work/velmora"
cp "$build/platform/linux/velmora-gtk.so" "$work/"
log=$work/velmora.log
failures=0
fail() { echo "FAIL: $case: $*"; failures=$((failures + 1)); }
# shellcheck source=../support/saver-log.bash
source "$source"/tests/support/saver-log.bash

case $case in
  full-screen) "$work/velmora" /s 2>"$work/stderr" & pid=$! ;;
  preview)
    "$build/tools/xtestwindow" 160 120 >"$work/id" & window_pid=$!
    for _ in $(seq 50); do [ -s "$work/id" ] && break; sleep 0.05; done
    "$work/velmora" /p "$(cat "$work/id")" 2>"$work/stderr" & pid=$! ;;
  settings) "$work/velmora" /c 2>"$work/stderr" & pid=$! ;;
  start-up-*) "$work/velmora" /s 2>"$work/stderr" & pid=$! ;;
esac

case $case in
  full-screen|preview)
    wait_for_line "   Notify : Scene has been initialized successfully" || fail "the saver did not start"
    sleep 0.3 ;;
  settings)
    shown=0
    for _ in $(seq 200); do
      xdotool search --onlyvisible --name '^Dialog$' >/dev/null 2>&1 && { shown=1; break; }
      sleep 0.05
    done
    [ $shown -eq 1 ] || fail "the settings dialog did not show"
    sleep 0.2 ;;
  start-up-*) sleep "0.$(printf '%03d' $((${case#start-up-} * 50 + RANDOM % 50)))" ;;
esac
cp "$log" "$work/before.log" 2>/dev/null || : >"$work/before.log"
kill -KILL "$VELMORA_XVFB_PID"

# A second to end; a ThreadSanitizer build's exit does its own reports' work first, so it gets five.
polls=20
case $build in *tsan*) polls=100 ;; esac
ended=0
for _ in $(seq $polls); do
  kill -0 "$pid" 2>/dev/null || { ended=1; break; }
  sleep 0.05
done
if [ $ended -eq 0 ]; then
  fail "still running $((polls / 20)) s after the server died"
  kill -KILL "$pid"
fi
wait "$pid"; code=$?
# A start cut short before the display was opened finds no display: a failed start, 255.
expected=1
case $case in start-up-*) [ "$code" -eq 255 ] && expected=255 ;; esac
[ $ended -eq 0 ] || [ "$code" -eq $expected ] ||
  fail "exit status $code, expected $expected (above 128: a signal)"
well_formed "$log" || { fail "log not well formed"; cat "$log"; }
# Nothing written before the server died is lost; a start cut short may have added lines since.
cmp -s -n "$(stat -c %s "$work/before.log")" "$work/before.log" "$log" ||
  fail "the log lost lines written before the server died"
case $case in
  full-screen|preview)
    cmp -s "$work/before.log" "$log" || fail "lines written after the server died"
    head -n 1 "$log" | grep -qxF "   Notify : Application has run" || fail "log has no first line" ;;
esac
[ -n "${window_pid:-}" ] && { kill "$window_pid" 2>/dev/null; wait "$window_pid" 2>/dev/null; }
[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
