# The saver on the Wayland compositors besides sway, each headless and run as a throw-away user
# (tests/support/compositor.bash):
# - KWin offers layer-shell: `/s` covers both of its outputs natively, the creature on the first
#   and the clear colour on the second; SIGTERM gives 0. At scale 1.5 it offers fractional scales:
#   the saver's buffers are at device size (1200 x 900 under a viewport of 800 x 600, as its
#   Wayland requests show) and the picture fills the output.
# - weston, cage and mutter offer no layer-shell: `/s` takes one full-screen xdg-shell toplevel
#   per output, natively even where XWayland is there (weston); `--x11 /s` still takes XWayland.
#   weston's and cage's pictures are checked; mutter offers no screenshot, so there the saver
#   only has to draw its scene and stay up. None of the three takes a virtual keyboard or
#   pointer here (cage 0.1.4 has neither protocol), so input is tested on sway (e2e_sway).
# - No compositor to connect to and no X display: status 255, and stderr says both.
# No compositor here can remove an output while it runs (compositor.bash; sway 1.7's headless
# backend also refuses `output NAME disable`): the covers' loss is tested with the registry's
# events in wayland_covers_test. An added output is covered in e2e_sway.
# A compositor that ends at its start on this machine is skipped (status 77 when nothing
# failed), one that is missing is a failure. Pictures and logs stay in /tmp on failure.
# VELMORA_PICTURES=FOLDER keeps a copy of every screenshot.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb (whose display it does not use).
set -u
build=$1
# shellcheck source=../support/compositor.bash
source "$2"/tests/support/compositor.bash
for tool in convert xwininfo grim weston-screenshooter /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/bootstrap)"; exit 1; }
done
/usr/bin/python3 -c 'import dbus' 2>/dev/null ||
  { echo "FAIL: python3-dbus is not installed (scripts/bootstrap)"; exit 1; }

failures=0
skipped=()
fail() { echo "FAIL: $comp_name: $*"; failures=$((failures + 1)); }
trap 'compositor_stop' EXIT

# Starts the compositor with the saver copied in; false (with the reason said) when it cannot.
begin() {  # compositor_start's arguments
  local status
  compositor_start "$@"
  status=$?
  # weston 10 once crashed at its start here in dozens of starts: one more try, said aloud.
  if [ "$status" -eq 1 ] && [[ "$comp_why" == *"ended at its start"* ]]; then
    echo "NOTE: $comp_why; starting it again"
    compositor_stop
    compositor_start "$@"
    status=$?
  fi
  if [ "$status" -eq 77 ]; then
    echo "SKIP: $comp_why"
    skipped+=("$1")
  elif [ "$status" -ne 0 ]; then
    fail "$comp_why"
  fi
  [ "$status" -eq 0 ] || { compositor_stop; return 1; }
  compositor_copy "$build/platform/linux/velmora" "$build/platform/linux/velmora-gtk.so"
  log=$comp_work/velmora.log
  failures_before=$failures
}
# Stops the compositor, keeping its folder where this part failed. With VELMORA_PICTURES set
# to a folder, the screenshots are copied there to be looked at.
end() {
  [ -z "${VELMORA_PICTURES:-}" ] || cp "$comp_work"/*.png "$VELMORA_PICTURES"/ 2>/dev/null
  if [ "$failures" -ne "$failures_before" ]; then
    comp_keep=1
    echo "   (kept: $comp_work)"
  fi
  compositor_stop
  comp_keep=0
}
wait_for_scene() {  # up to 30 s: the software driver compiles the shaders at the start, slowly
  for _ in $(seq 300); do
    grep -qxF "   Notify : Scene has been initialized successfully" "$log" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# Percent of PICTURE that is the saver's clear colour (26, 51, 51), and its pixels of other
# colours outside the banner's corner: the creature (and, on weston, the panel).
clear_share() {
  convert "$1" -fuzz 6% -fill black +opaque 'srgb(26,51,51)' -fill white -opaque 'srgb(26,51,51)' \
    -format '%[fx:int(100*mean)]' info:
}
creature_pixels() {
  local w h
  read -r w h < <(identify -format '%w %h' "$1")
  convert "$1" -fill 'srgb(26,51,51)' -draw "rectangle $((w * 7 / 10)),$((h * 3 / 4)) $w,$h" \
    -fuzz 6% -fill black -opaque 'srgb(26,51,51)' -fill white +opaque black -colorspace gray \
    -format '%[fx:round(mean*w*h)]' info:
}
# Screenshots (of the whole screen or one OUTPUT) until the clear colour covers at least 80 %
# and the creature shows, for up to 30 s; the last one stays in "$comp_work/NAME.png".
wait_picture() {  # name [output]
  local shot=$comp_work/$1.png
  for _ in $(seq 60); do
    if compositor_screenshot "$shot" ${2:+"$2"}; then
      [ "$(clear_share "$shot")" -ge 80 ] && [ "$(creature_pixels "$shot")" -ge 200 ] && return 0
    fi
    sleep 0.5
  done
  return 1
}
# The X window of the saver (its GL child where it has one), from the compositor's X display.
saver_x_window() {
  in_compositor xwininfo -root -tree 2>/dev/null |
    awk '/"Screen Saver"/ { id = $1; getline; if ($0 ~ /child/) { getline; id = $1 } print id; exit }'
}
# SIGTERM ends the saver with status 0.
terminate() {
  [ -s "$comp_work/saver.status" ] &&
    fail "the saver ended by itself with status $(cat "$comp_work/saver.status")"
  kill -TERM "$(cat "$comp_work/saver.pid")" 2>/dev/null
  local code
  code=$(compositor_status saver 10)
  [ "$code" = 0 ] || fail "SIGTERM gave status $code"
}

echo "-- no compositor and no X display: why, on stderr"
err=$(env -u DISPLAY WAYLAND_DISPLAY=velmora-no-such-socket-$$ XDG_RUNTIME_DIR=/tmp \
        "$build/platform/linux/velmora" /s 2>&1 </dev/null)
code=$?
[ "$code" -eq 255 ] || { echo "FAIL: status $code, not 255"; failures=$((failures + 1)); }
[ "$err" = "velmora: no Wayland compositor to connect to
velmora: cannot open the X display" ] || { echo "FAIL: stderr says: $err"; failures=$((failures + 1)); }

# Frames of the saver's own: no X window holds them.
no_x_window() {
  [ -z "$(saver_x_window)" ] || fail "the saver took an X window, not a native surface"
}
# The creature on picture $1, the clear colour all over $2.
all_clear() {  # picture
  [ "$(clear_share "$1")" -ge 99 ] ||
    fail "$1 is not all clear colour: $(clear_share "$1")%"
}
echo "-- KWin: layer-shell on two outputs, natively (no X display given)"
comp_extra_args=(--output-count 2)
if begin kwin 640 480; then
  compositor_launch saver "$comp_work/velmora" /s || fail "the saver did not start"
  wait_for_scene || fail "no scene"
  wait_picture kwin-first Virtual-0 || fail "no creature on the first output: $(clear_share "$comp_work/kwin-first.png")% clear colour, $(creature_pixels "$comp_work/kwin-first.png") other pixels"
  compositor_screenshot "$comp_work/kwin-second.png" Virtual-1 || fail "no screenshot of Virtual-1"
  all_clear "$comp_work/kwin-second.png"
  terminate
  end
fi
comp_extra_args=()

echo "-- weston: no layer-shell, so full-screen xdg-shell toplevels, before XWayland"
# Weston 10's XWayland crashes it at its start where another server left a stale socket in
# /tmp/.X11-unix without its lock file (tests killed beside this one): then without XWayland.
weston_x=xwayland
compositor_start weston 800 600 xwayland
case $? in
  0) compositor_stop ;;
  1) grep -q 'failed to bind to .*X11-unix' "$comp_work/compositor.log" 2>/dev/null &&
       { echo "NOTE: weston's XWayland found a stale X socket: weston without XWayland"; weston_x=""; }
     compositor_stop ;;
  *) compositor_stop ;;
esac
if begin weston 800 600 $weston_x; then
  compositor_launch saver "$comp_work/velmora" /s || fail "the saver did not start"
  wait_for_scene || fail "no scene"
  # Full screen goes over weston's panel: the whole output is looked at.
  wait_picture weston || fail "no creature: $(clear_share "$comp_work/weston.png")% clear colour, $(creature_pixels "$comp_work/weston.png") other pixels"
  no_x_window
  terminate
  # --x11 still picks XWayland.
  if [ -n "$weston_x" ]; then
    rm -f "$log"
    compositor_launch saver "$comp_work/velmora" --x11 /s || fail "--x11: the saver did not start"
    wait_for_scene || fail "--x11: no scene"
    [ -n "$(saver_x_window)" ] || fail "--x11: no saver window in the X display"
    terminate
  fi
  end
fi

echo "-- cage: no layer-shell, so a full-screen xdg-shell toplevel"
if begin cage 0 0; then
  # A capture of cage shows only the last frame's change of a lone full-screen surface
  # (compositor.bash), so the saver's partial frames would come out black around the creature:
  # here every frame is whole (the test seam, frames on for hours).
  compositor_launch saver env VELMORA_TEST_FRAMES=1:16:1000000:whole "$comp_work/velmora" /s ||
    fail "the saver did not start"
  wait_for_scene || fail "no scene"
  wait_picture cage || fail "no creature: $(clear_share "$comp_work/cage.png")% clear colour, $(creature_pixels "$comp_work/cage.png") other pixels"
  terminate
  end
fi

echo "-- KWin at scale 1.5: buffers at device size through a viewport"
if begin kwin 1200 900 1.5; then
  # The client's side of the protocol on its stderr: the compositor's preferred scale, the
  # viewport's destination and the buffers' size.
  compositor_launch saver env WAYLAND_DEBUG=1 "$comp_work/velmora" /s || fail "the saver did not start"
  wait_for_scene || fail "no scene"
  wait_picture kwin-scaled || fail "no creature at scale 1.5: $(clear_share "$comp_work/kwin-scaled.png")% clear colour, $(creature_pixels "$comp_work/kwin-scaled.png") other pixels"
  [ "$(identify -format '%wx%h' "$comp_work/kwin-scaled.png")" = 1200x900 ] ||
    fail "the screenshot is not in device pixels: $(identify -format '%wx%h' "$comp_work/kwin-scaled.png")"
  terminate
  trace=$comp_work/saver.out
  grep -qE 'wp_fractional_scale_v1@[0-9]+\.preferred_scale\(180\)' "$trace" ||
    fail "KWin sent no preferred scale of 180/120"
  grep -qE 'wp_viewport@[0-9]+\.set_destination\(800, 600\)' "$trace" ||
    fail "no viewport of the logical size 800 x 600"
  grep -qE 'create_buffer\(new id wl_buffer@[0-9]+, 0, 1200, 900,' "$trace" ||
    fail "no buffer of 1200 x 900: $(grep -oE 'create_buffer\(new id wl_buffer@[0-9]+, 0, [0-9]+, [0-9]+' "$trace" | sort | uniq -c | head -3)"
  grep -qE 'wl_surface@[0-9]+\.set_buffer_scale\([^1]' "$trace" &&
    fail "a buffer scale besides the viewport"
  end
fi

echo "-- mutter without XWayland: a full-screen xdg-shell toplevel"
if begin mutter 800 600; then
  compositor_launch saver "$comp_work/velmora" /s || fail "the saver did not start"
  wait_for_scene || fail "no scene"
  sleep 2
  terminate
  end
fi

if [ "$failures" -eq 0 ] && [ "${#skipped[@]}" -gt 0 ]; then
  echo "SKIP: ${skipped[*]} cannot run on this machine"
  exit 77
fi
exit "$failures"
