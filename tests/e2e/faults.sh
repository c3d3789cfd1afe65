# The real saver against a damaged environment: settings files that cannot be read, are folders,
# cut short, binary or huge; a settings folder that cannot be written; a log that cannot be
# opened beside the executable; and closing at random moments of start-up, by signal, by key and
# by taking the preview's parent away. Never a crash: the documented value or exit code each time.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb.
set -u
build=$1
work=$(mktemp -d /tmp/velmora-faults.XXXXXX)
mkdir -p "$work/bin"
cp "$build/platform/linux/velmora" "$work/bin/velmora"
cp "$build/platform/linux/velmora-gtk.so" "$work/bin/"
saver=$work/bin/velmora
log=$work/bin/velmora.log
testwindow=$build/tools/xtestwindow
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash
root=0
[ "$(id -u)" -eq 0 ] && root=1

# A private configuration: the user's folder and one system folder.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/system
user_file="$XDG_CONFIG_HOME/Korvantel/Velmora Screen Saver.conf"
system_file="$XDG_CONFIG_DIRS/Korvantel/Velmora Screen Saver.conf"
group='[Software\Korvantel\Velmora Screen Saver]'
reset_config() {
  chmod -R u+rwx "$work/config" "$work/system" 2>/dev/null
  rm -rf "$work/config" "$work/system" "$work/home"
  mkdir -p "$work/config/Korvantel" "$work/system/Korvantel" "$work/home"
}

echo "-- damaged settings files"
# The frame-rate setting as the saver applied it: with the overlay off the counter never runs
# and the closing line records -1.
fps_shown() {  # description, expected on|off
  rm -f "$log"  # the last run's lines must not pass for this one's
  "$saver" /s 2>"$work/stderr" & pid=$!
  wait_for_line "   Notify : Scene has been initialized successfully" || fail "$1: did not start"
  sleep 0.8
  kill -TERM "$pid"
  finish "$pid"; code=$?
  [ "$code" -eq 0 ] || fail "$1: exit status $code"
  local last state=off
  last=$(tail -n 1 "$log")
  case $last in
    "   Notify : FPS = -1") state=off ;;
    "   Notify : FPS = "*) state=on ;;
    *) fail "$1: log ends with '$last'" ;;
  esac
  [ "$state" = "$2" ] || { fail "$1: frame-rate text $state, expected $2"; cat "$log"; }
}
reset_config
fps_shown "no files" off
printf '%s\nEnableFPS=1\n' "$group" >"$user_file"
fps_shown "user file" on
printf '%s\nEnableFPS=1\n' "$group" >"$system_file"
printf '%s\nEnableFPS=0\n' "$group" >"$user_file"
fps_shown "user file wins" off
if [ $root -eq 0 ]; then
  chmod 000 "$user_file"
  fps_shown "unreadable user file: the system's value" on
  chmod 644 "$user_file"
fi
rm -f "$user_file"
ln -s "$(basename "$user_file")" "$user_file"  # a link to itself: open fails for everyone
fps_shown "user file that cannot be opened: the system's value" on
rm -f "$user_file"
mkdir "$user_file"
fps_shown "user file is a folder: the system's value" on
rmdir "$user_file"
mkfifo "$user_file"
fps_shown "user file is a FIFO: the system's value" on
rm -f "$user_file"
printf '%s\nEnableVSync=1\nEnableFPS=0' "$group" >"$user_file"
fps_shown "cut short after a value" off
printf '%s\nEnableVSync=1\nEnableFP' "$group" >"$user_file"
fps_shown "cut short inside a name: the system's value" on
printf '%s\nEnableFPS=%0200d\n' "$group" 0 >"$user_file"
fps_shown "value too long for the store: the system's value" on
{ head -c 3000 /dev/urandom | tr -d '\n'; printf '\n%s\nEnableFPS=0x\001\n' "$group"; head -c 3000 /dev/urandom; } >"$user_file"
fps_shown "binary around a value: the number it starts with" off
rm -f "$system_file"
head -c 100000 /dev/urandom | tr -d '[' >"$user_file"
fps_shown "binary only" off
{ printf '%s\nEnableFPS=1\n' "$group"; head -c $((2 << 20)) /dev/zero | tr '\0' '#'; } >"$user_file"
fps_shown "huge file: ignored whole" off

echo "-- a settings folder that cannot be written"
# Set Defaults (Escape), then OK (Enter): the dialog saves the defaults over the system's value.
save_in_dialog() {  # description
  "$saver" /c 2>"$work/stderr" & pid=$!
  local dialog
  dialog=$(wait_for_window Dialog)
  [ -n "$dialog" ] || fail "$1: no settings dialog"
  xdotool windowfocus --sync "$dialog" key --delay 150 Escape Return 2>/dev/null
  if [ "${2:-}" = fails ]; then
    # The user is told in a box, which OK (Enter) takes away; the log says why.
    local box
    box=$(wait_for_window "Screen saver")
    [ -n "$box" ] || fail "$1: no box told of the failed save"
    [ -n "$box" ] && xdotool windowfocus --sync "$box" key Return 2>/dev/null
  fi
  finish "$pid"; code=$?
  [ "$code" -eq 1 ] || fail "$1: dialog exit status $code, expected 1"
  local told=0
  grep -qxF "(!)Error : Settings could not be saved" "$log" && told=1
  [ "$told" -eq "$([ "${2:-}" = fails ] && echo 1 || echo 0)" ] || fail "$1: error line: $told"
}
snapshot() { find "$work/config" "$work/system" "$work/home" -printf '%p %y %s %m %T@\n' 2>/dev/null | sort; }
reset_config
printf '%s\nEnableFPS=1\n' "$group" >"$system_file"
save_in_dialog "writable"
grep -qx 'EnableFPS=0' "$user_file" 2>/dev/null || fail "writable: the dialog saved nothing"

reset_config
printf '%s\nEnableFPS=1\n' "$group" >"$system_file"
printf 'not a folder\n' >"$work/home/blocker"
before=$(snapshot)
XDG_CONFIG_HOME=$work/home/blocker/config save_in_dialog "folder below a file" fails
[ "$(snapshot)" = "$before" ] || fail "folder below a file: the disk changed"
if [ $root -eq 0 ]; then
  printf '%s\nEnableFPS=1\n' "$group" >"$user_file"
  chmod 555 "$work/config/Korvantel"
  before=$(snapshot)
  save_in_dialog "read-only folder" fails
  [ "$(snapshot)" = "$before" ] || fail "read-only folder: the disk changed"
  chmod 755 "$work/config/Korvantel"
fi
reset_config

echo "-- a log that cannot be opened beside the executable"
# The saver runs as ever and says nothing; its log goes to the user's state folder, or where that
# cannot be made either, nowhere.
state_log=$HOME/.local/state/velmora/velmora.log
runs_with_log_at() {  # description, where the log must be ("" for none)
  local cwd=$work/cwd
  rm -rf "$cwd" "$HOME/.local"; mkdir -p "$cwd"
  (cd "$cwd" && exec "$saver" /s 2>"$work/stderr") & pid=$!
  local shown=0
  for _ in $(seq 100); do
    xwininfo -root -tree | grep -q '"Screen Saver": ("velmora" "WindowsScreenSaverClass")' &&
      { shown=1; break; }
    sleep 0.05
  done
  [ $shown -eq 1 ] || fail "$1: no full-screen window"
  sleep 0.8
  kill -TERM "$pid"
  finish "$pid"; code=$?
  [ "$code" -eq 0 ] || fail "$1: exit status $code"
  [ -s "$work/stderr" ] && fail "$1: said '$(head -c 200 "$work/stderr")'"
  local found
  found=$(find "$cwd" "$work/home" -name '*.log' | paste -sd' ')
  [ "$found" = "$2" ] || fail "$1: log at '$found', expected '$2'"
  if [ -n "$2" ]; then
    [ "$(head -n 1 "$2")" = "   Notify : Application has run" ] && well_formed "$2" &&
      tail -n 1 "$2" | grep -q '^   Notify : FPS = ' || { fail "$1: log"; cat "$2"; }
  fi
}
if [ $root -eq 0 ]; then
  rm -f "$log"
  chmod 555 "$work/bin"
  runs_with_log_at "read-only folder" "$state_log"
  chmod 755 "$work/bin"
  [ -e "$log" ] && fail "read-only folder: a log appeared"
fi
# As root no folder is read-only: the log's place taken by a folder, a link, a FIFO.
rm -f "$log"
mkdir "$log"
runs_with_log_at "log path is a folder" "$state_log"
[ -d "$log" ] && [ -z "$(ls -A "$log")" ] || fail "log path is a folder: the folder changed"
XDG_STATE_HOME=$work/state runs_with_log_at "log path is a folder, own state folder" ""
[ -s "$work/state/velmora/velmora.log" ] || fail "XDG_STATE_HOME: no log there"
rm -rf "$work/state"
printf 'not a folder\n' >"$work/blocker"
XDG_STATE_HOME=$work/blocker/state runs_with_log_at "no state folder either" ""
rm -f "$work/blocker"
rmdir "$log"
ln -s "$work/missing/velmora.log" "$log"
runs_with_log_at "log path links into a missing folder" "$state_log"
rm -f "$log"
# A link planted at the log's path, or a file of someone else's there, is never emptied.
printf 'precious\n' >"$work/precious"
ln -s "$work/precious" "$log"
runs_with_log_at "log path links to another file" "$state_log"
[ "$(cat "$work/precious")" = precious ] || fail "log path links to another file: it was emptied"
rm -f "$log"
if [ $root -eq 1 ]; then
  printf 'precious\n' >"$log"
  chown 65534:65534 "$log"
  runs_with_log_at "log path is another user's file" "$state_log"
  [ "$(cat "$log")" = precious ] || fail "log path is another user's file: it was emptied"
  rm -f "$log"
fi
mkfifo "$log"  # nobody reads it: opening it must not wait for a reader
runs_with_log_at "log path is a FIFO" "$state_log"
rm -f "$log"
rm -rf "$HOME/.local"

echo "-- closing at random moments of start-up"
for i in $(seq 18); do
  rm -f "$log"
  # A background job starts with SIGINT ignored, which the saver keeps; a terminal's Ctrl-C
  # reaches a foreground one with the default action, as here.
  env --default-signal=INT "$saver" /s 2>"$work/stderr" & pid=$!
  sleep "0.$(printf '%03d' $((RANDOM % 700)))"
  case $((i % 3)) in
    0) how=TERM; kill -TERM "$pid" ;;
    1) how=INT; kill -INT "$pid" ;;
    2) how="key and HUP"; xdotool key Escape 2>/dev/null; kill -HUP "$pid" 2>/dev/null ;;
  esac
  finish "$pid"; code=$?
  # Until the program is loaded the signal's default action applies (128 + its number, never a
  # core); once its first line is written it always closes in order.
  if [ -s "$log" ] || [ "$code" -lt 128 ]; then
    [ "$code" -eq 0 ] || { fail "run $i ($how): exit status $code"; cat "$log"; }
    well_formed "$log" || { fail "run $i ($how): log not well formed"; cat "$log"; }
    if grep -qxF "   Notify : Run looping thread" "$log"; then
      tail -n 1 "$log" | grep -q '^   Notify : FPS = ' ||
        { fail "run $i ($how): log does not end with the frame-rate line"; cat "$log"; }
    fi
  else
    case $code in 129|130|143) ;; *) fail "run $i ($how): ended by signal $((code - 128))" ;; esac
  fi
done

echo "-- a signal the saver was started with ignored"
rm -f "$log"
"$saver" /s 2>"$work/stderr" & pid=$!  # SIGINT ignored, as for every background job
wait_for_line "   Notify : Scene has been initialized successfully" || fail "ignored INT: did not start"
kill -INT "$pid"; sleep 0.5
alive "$pid" || fail "ignored INT: the saver ended on a signal it was started with ignored"
kill -TERM "$pid"; finish "$pid"; code=$?
[ "$code" -eq 0 ] || fail "ignored INT: exit status $code after TERM"

# Half the runs take the parent away during start-up, half in the first frames, where a frame
# drawn into the vanished window used to crash the software renderer.
for i in $(seq 16); do
  rm -f "$log" "$work/id"
  "$testwindow" 160 120 >"$work/id" & window_pid=$!
  for _ in $(seq 50); do [ -s "$work/id" ] && break; sleep 0.02; done
  "$saver" /p "$(cat "$work/id")" 2>"$work/stderr" & pid=$!
  if [ $((i % 2)) -eq 0 ]; then
    wait_for_line "   Notify : Scene has been initialized successfully"
    sleep "0.$(printf '%03d' $((RANDOM % 300)))"
  else
    sleep "0.$(printf '%03d' $((RANDOM % 700)))"
  fi
  kill "$window_pid"; wait "$window_pid" 2>/dev/null
  finish "$pid"; code=$?
  # The parent may already be gone when the saver looks for it: then the handle is refused.
  if [ "$code" -ne 0 ] && [ "$code" -ne 255 ]; then
    fail "preview run $i: exit status $code"; cat "$log"
  fi
  well_formed "$log" || { fail "preview run $i: log not well formed"; cat "$log"; }
  if grep -qxF "   Notify : Run looping thread" "$log"; then
    tail -n 1 "$log" | grep -q '^   Notify : FPS = ' ||
      { fail "preview run $i: log does not end with the frame-rate line"; cat "$log"; }
  fi
done

[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
