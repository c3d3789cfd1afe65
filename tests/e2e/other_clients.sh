# What other X clients do to the real saver and its dialog:
# - another client destroys the settings dialog's window: the dialog ends as the window manager's
#   close does (status 1, nothing saved), without hanging.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb.
set -u
build=$1
source=$2
work=$(mktemp -d /tmp/velmora-clients.XXXXXX)
cp "$build/platform/x11/velmora" "$work/velmora"
cp "$build/platform/x11/velmora-gtk.so" "$work/"
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

[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
