# The saver on a Wayland compositor: headless sway with the pixman renderer (sway refuses root,
# so as root everything runs as a throw-away ordinary user). Under XWayland, `/s` stays up, covers
# the output and closes by SIGTERM and by the pointer.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb (whose display it does not use).
set -u
build=$1
work=$(mktemp -d /tmp/velmora-sway.XXXXXX)
chmod 755 "$work"
cp "$build/platform/x11/velmora" "$build/platform/x11/velmora-gtk.so" "$work/"
log=$work/velmora.log
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash
for tool in sway swaymsg grim convert; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/bootstrap)"; exit 1; }
done

as_user=()
user=""
if [ "$(id -u)" -eq 0 ]; then
  user=velmora-sway-$$
  useradd --no-create-home --home-dir "$work" --shell /usr/sbin/nologin "$user" ||
    { echo "FAIL: cannot add the user $user"; exit 1; }
  chown -R "$user" "$work"
  as_user=(runuser -u "$user" --)
fi
runtime=$work/run
"${as_user[@]}" mkdir -m 700 "$runtime"
cleanup() {
  [ -n "${sway_pid:-}" ] && kill "$sway_pid" 2>/dev/null && wait "$sway_pid" 2>/dev/null
  [ -n "$user" ] && { pkill -KILL -u "$user"; userdel "$user"; }
  [ "$failures" -eq 0 ] && rm -rf "$work"
}
trap cleanup EXIT

# The compositor's environment: its own runtime folder, no input devices, XWayland on demand.
printf 'xwayland enable\noutput HEADLESS-1 resolution 800x600\n' >"$work/sway.conf"
env_of=(env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work" XDG_RUNTIME_DIR="$runtime"
        XDG_CONFIG_HOME="$work/config" WLR_BACKENDS=headless WLR_RENDERER=pixman
        WLR_LIBINPUT_NO_DEVICES=1)
"${as_user[@]}" "${env_of[@]}" sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 & sway_pid=$!
for _ in $(seq 100); do
  sock=$(find "$runtime" -name 'sway-ipc.*.sock' 2>/dev/null | head -n 1)
  [ -n "$sock" ] && [ -S "$runtime/wayland-1" ] && break
  sleep 0.1
done
[ -n "${sock:-}" ] || { echo "FAIL: sway did not start"; cat "$work/sway.log"; exit 1; }
in_sway() { "${as_user[@]}" "${env_of[@]}" WAYLAND_DISPLAY=wayland-1 SWAYSOCK="$sock" "$@"; }

# Commands run inside the session (sway's exec, with its DISPLAY for XWayland); each leaves its
# pid and, once ended, its exit status in $work/<name>.pid and .status.
cat >"$work/launch" <<'LAUNCH'
#!/bin/sh
name=$1; shift
"$@" & echo $! >"$HOME/$name.pid"
wait $!; echo $? >"$HOME/$name.status"
LAUNCH
chmod 755 "$work/launch"
launch() {  # name, command...: starts it in the session and waits for its pid
  rm -f "$work/$1.pid" "$work/$1.status"
  in_sway swaymsg -q exec "$work/launch $*" || fail "$1: swaymsg exec failed"
  for _ in $(seq 100); do [ -s "$work/$1.pid" ] && return 0; sleep 0.05; done
  fail "$1: did not start"; return 1
}
status_of() {  # name: waits up to 5 s for its exit status
  for _ in $(seq 100); do [ -s "$work/$1.status" ] && { cat "$work/$1.status"; return; }; sleep 0.05; done
  echo "still running"
}
capture() { in_sway grim "$work/$1.png" || fail "grim could not capture"; }
pixel() { convert "$work/$1.png" -format "%[pixel:p{$2,$3}]" info:; }
# Share of the picture that is the saver's clear colour (26, 51, 51), in hundredths.
clear_share() { convert "$work/$1.png" -fill black +opaque 'srgb(26,51,51)' -fill white -opaque 'srgb(26,51,51)' -format '%[fx:int(100*mean)]' info:; }

echo "-- under XWayland"
launch xsaver env -u WAYLAND_DISPLAY "$work/velmora" /s
wait_for_line "   Notify : Scene has been initialized successfully" || fail "XWayland: no scene"
sleep 2
[ -s "$work/xsaver.status" ] && fail "XWayland: /s ended by itself with status $(cat "$work/xsaver.status")"
capture xwayland
share=$(clear_share xwayland)
[ "${share:-0}" -ge 50 ] || fail "XWayland: the clear colour covers ${share}% of the output"
kill -TERM "$(cat "$work/xsaver.pid")"
code=$(status_of xsaver)
[ "$code" = 0 ] || fail "XWayland: SIGTERM gave status $code"
tail -n 1 "$log" | grep -q '^   Notify : FPS = ' || fail "XWayland: log does not end with the frame-rate line"

exit "$failures"
