# XScreenSaver's own options, from velmora.xml to the running saver: the xml names exactly the
# flags the program accepts; --fps and --no-vsync change one run and never the stored settings;
# a flag it does not know gets status 255 and one usage line. With the swap interval on, the
# frame rate the log reports is the display's.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb.
set -u
build=$1
work=$(mktemp -d /tmp/velmora-hack.XXXXXX)
cp "$build/platform/linux/velmora" "$work/velmora"
saver=$work/velmora
log=$work/velmora.log
xml=$2/platform/x11/velmora.xml
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/system
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Korvantel" "$XDG_CONFIG_DIRS"
settings="$XDG_CONFIG_HOME/Korvantel/Velmora Screen Saver.conf"

echo "-- the xml"
xmllint --noout "$xml" || fail "velmora.xml does not parse"
# Every flag the xml hands over, and those the usage line lists, less XScreenSaver's own preview
# flag, which no xml names.
xml_flags=$(xmllint --xpath '//@arg | //@arg-set | //@arg-unset' "$xml" |
  grep -oE -- '"--?[a-z-]+"' | tr -d '"' | sort -u | paste -sd' ')
"$saver" --root --no-such-flag 2>"$work/stderr"
usage_flags=$(grep -oE -- '--?[a-z-]+' "$work/stderr" | grep -vxF -- --window-id | sort -u | paste -sd' ')
[ -n "$xml_flags" ] && [ "$xml_flags" = "$usage_flags" ] ||
  fail "the xml names '$xml_flags', the program takes '$usage_flags'"

echo "-- options for one run"
"$build/tools/xtestwindow" 320 240 >"$work/id" & window_pid=$!
for _ in $(seq 50); do [ -s "$work/id" ] && break; sleep 0.05; done
window=$(printf '0x%x' "$(cat "$work/id")")
least_paced=40 short=0.8
# Instrumented, the first frames may take longer than a short run on a busy machine, and a run
# without one full frame logs no frame rate at all.
case $build in *tsan*) least_paced=1 short=2.5 ;; esac
# description, stored file text ("" for none), expected frame-rate text on|off, saver arguments
run() {
  rm -f "$log" "$settings"
  [ -z "$2" ] || printf '[Software\\Korvantel\\Velmora Screen Saver]\n%s\n' "$2" >"$settings"
  [ -f "$settings" ] && cp "$settings" "$work/stored"
  "$saver" "${@:4}" 2>"$work/stderr" & pid=$!
  wait_for_line "   Notify : Scene has been initialized successfully" || fail "$1: did not start"
  sleep "${seconds:-$short}"
  kill -TERM "$pid"
  finish "$pid"; code=$?
  [ "$code" -eq 0 ] || fail "$1: exit status $code"
  [ -s "$work/stderr" ] && fail "$1: said '$(cat "$work/stderr")'"
  local last state=off
  last=$(tail -n 1 "$log")
  case $last in
    "   Notify : FPS = -1") state=off ;;
    "   Notify : FPS = "[0-9]*) state=on ;;
    *) fail "$1: log ends with '$last'" ;;
  esac
  [ "$state" = "$3" ] || fail "$1: frame-rate text $state, expected $3"
  # Xvfb's swap does not wait for a refresh, so with the swap interval on the saver paces itself
  # to the 60 Hz it assumes there (the few frames it takes to notice lift a short run a little).
  # ThreadSanitizer's build draws fewer frames than that on a software renderer: there only the
  # upper bound holds.
  if [ "$state" = on ] && [[ " ${*:4} " != *" --no-vsync "* ]]; then
    awk -v fps="${last#*FPS = }" -v least="$least_paced" 'BEGIN { exit !(fps >= least && fps <= 66) }' ||
      fail "$1: $last with the swap interval on, expected about 60"
  fi
  if [ -z "$2" ]; then
    [ ! -e "$settings" ] || fail "$1: a settings file was written"
  else
    cmp -s "$settings" "$work/stored" || fail "$1: the stored settings changed"
  fi
}
stored='EnableFPS=0
EnableVSync=1'
run "no option" "$stored" off --window-id "$window"
run "--fps" "$stored" on --window-id "$window" --fps
run "-fps, one dash" "$stored" on -window-id "$window" -fps
run "--no-vsync" "$stored" off --window-id "$window" --no-vsync
run "both, the preview's order" "$stored" on --root --no-vsync --fps --window-id "$window"
run "--fps, nothing stored" "" on --window-id "$window" --fps
XSCREENSAVER_WINDOW=$window run "--root --fps" "$stored" on --root --fps
# Xvfb's swap does not wait for a refresh, so with the swap interval on the saver paces itself to
# the 60 Hz it assumes there; a longer run, so that a moment's load changes the mean little.
seconds=3 paced=1
run "paced to the display" "$stored" on --window-id "$window" --fps
seconds=$short paced=
# Without the flag the stored value counts again: the last run left nothing behind.
run "stored EnableFPS=1" 'EnableFPS=1' on --window-id "$window"

echo "-- flags it does not know"
for tail in "--root --frobnicate" "--window-id $window --fps -x" "--fps" "--root --fps=1" \
            "--window-id $window --no-fps"; do
  rm -f "$log"
  # shellcheck disable=SC2086
  timeout 5 "$saver" $tail 2>"$work/stderr"; code=$?
  [ "$code" -eq 255 ] || fail "'$tail' exited $code, expected 255"
  [ "$(wc -l <"$work/stderr")" -eq 1 ] && grep -q '^usage: velmora ' "$work/stderr" ||
    fail "'$tail' said '$(cat "$work/stderr")', expected one usage line"
  grep -q 'Run looping thread' "$log" && fail "'$tail' started the saver"
done

kill "$window_pid"; wait "$window_pid" 2>/dev/null
[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
