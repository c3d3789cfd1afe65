# The saver as it runs today on the Wayland compositors besides sway, each headless and run as a
# throw-away user (tests/support/compositor.bash):
# - KWin offers layer-shell: `/s` covers the output natively, the creature flies, SIGTERM gives 0.
#   At scale 1.5 it offers fractional scales: the saver's buffers are at device size (1200 x 900
#   under a viewport of 800 x 600, as its Wayland requests show) and the picture fills the output.
# - weston offers none: with XWayland, `/s` falls back to an X11 window, drawn and shown.
# - cage likewise through XWayland; its picture is checked inside the X server only, since a
#   capture of cage's output shows little more than the rectangles the partial frames damage
#   (compositor.bash says why; the output itself shows the window's whole buffer).
# - mutter without XWayland: no layer-shell and no X display, so `/s` and `--wayland /s` end
#   with status 255 and say why.
# A compositor that ends at its start on this machine is skipped (status 77 when nothing
# failed), one that is missing is a failure. Pictures and logs stay in /tmp on failure.
# VELMORA_PICTURES=FOLDER keeps a copy of every screenshot.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb (whose display it does not use).
set -u
build=$1
# shellcheck source=../support/compositor.bash
source "$2"/tests/support/compositor.bash
for tool in convert import xwininfo grim weston-screenshooter /usr/bin/python3; do
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
# Screenshots (cut by the optional CROP geometry) until the clear colour covers at least 80 %
# and the creature shows, for up to 30 s; the last one stays in "$comp_work/NAME.png".
wait_picture() {  # name [crop]
  local shot=$comp_work/$1.png
  for _ in $(seq 60); do
    if compositor_screenshot "$shot"; then
      [ -z "${2:-}" ] || convert "$shot" -crop "$2" +repage "$shot"
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

echo "-- KWin: layer-shell, natively (no X display given)"
if begin kwin 800 600; then
  compositor_launch saver "$comp_work/velmora" /s || fail "the saver did not start"
  wait_for_scene || fail "no scene"
  wait_picture kwin || fail "no creature on the covered output: $(clear_share "$comp_work/kwin.png")% clear colour, $(creature_pixels "$comp_work/kwin.png") other pixels"
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

echo "-- weston: no layer-shell, so an X11 window through XWayland"
if begin weston 800 600 xwayland; then
  compositor_launch saver "$comp_work/velmora" /s || fail "the saver did not start"
  wait_for_scene || fail "no scene"
  [ -n "$(saver_x_window)" ] || fail "no saver window in the X display"
  # Weston's panel stays over X11 windows, at the top: the picture is looked at below it.
  wait_picture weston 800x560+0+40 || fail "no creature below the panel: $(clear_share "$comp_work/weston.png")% clear colour, $(creature_pixels "$comp_work/weston.png") other pixels"
  terminate
  end
fi

echo "-- cage: no layer-shell, so an X11 window through XWayland"
if begin cage 0 0 xwayland; then
  compositor_launch saver "$comp_work/velmora" /s || fail "the saver did not start"
  wait_for_scene || fail "no scene"
  window=$(saver_x_window)
  [ -n "$window" ] || fail "no saver window in the X display"
  drawn=0
  for _ in $(seq 60); do
    in_compositor import -window "$window" "$comp_work/cage-x.png" 2>/dev/null &&
      [ "$(clear_share "$comp_work/cage-x.png")" -ge 80 ] &&
      [ "$(creature_pixels "$comp_work/cage-x.png")" -ge 200 ] && { drawn=1; break; }
    sleep 0.5
  done
  [ "$drawn" -eq 1 ] || fail "the X window holds no creature"
  compositor_screenshot "$comp_work/cage.png" &&
    echo "   cage's output as captured: $(clear_share "$comp_work/cage.png")% clear colour (mostly black, as said)"
  terminate
  end
fi

echo "-- mutter without XWayland: nothing to draw on"
if begin mutter 800 600; then
  for mode in "" --wayland; do
    in_compositor "$comp_work/velmora" $mode /s >"$comp_work/out" 2>"$comp_work/err" </dev/null &
    pid=$!
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "${mode:-/s} did not end"; }
    wait "$pid"
    code=$?
    [ "$code" -eq 255 ] || fail "${mode:-/s}: status $code, not 255"
    if [ -z "$mode" ]; then expected="velmora: cannot open the X display"
    else expected="velmora: no Wayland compositor with layer-shell to draw on"; fi
    grep -qxF "$expected" "$comp_work/err" || fail "${mode:-/s}: stderr says $(cat "$comp_work/err")"
  done
  end
fi

if [ "$failures" -eq 0 ] && [ "${#skipped[@]}" -gt 0 ]; then
  echo "SKIP: ${skipped[*]} cannot run on this machine"
  exit 77
fi
exit "$failures"
