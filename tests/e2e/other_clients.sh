# What other X clients do to the real saver and its dialog:
# - a server at its client limit leaves the render thread no connection of its own: its failed
#   start is still heard ("Exit with error", the window out of the way, the message box), and the
#   saver ends as after any failed start;
# - another client destroys the settings dialog's window: the dialog ends as the window manager's
#   close does (status 1, nothing saved), without hanging.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb.
set -u
build=$1
source=$2
work=$(mktemp -d /tmp/velmora-clients.XXXXXX)
cp "$build/platform/linux/velmora" "$work/velmora"
cp "$build/platform/linux/velmora-gtk.so" "$work/"
log=$work/velmora.log
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# shellcheck source=../support/saver-log.bash
source "$source"/tests/support/saver-log.bash
export XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/system

# --- the settings dialog's window destroyed by another client
"$work/velmora" /c 2>"$work/dialog.stderr" & pid=$!
dialog=""
for _ in $(seq 200); do
  dialog=$(xdotool search --onlyvisible --name '^Dialog$' 2>/dev/null | head -n 1)
  [ -n "$dialog" ] && break
  sleep 0.05
done
if [ -z "$dialog" ]; then
  fail "dialog: it did not show"
  kill "$pid"
else
  xdotool windowclose "$dialog"
fi
finish "$pid"; code=$?
[ "$code" -eq 1 ] || fail "dialog: exit status $code (124: still running)"
[ -e "$XDG_CONFIG_HOME" ] && fail "dialog: settings were saved: $(find "$XDG_CONFIG_HOME")"

# --- a server at its client limit
fifo=$work/displayfd
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset -maxclients 64 3>"$fifo" 2>/dev/null &
server=$!
read -r -t 20 number <"$fifo" || fail "limit: the second server did not start"
export DISPLAY=":${number:-0}"
# Takes every connection the server gives but one, for the saver's shell; lets them all go once
# the render thread has failed to get one, so that the message box can be shown.
python3 - "$log" "$work/filler-ready" <<'EOF' &
import ctypes, os, sys, time
xlib = ctypes.CDLL("libX11.so.6")
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
held = []
while len(held) < 4096:
    display = xlib.XOpenDisplay(None)
    if not display:
        break
    held.append(display)
xlib.XCloseDisplay(held.pop())
open(sys.argv[2], "w").write(str(len(held)))
deadline = time.time() + 30
while time.time() < deadline:
    if os.path.exists(sys.argv[1]) and b"Error of common initialization" in open(sys.argv[1], "rb").read():
        break
    time.sleep(0.002)
for display in held:
    xlib.XCloseDisplay(display)
EOF
filler=$!
for _ in $(seq 200); do [ -s "$work/filler-ready" ] && break; sleep 0.05; done
[ -s "$work/filler-ready" ] || fail "limit: the server was not filled"
rm -f "$log"
"$work/velmora" /s 2>"$work/limit.stderr" & pid=$!
wait_for_line "   Notify : Error of common initialization" || fail "limit: the render thread did not fail"
wait "$filler"
wait_for_line "   Notify : Exit with error" || fail "limit: the failed start was not heard"
box=""
for _ in $(seq 100); do
  # xdotool matches names without regard to case: the saver's own "Screen Saver" is sorted out.
  for id in $(xdotool search --onlyvisible --name '^Screen saver$' 2>/dev/null); do
    xprop -id "$id" WM_NAME | grep -q '= "Screen saver"$' && box=$id
  done
  [ -n "$box" ] && break
  sleep 0.1
done
# The box needs a connection of its own: should it lose the race for the slots let go above, its
# text goes to stderr, as where no display can be opened.
[ -n "$box" ] || grep -qxF "Screen saver: Error of scene initialization" "$work/limit.stderr" ||
  fail "limit: no message box; stderr: $(cat "$work/limit.stderr")"
saver=$(xwininfo -root -tree | awk '/"Screen Saver": \("velmora" "WindowsScreenSaverClass"\)/ {print $1}')
[ -n "$saver" ] && { xwininfo -id "$saver" | grep -q IsUnMapped || fail "limit: the saver still covers the screen"; }
kill -TERM "$pid"
finish "$pid"; code=$?
[ "$code" -eq 0 ] || fail "limit: exit status $code (124: still running)"
tail -n 1 "$log" | grep -qxF "   Notify : FPS = -1" || { fail "limit: the log does not end with FPS = -1"; cat "$log"; }
kill "$server"
wait "$server" 2>/dev/null

[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
