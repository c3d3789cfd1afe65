# The saver modes with no X display to draw on: DISPLAY unset, or naming a server that is not
# there. Each is a failed start: status 255 and the reason on stderr, never a success.
# $1: build folder, $2: source folder.
set -u
build=$1
work=$(mktemp -d /tmp/velmora-nodisplay.XXXXXX)
cp "$build/platform/linux/velmora" "$build/platform/linux/velmora-gtk.so" "$work/"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A display number no server here listens on.
absent=:$((7000 + RANDOM % 2000))
while [ -e "/tmp/.X11-unix/X${absent#:}" ]; do absent=:$((7000 + RANDOM % 2000)); done

# Runs each command line with DISPLAY unset and naming the absent server: status 255, one line.
expect_refused() {  # the stderr line expected, then the command lines
  local said=$1 display tail code
  shift
  for display in unset "$absent"; do
    for tail in "$@"; do
      # shellcheck disable=SC2086
      if [ "$display" = unset ]; then
        env -u DISPLAY timeout 5 "$work/velmora" $tail 2>"$work/stderr"
      else
        DISPLAY=$display timeout 5 "$work/velmora" $tail 2>"$work/stderr"
      fi
      code=$?
      [ "$code" -eq 255 ] || fail "DISPLAY $display, '$tail': exit status $code, expected 255"
      [ "$(cat "$work/stderr")" = "$said" ] ||
        fail "DISPLAY $display, '$tail' said '$(cat "$work/stderr")'"
    done
  done
}

expect_refused "velmora: cannot open the X display" \
  "/s" "-s" "/p 1234" "/l 1234" "--root" "-root --fps" "--window-id 0x1234" \
  "--window-id=4660 --no-vsync"
# The settings dialog, asked for with no display, ran no dialog: 255 too, not the dialog's 1.
expect_refused "Velmora Screen Saver: settings dialog: no display" "/c" ""

[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
