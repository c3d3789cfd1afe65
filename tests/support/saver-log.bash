# Process, log and picture checks shared by the end-to-end scripts; they read the saver's log at
# "$log".

# The usual start of a script: a work folder named after $1 with a copy of the saver from
# "$build" (so its log, "$log", is the script's own) and a count of failures.
saver_test() {
  work=$(mktemp -d "/tmp/velmora-$1.XXXXXX")
  cp "$build/platform/linux/velmora" "$work/velmora"
  saver=$work/velmora
  log=$work/velmora.log
  failures=0
}
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
alive() { kill -0 "$1" 2>/dev/null; }
finish() {  # pid; its exit status, or 124 when it did not end within 5 s
  for _ in $(seq 100); do alive "$1" || break; sleep 0.05; done
  if alive "$1"; then kill -KILL "$1"; wait "$1" 2>/dev/null; return 124; fi
  wait "$1"
}
wait_for_line() {  # text; up to 10 s
  for _ in $(seq 200); do grep -qxF "$1" "$log" 2>/dev/null && return 0; sleep 0.05; done
  return 1
}
# Every line carries one of the log's prefixes, and the file ends with a whole line.
well_formed() {
  [ ! -s "$1" ] && return 0
  [ "$(tail -c 1 "$1" | od -An -c | tr -d ' ')" = '\n' ] || return 1
  ! grep -qvE '^(   Notify : |\(!\)Error : |Unlabel record : )' "$1"
}
# Starts "$build"/tools/xtestwindow with the given arguments; its id in $window once printed
# (empty when it never is) and its pid in $window_pid.
test_window() {
  local out
  out=$(mktemp /tmp/velmora-window.XXXXXX)
  "$build/tools/xtestwindow" "$@" >"$out" & window_pid=$!
  for _ in $(seq 100); do [ -s "$out" ] && break; sleep 0.02; done
  window=$(cat "$out")
  rm -f "$out"
}
# The id of a visible window whose name is exactly $1, waited for up to 10 s; empty if none came.
wait_for_window() {
  local id=""
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && break
    sleep 0.05
  done
  echo "$id"
}

# The banner's place in the lower right of a picture at x of width w and height h: its marks
# stand out from the clear colour there. Up to 5 s, or $banner_tries fifths of a second.
banner_at() {  # x w h
  local deviation
  for _ in $(seq "${banner_tries:-25}"); do
    deviation=$(import -window root -crop "$(($2 * 23 / 100))x$(($3 * 12 / 100))+$(($1 + $2 * 75 / 100))+$(($3 * 85 / 100))" \
      -format '%[fx:standard_deviation]' info:)
    awk -v d="${deviation:-0}" 'BEGIN { exit !(d > 0.01) }' && return 0
    sleep 0.2
  done
  return 1
}
