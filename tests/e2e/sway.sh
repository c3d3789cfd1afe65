# The saver on a Wayland compositor: headless sway with the pixman renderer (sway refuses root,
# so as root everything runs as a throw-away ordinary user). Natively: swayidle starts it, it
# covers every output (the creature on the first, the clear colour on the others; each surface
# opaque, the clear ones given one buffer and left alone, as its Wayland requests show), a key and
# SIGTERM end it with status 0. Under XWayland (--x11), `/s` stays up, covers the output and ends
# by SIGTERM. At output scale 2 the picture is drawn at device pixels, from the start and after a
# change of scale while it runs, and the frame-rate text keeps its size to the eye. The same
# flight (VELMORA_TEST_FRAMES) ends on the same picture, pixel for pixel, in whole and partial
# frames, across a stretch out of view and a change of scale. The pointer is the build's
# tools/wlpointer, a virtual pointer: a headless sway has no input devices.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb (whose display it does not use).
set -u
build=$1
work=$(mktemp -d /tmp/velmora-sway.XXXXXX)
chmod 755 "$work"
# As another user, the saver may not read the checkout or the build: it gets copies of all it
# needs, and starts in the work folder.
cp "$build/platform/linux/velmora" "$build/platform/linux/velmora-gtk.so" "$build/tools/wlpointer" "$work/"
log=$work/velmora.log
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash
# shellcheck source=../support/other-user.bash
source "$2"/tests/support/other-user.bash
share_sanitizer_options "$work" || exit 1
cd "$work" || exit 1
for tool in sway swaymsg swayidle grim wtype convert; do
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
# Share of the picture that is the saver's clear colour (26, 51, 51; EGL rounds its red to 25),
# in hundredths.
clear_share() { convert "$work/$1.png" -fuzz 1% -fill black +opaque 'srgb(26,51,51)' -fill white -opaque 'srgb(26,51,51)' -format '%[fx:int(100*mean)]' info:; }

# Colours in the middle of the output other than the clear colour: the creature.
creature_colours() { convert "$work/$1.png" -gravity center -crop 300x300+0+0 +repage -fuzz 1% -fill black -opaque 'srgb(26,51,51)' -unique-colors -format %w info:; }

# Captures the output until the clear colour covers most of it, for up to 20 s: the software
# driver compiles the shaders at the first frame, which takes seconds on a loaded machine.
wait_covered() {  # name [output]
  for _ in $(seq 40); do
    if [ -n "${2:-}" ]; then in_sway grim -o "$2" "$work/$1.png"; else in_sway grim "$work/$1.png"; fi ||
      { fail "grim could not capture"; return 1; }
    [ "$(clear_share "$1")" -ge 90 ] && return 0
    sleep 0.5
  done
  return 1
}
# Captures the middle of the first output until the creature shows, for up to 20 s.
wait_creature() {  # name
  for _ in $(seq 40); do
    in_sway grim -o HEADLESS-1 "$work/$1.png" || { fail "grim could not capture"; return 1; }
    [ "$(creature_colours "$1")" -ge 10 ] && return 0
    sleep 0.5
  done
  return 1
}

echo "-- started by swayidle, ended on activity"
rm -f "$log"
# Once only: idle again after the saver ends, swayidle would start another beside the later steps.
in_sway swayidle timeout 1 "mkdir $work/idle.once 2>/dev/null && $work/launch idle $work/velmora /s" \
  resume "kill -TERM \$(cat $work/idle.pid)" >"$work/swayidle.log" 2>&1 & idle_pid=$!
for _ in $(seq 100); do [ -s "$work/idle.pid" ] && break; sleep 0.05; done
[ -s "$work/idle.pid" ] || fail "swayidle did not start the saver"
wait_for_line "   Notify : Scene has been initialized successfully" || fail "swayidle: no scene"
wait_covered idle || fail "swayidle: the clear colour covers $(clear_share idle)% of the output"
wait_creature idle || fail "swayidle: no creature in the middle ($(creature_colours idle) colours)"
# The seat gains its keyboard with wtype's virtual one: the key comes after a pause, so that the
# saver holds the keyboard by then (a second, on a loaded machine). The key, or swayidle's resume
# (SIGTERM), ends it.
in_sway wtype -s 1000 a
code=$(status_of idle)
[ "$code" = 0 ] || fail "swayidle: activity gave status $code"
tail -n 1 "$log" | grep -q '^   Notify : FPS = ' || fail "swayidle: log does not end with the frame-rate line"
# swayidle itself, not only the runuser before it.
pkill -f "swayidle timeout 1 mkdir $work/idle.once"
kill "$idle_pid" 2>/dev/null; wait "$idle_pid" 2>/dev/null

echo "-- a key"
launch key "$work/velmora" /s
wait_for_line "   Notify : Scene has been initialized successfully" || fail "key: no scene"
# The surface is mapped, and can hold the keyboard, only once its first frame is shown.
wait_covered key || fail "key: the output is not covered"
in_sway wtype -s 1000 a
code=$(status_of key)
[ "$code" = 0 ] || fail "the key gave status $code"

echo "-- pointer motion: 2 pixels stay, 5 more end it"
launch move "$work/velmora" /s
wait_for_line "   Notify : Scene has been initialized successfully" || fail "motion: no scene"
wait_covered move || fail "motion: the output is not covered"
# The first motion brings the pointer into the saver's surface: it counts from there.
in_sway "$work/wlpointer" 0 0 2 1 || fail "wlpointer failed"
sleep 0.5
[ -s "$work/move.status" ] && fail "a motion of 2 pixels ended the saver"
in_sway "$work/wlpointer" 0 0 4 3 || fail "wlpointer failed"
code=$(status_of move)
[ "$code" = 0 ] || fail "a motion of 5 pixels gave status $code"

# White pixels of the frame-rate text in the top left corner of the first output, for up to 20 s.
wait_text() {  # name
  for _ in $(seq 40); do
    in_sway grim -o HEADLESS-1 "$work/$1.png" || { fail "grim could not capture"; return 1; }
    [ "$(convert "$work/$1.png" -crop 120x16+0+0 +repage -fill black +opaque white -fill white -opaque white -format '%[fx:int(w*h*mean)]' info:)" -ge 20 ] && return 0
    sleep 0.5
  done
  return 1
}

echo "-- SIGTERM, the frame-rate text, and two outputs, then a third"
in_sway swaymsg -q create_output || fail "swaymsg create_output failed"
sleep 0.5
rm -f "$log"
"${as_user[@]}" mkdir -p "$work/config/Korvantel"
printf '[Software\\Korvantel\\Velmora Screen Saver]\nEnableFPS=1\n' |
  "${as_user[@]}" tee "$work/config/Korvantel/Velmora Screen Saver.conf" >/dev/null
# The saver's Wayland requests go to a trace: every cover is opaque, and only the creature's gets
# buffers frame after frame.
cat >"$work/traced" <<'TRACED'
#!/bin/sh
WAYLAND_DEBUG=1 exec "$HOME/velmora" "$@" 2>"$HOME/trace.log"
TRACED
chmod 755 "$work/traced"
launch term "$work/traced" /s
wait_for_line "   Notify : Scene has been initialized successfully" || fail "SIGTERM: no scene"
wait_covered first HEADLESS-1 || fail "two outputs: the first is not covered"
in_sway grim -o HEADLESS-2 "$work/second.png" || fail "grim could not capture HEADLESS-2"
wait_creature first || fail "two outputs: no creature on the first"
wait_text text || fail "no frame-rate text in the top left corner"
[ "$(clear_share second)" -eq 100 ] || fail "two outputs: the second is not all clear colour"
# An output that comes while the saver runs is covered too.
in_sway swaymsg -q create_output || fail "swaymsg create_output failed"
wait_covered third HEADLESS-3 || fail "a new output is not covered"
[ -s "$work/term.status" ] && fail "SIGTERM: ended by itself with status $(cat "$work/term.status")"
sleep 1  # a second of frames, and the third output's configure
kill -TERM "$(cat "$work/term.pid")"
code=$(status_of term)
[ "$code" = 0 ] || fail "SIGTERM gave status $code"
# Per surface the saver made: opaque regions set, buffers attached. Three covers: the creature's
# attaches one a frame, the clear ones one each, whatever configures come.
awk '/ -> wl_compositor@[0-9]+\.create_surface\(new id wl_surface@/ {
       match($0, /wl_surface@[0-9]+/); id = substr($0, RSTART, RLENGTH); made[id] = 1 }
     / -> wl_surface@[0-9]+\.set_opaque_region\(wl_region@/ {
       match($0, /wl_surface@[0-9]+/); opaque[substr($0, RSTART, RLENGTH)]++ }
     / -> wl_surface@[0-9]+\.attach\(wl_buffer@/ {
       match($0, /wl_surface@[0-9]+/); attached[substr($0, RSTART, RLENGTH)]++ }
     END { for (id in made) print id, opaque[id] + 0, attached[id] + 0 }' "$work/trace.log" >"$work/surfaces"
[ "$(wc -l <"$work/surfaces")" -eq 3 ] || fail "trace: $(wc -l <"$work/surfaces") surfaces, not 3"
[ "$(awk '$2 == 0' "$work/surfaces" | wc -l)" -eq 0 ] || fail "trace: a surface without an opaque region: $(cat "$work/surfaces")"
[ "$(awk '$3 > 10' "$work/surfaces" | wc -l)" -eq 1 ] || fail "trace: not one surface with a buffer a frame: $(cat "$work/surfaces")"
[ "$(awk '$3 == 1' "$work/surfaces" | wc -l)" -eq 2 ] || fail "trace: the clear covers took more than one buffer: $(cat "$work/surfaces")"

echo "-- under XWayland"
rm -f "$log" "$work/config/Korvantel/Velmora Screen Saver.conf"
launch xsaver "$work/velmora" --x11 /s
wait_for_line "   Notify : Scene has been initialized successfully" || fail "XWayland: no scene"
wait_covered xwayland HEADLESS-1 || fail "XWayland: the clear colour covers $(clear_share xwayland)% of the output"
sleep 1
[ -s "$work/xsaver.status" ] && fail "XWayland: /s ended by itself with status $(cat "$work/xsaver.status")"
kill -TERM "$(cat "$work/xsaver.pid")"
code=$(status_of xsaver)
[ "$code" = 0 ] || fail "XWayland: SIGTERM gave status $code"
tail -n 1 "$log" | grep -q '^   Notify : FPS = ' || fail "XWayland: log does not end with the frame-rate line"

# Percent of the creature's pixels (those not of the clear colour) that differ from the picture
# made of 2 x 2 blocks by one pixel of each: 0 for a buffer of the logical size stretched twice.
detail_share() {  # name
  local other differ
  other=$(convert "$work/$1.png" -fuzz 1% -fill black -opaque 'srgb(26,51,51)' -fill white +opaque black \
    -colorspace gray -format '%[fx:round(mean*w*h)]' info:)
  differ=$(convert "$work/$1.png" \( +clone -sample 50% -sample 200% \) -compose difference -composite \
    -colorspace gray -threshold 0 -format '%[fx:round(mean*w*h)]' info:)
  [ "$other" -gt 0 ] || { echo 0; return; }
  echo $((differ * 100 / other))
}
# Rows of the frame-rate text's white glyphs in the top left corner: 7 at scale 1.
text_rows() { convert "$work/$1.png" -crop 240x40+0+0 +repage -fill black +opaque white -trim -format %h info:; }
# Captures HEADLESS-1 until the creature shows with detail at device pixels, for up to 20 s.
wait_detail() {  # name
  for _ in $(seq 40); do
    in_sway grim -o HEADLESS-1 "$work/$1.png" || { fail "grim could not capture"; return 1; }
    [ "$(creature_colours "$1")" -ge 10 ] && [ "$(detail_share "$1")" -ge 20 ] && return 0
    sleep 0.5
  done
  return 1
}

echo "-- output scale 2: device pixels, from the start and after a change"
printf '[Software\\Korvantel\\Velmora Screen Saver]\nEnableFPS=1\n' |
  "${as_user[@]}" tee "$work/config/Korvantel/Velmora Screen Saver.conf" >/dev/null
in_sway swaymsg -q output HEADLESS-1 scale 2 || fail "swaymsg could not scale the output"
rm -f "$log"
launch scaled "$work/velmora" /s
wait_for_line "   Notify : Scene has been initialized successfully" || fail "scale 2: no scene"
wait_covered scaled HEADLESS-1 || fail "scale 2: the clear colour covers $(clear_share scaled)% of the output"
[ "$(identify -format %w "$work/scaled.png")" -eq 800 ] || fail "scale 2: grim gave no picture in device pixels"
wait_detail scaled || fail "scale 2: $(detail_share scaled)% of the creature's pixels hold detail below 2 x 2 blocks"
rows=$(text_rows scaled)
[ "$rows" -ge 14 ] && [ "$rows" -le 16 ] || fail "scale 2: the frame-rate text is $rows pixels high, not 14"
in_sway swaymsg -q output HEADLESS-1 scale 1 || fail "swaymsg could not scale the output"
wait_covered unscaled HEADLESS-1 || fail "back to scale 1: the clear colour covers $(clear_share unscaled)% of the output"
wait_creature unscaled || fail "back to scale 1: no creature"
rows=$(text_rows unscaled)
[ "$rows" -ge 7 ] && [ "$rows" -le 8 ] || fail "scale 1: the frame-rate text is $rows pixels high, not 7"
in_sway swaymsg -q output HEADLESS-1 scale 2 || fail "swaymsg could not scale the output"
wait_detail rescaled || fail "scale 2 while running: $(detail_share rescaled)% of the creature's pixels hold detail"
[ -s "$work/scaled.status" ] && fail "scale 2: ended by itself with status $(cat "$work/scaled.status")"
kill -TERM "$(cat "$work/scaled.pid")"
code=$(status_of scaled)
[ "$code" = 0 ] || fail "scale 2: SIGTERM gave status $code"
in_sway swaymsg -q output HEADLESS-1 scale 1
[ -z "${VELMORA_PICTURES:-}" ] || cp "$work"/scaled.png "$work"/unscaled.png "$work"/rescaled.png "$VELMORA_PICTURES"/

echo "-- the same flight, whole frames and partial ones: the same picture"
# VELMORA_TEST_FRAMES makes the run repeatable and keeps its last frame on screen. Partial frames
# are drawn offscreen and copied into the saver's own buffers, with only the change damaged
# (EGL's buffer age and swap with damage where the driver has them). Seed 1, at the default
# settings (no frame-rate text, which changes every frame), leaves the view around frame 450 and
# is back by frame 500, and the output's scale goes to 2 while it flies (the buffer keeps its
# 800 x 600 pixels; one frame is whole). Seed 5 has the frame-rate text.
mkdir -p "$work/defaults"
cat >"$work/framed" <<'FRAMED'
#!/bin/sh
[ "$2" = defaults ] && export XDG_CONFIG_HOME="$HOME/defaults"
VELMORA_TEST_FRAMES=$1 exec "$HOME/velmora" /s 2>"$HOME/framed.err"
FRAMED
chmod 755 "$work/framed"
framed_picture() {  # seed, frames, whole|partial, [defaults]: leaves $work/framed-<mode>.png
  rm -f "$work/framed.err"
  launch "framed-$3" "$work/framed" "$1:16:$2:$3" "${4:-}" || return 1
  if [ -n "${4:-}" ]; then
    sleep 3
    in_sway swaymsg -q output HEADLESS-1 scale 2 || fail "swaymsg could not scale the output"
    grep -q '^velmora: test frames drawn' "$work/framed.err" &&
      fail "$3: the frames were drawn before the scale changed"
  fi
  for _ in $(seq 900); do
    grep -q '^velmora: test frames drawn' "$work/framed.err" 2>/dev/null && break
    sleep 0.05
  done
  grep -q '^velmora: test frames drawn' "$work/framed.err" ||
    { fail "$3: frame $2 never came: $(cat "$work/framed.err")"; kill -TERM "$(cat "$work/framed-$3.pid")"; return 1; }
  in_sway grim -o HEADLESS-1 "$work/framed-$3.png" || fail "grim could not capture"
  grep '^velmora: test frames drawn' "$work/framed.err"
  kill -TERM "$(cat "$work/framed-$3.pid")"
  status_of "framed-$3" >/dev/null
  in_sway swaymsg -q output HEADLESS-1 scale 1
}
# The creature's pixels, above the banner and beside the frame-rate text.
creature_pixels() {
  convert "$work/$1.png" -fill 'srgb(26,51,51)' -draw 'rectangle 0,0 160,40' \
    -crop 800x500+0+0 +repage -fuzz 2% -fill black -opaque 'srgb(26,51,51)' -fill white \
    +opaque black -format '%[fx:int(w*h*mean)]' info:
}
for run in "1 600 defaults" "5 300"; do
  read -r seed frames settings <<<"$run"
  framed_picture "$seed" "$frames" whole "$settings" || continue
  framed_picture "$seed" "$frames" partial "$settings" || continue
  summary=$(grep '^velmora: test frames drawn' "$work/framed.err")
  [[ "$summary" == *damage:* ]] || fail "seed $seed: the frames were not partial: $summary"
  if [ -n "$settings" ]; then
    unseen=$(sed -n 's/.* \([0-9]*\) with nothing to redraw.*/\1/p' <<<"$summary")
    [ "${unseen:-0}" -gt 0 ] || fail "seed $seed: the flight never left the view: $summary"
  fi
  differ=$(compare -metric AE "$work/framed-whole.png" "$work/framed-partial.png" null: 2>&1)
  [ "$differ" = 0 ] || fail "seed $seed: frame $frames differs between whole and partial frames in $differ pixels"
  [ "$(creature_pixels framed-whole)" -ge 200 ] || fail "seed $seed: the creature is out of view at frame $frames"
  [ -z "${VELMORA_PICTURES:-}" ] || cp "$work/framed-partial.png" "$VELMORA_PICTURES/framed-$seed.png"
done

exit "$failures"
