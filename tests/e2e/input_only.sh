# A preview asked for in a window that can hold no picture (an InputOnly window) is refused as
# any unusable preview window is: status 255, one line on stderr, nothing started.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb.
set -u
build=$1
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash
saver_test inputonly

test_window 320 240 input-only
for mode in /p /l; do
  rm -f "$log"
  timeout 5 "$saver" "$mode" "$window" 2>"$work/stderr"; code=$?
  [ "$code" -eq 255 ] || fail "$mode on an InputOnly window: exit status $code, expected 255"
  [ "$(wc -l <"$work/stderr")" -eq 1 ] ||
    fail "$mode on an InputOnly window: said '$(cat "$work/stderr")', expected one line"
  grep -q "Run looping thread" "$log" && fail "$mode on an InputOnly window: the saver started"
done
kill "$window_pid"; wait "$window_pid" 2>/dev/null

[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
