# The saver under a real window manager (openbox) instead of a bare server: the full-screen
# window covers the screen above every window the manager stacks, stays up without input and
# closes by the close rules; the settings dialog keeps its caption, and the manager's close ends
# it with status 1, saving nothing.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb.
set -u
build=$1
work=$(mktemp -d /tmp/velmora-wm.XXXXXX)
cp "$build/platform/linux/velmora" "$build/platform/linux/velmora-gtk.so" "$work/"
saver=$work/velmora
log=$work/velmora.log
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash

# A private configuration, for the saver and for openbox (which then takes its system defaults).
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/system
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Korvantel" "$XDG_CONFIG_DIRS"
settings="$XDG_CONFIG_HOME/Korvantel/Velmora Screen Saver.conf"

openbox --sm-disable >"$work/openbox.log" 2>&1 & wm=$!
managing=0
for _ in $(seq 200); do
  wmctrl -m >/dev/null 2>&1 && { managing=1; break; }
  sleep 0.05
done
if [ $managing -eq 0 ]; then
  echo "FAIL: openbox does not manage the display"
  cat "$work/openbox.log"
  exit 1
fi
window_list() { wmctrl -lp | awk '{ pid = $3; $1 = $2 = $3 = $4 = ""; sub(/^ +/, ""); print pid "\t" $0 }'; }
hex() { printf '0x%x' "$(($1))"; }
root=$(xwininfo -root | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p')
# The root's children, top-most first.
stacking() { xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'; }
top_level() {  # window id: the child of the root that holds it (the manager's frame)
  local w parent
  w=$(hex "$1")
  while parent=$(xwininfo -id "$w" -children | sed -n 's/^  Parent window id: \(0x[0-9a-f]*\).*/\1/p') &&
    [ -n "$parent" ] && [ "$parent" != "$root" ]; do
    w=$parent
  done
  echo "$w"
}
geometry() {  # window id: x y width height map state
  xwininfo -id "$1" | awk -F': *' '/Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 }
    /^  Width/ { w = $2 } /^  Height/ { h = $2 } /Map State/ { m = $2 } END { print x, y, w, h, m }'
}
read -r _ _ screen_w screen_h _ <<<"$(geometry "$root")"

echo "-- a normal window, managed"
xmessage -title "Normal window" -geometry 300x100+100+100 "normal window" & normal_pid=$!
normal=""
for _ in $(seq 200); do
  normal=$(wmctrl -l | awk '/ Normal window$/ { print $1 }')
  [ -n "$normal" ] && break
  sleep 0.05
done
[ -n "$normal" ] || { fail "openbox does not list the normal window"; wmctrl -l; }
normal_frame=$(top_level "${normal:-0}")
[ "$normal_frame" != "$(hex "${normal:-0}")" ] || fail "openbox did not frame the normal window"

echo "-- full screen above it, up without input, closed by the close rules"
late_window() { xmessage -title "Late window" -geometry 200x60+400+400 "late" & late_pid=$!; }
close_by() {  # description, command that should close the saver
  rm -f "$log"
  "$saver" /s 2>"$work/stderr" & pid=$!
  local window=""
  for _ in $(seq 200); do
    window=$(xwininfo -root -children |
      sed -n 's/^ *\(0x[0-9a-f]*\) "Screen Saver": ("velmora" "WindowsScreenSaverClass").*/\1/p')
    [ -n "$window" ] && break
    sleep 0.05
  done
  [ -n "$window" ] || { fail "$1: no full-screen window"; kill -TERM "$pid"; finish "$pid"; return; }
  wait_for_line "   Notify : Scene has been initialized successfully" || fail "$1: did not start"
  local at
  at=$(geometry "$window")
  [ "$at" = "0 0 $screen_w $screen_h IsViewable" ] || fail "$1: the window is at '$at'"
  [ "$(stacking | head -n 1)" = "$window" ] || fail "$1: not the top-most window: $(stacking | paste -sd' ')"
  [ "$(geometry "$normal_frame" | cut -d' ' -f5)" = IsViewable ] || fail "$1: the normal window is not shown"
  sleep 2
  alive "$pid" || fail "$1: closed without input"
  [ "$(stacking | head -n 1)" = "$window" ] || fail "$1: not the top-most window after 2 s"
  "${@:2}"
  finish "$pid"; code=$?
  [ "$code" -eq 0 ] || fail "$1: exit status $code"
  [ -s "$work/stderr" ] && fail "$1: said '$(head -c 200 "$work/stderr")'"
  tail -n 1 "$log" | grep -q '^   Notify : FPS = ' || fail "$1: log does not end with the frame-rate line"
}
xdotool mousemove 500 400
close_by "key" xdotool key space
close_by "5-pixel move" xdotool mousemove_relative 3 2
# The manager gives a new window the focus: the saver has lost its activation.
late_pid=""
close_by "a new window takes the focus" late_window
[ -z "$late_pid" ] || { kill "$late_pid"; wait "$late_pid" 2>/dev/null; }

echo "-- the settings dialog, closed by the manager"
group='[Software\Korvantel\Velmora Screen Saver]'
printf '%s\nEnableFPS=1\n' "$group" >"$settings"
# Every file and folder of the settings and the home, but what GLib leaves there on its own where
# its desktop packages are installed (a session bus address, caches); a folder's time changes with
# those, so folders are compared by name and mode.
snapshot() {
  find "$XDG_CONFIG_HOME" "$XDG_CONFIG_DIRS" "$HOME" \( -path "$HOME/.dbus" -o -path "$HOME/.cache" \) \
    -prune -o \( -type d -printf '%p %y %m\n' \) -o -printf '%p %y %s %m %T@\n' | sort
}
before=$(snapshot)
"$saver" /c 2>"$work/stderr" & pid=$!
captions=""
for _ in $(seq 200); do
  captions=$(window_list | awk -F'\t' -v p="$pid" '$1 == p { print $2 }')
  [ -n "$captions" ] && break
  sleep 0.05
done
[ "$captions" = "Dialog" ] || fail "the dialog's windows are captioned '$captions'"
# Set Defaults changes the boxes; the manager's close must not store the change.
wmctrl -a Dialog && xdotool key Escape || fail "could not reach the dialog"
sleep 0.3
wmctrl -c Dialog || fail "wmctrl found no dialog to close"
finish "$pid"; code=$?
[ "$code" -eq 1 ] || fail "closed by the manager: exit status $code, expected 1"
[ "$(snapshot)" = "$before" ] || fail "closed by the manager: the settings changed"
[ -s "$work/stderr" ] && fail "the dialog said '$(head -c 200 "$work/stderr")'"

kill "$normal_pid"; wait "$normal_pid" 2>/dev/null
kill "$wm"; wait "$wm" 2>/dev/null
[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
