# One headless Wayland compositor for a test, run as a throw-away ordinary user: sway refuses
# root, and KWin and mutter want a session bus of their own. Source it, then:
#
#   compositor_start NAME WIDTH HEIGHT [SCALE] [xwayland]
#       NAME: sway, kwin, weston, mutter or cage; one output of WIDTH x HEIGHT device pixels at
#       SCALE (default 1). Returns once a client can connect: 0; 1 when the compositor is not
#       installed, crashed or failed (why in $comp_why, its output in
#       "$comp_work/compositor.log"); 77 when it refused to start (an exit status, not a
#       signal), which this machine cannot give it (why in $comp_why). With
#       `xwayland` its clients get its X display in DISPLAY; without, they get no DISPLAY.
#   compositor_copy FILE...          copies FILEs into "$comp_work", which the user can read
#   in_compositor COMMAND...         runs COMMAND as the user, a client of the compositor
#   compositor_launch NAME COMMAND...  the same in the background; its pid lands in
#                                    "$comp_work/NAME.pid", its exit status in NAME.status
#   compositor_status NAME [SECONDS] that exit status, waited for (default 5 s), or "running"
#   compositor_screenshot FILE [OUTPUT]  the screen (or one output) as a PNG, in device
#                                    pixels; status 2 where the compositor offers no way
#   compositor_stop                  ends every process of the user, removes it and the folder
#
# What each compositor is here (Debian 12's packages, no graphics card):
#   sway    WLR_BACKENDS=headless WLR_RENDERER=pixman; SCALE through its config; more outputs
#           with `swaymsg create_output` (HEADLESS-2, ...). sway 1.7 cannot unplug an output,
#           and `output NAME disable` keeps its wl_output (headless, it even fails: "Failed to
#           commit output"). Screenshots: grim, per output.
#   kwin    kwin_wayland --virtual under dbus-run-session, OpenGL compositing on the software
#           rasterizer (the screenshot effect needs it; QPainter has none). The installed binary
#           carries a file capability, which no one may exec here: a copy of it is run.
#           Screenshots: org.kde.KWin.ScreenShot2 over D-Bus into a pipe, allowed to any
#           client by KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1. comp_extra_args=(--output-count 2)
#           gives two outputs of that size side by side (Virtual-0, Virtual-1). No way found
#           here to remove one while it runs (kscreen-doctor hangs or aborts headless).
#   weston  headless backend, desktop shell (its panel stays over X11 windows). --debug offers
#           weston-screenshooter to any client. The GL renderer (software) by default: the
#           pixman renderer's screenshots keep a surface's padding byte as alpha, so whatever
#           a client cleared with alpha 0 comes out transparent black. comp_weston_renderer=
#           --use-pixman picks it all the same.
#   mutter  mutter --headless --wayland --virtual-monitor WxH under dbus-run-session (SCALE is
#           ignored). No screenshots: only its screen cast, which needs PipeWire.
#   cage    headless wlroots, one output of wlroots' own size, 1280 x 720 (WIDTH, HEIGHT and
#           SCALE are ignored). It runs the session's first client as its application and ends
#           with it. Screenshots: grim, which lies for a window that covers the output alone:
#           cage shows that window's buffer directly (scan-out), a capture refuses that for one
#           frame ("Basic output test failed" in its log, once a capture), and cage then paints
#           only that frame's damage into a buffer of its own last painted before the window
#           came. So a client that damages only what changed (partial frames through XWayland,
#           weston-simple-damage) is captured black around its changes although the output
#           shows it whole; one that damages every frame whole is captured right.
#
# Nothing the user runs is a path into the caller's checkout, which may lie in a folder only
# root can read: everything it needs is copied into "$comp_work" (mode 0755).

comp_name=""
comp_work=""
comp_runtime=""
comp_user=""
comp_pid=""
comp_why=""
comp_xwayland=0
comp_env=()
comp_keep=0        # 1: compositor_stop keeps "$comp_work" (a failed test's evidence)
comp_extra_env=()  # NAME=VALUE added to the compositor's environment (WAYLAND_DEBUG=1)
comp_extra_args=() # options added to its command line (KWin: --output-count 2)
comp_weston_renderer=--use-gl
# The sanitizers' options as they were before compositor_start pointed them at copies in its
# folder, which compositor_stop removes; restored there.
declare -A comp_sanitizers_before=()

# As the throw-away user (oneself when not root), in the compositor's folder.
as_comp_user() {
  if [ -n "$comp_user" ]; then
    (cd "$comp_work" && runuser -u "$comp_user" -- "$@")
  else
    (cd "$comp_work" && "$@")
  fi
}

compositor_start() {  # name width height [scale] [xwayland]
  comp_name=$1
  comp_why=""
  local width=$2 height=$3 scale=1
  comp_xwayland=0
  case "${4:-}" in xwayland) comp_xwayland=1 ;; '') ;; *) scale=$4 ;; esac
  [ "${5:-}" = xwayland ] && comp_xwayland=1
  local binary
  case "$comp_name" in
    sway) binary=sway ;; kwin) binary=kwin_wayland ;; weston) binary=weston ;;
    mutter) binary=mutter ;; cage) binary=cage ;;
    *) comp_why="no such compositor: $comp_name"; return 1 ;;
  esac
  command -v "$binary" >/dev/null ||
    { comp_why="$binary is not installed (scripts/bootstrap)"; return 1; }
  comp_work=$(mktemp -d "/tmp/velmora-$comp_name.XXXXXX")
  chmod 0755 "$comp_work"
  [ "$comp_xwayland" -eq 0 ] || compositor_clear_stale_x_locks
  if [ "$(id -u)" -eq 0 ]; then
    comp_user=velmora-$comp_name-$$
    useradd --no-create-home --home-dir "$comp_work" --shell /usr/sbin/nologin "$comp_user" ||
      { comp_why="cannot add the user $comp_user"; comp_user=""; return 1; }
    chown "$comp_user": "$comp_work"
  fi
  comp_runtime=$comp_work/run
  as_comp_user mkdir -m 0700 "$comp_runtime"
  # An instrumented saver reads its sanitizers' suppressions from copies the user can read.
  # shellcheck source=other-user.bash
  source "${BASH_SOURCE[0]%/*}"/other-user.bash
  local var
  comp_sanitizers_before=()
  for var in ASAN_OPTIONS LSAN_OPTIONS TSAN_OPTIONS UBSAN_OPTIONS; do
    [ -z "${!var+set}" ] || comp_sanitizers_before[$var]=${!var}
  done
  share_sanitizer_options "$comp_work" || { comp_why="cannot share the sanitizers' options"; return 1; }

  # The session's first client leaves the environment the compositor gives its children
  # (DISPLAY, XAUTHORITY, the session bus) for in_compositor, and stays: cage ends with it.
  cat >"$comp_work/session" <<'SESSION'
#!/bin/sh
env | grep -E '^(WAYLAND_DISPLAY|DISPLAY|XAUTHORITY|SWAYSOCK|DBUS_SESSION_BUS_ADDRESS)=' >"$HOME/session.new"
mv "$HOME/session.new" "$HOME/session.env"
echo $$ >"$HOME/session.pid"
exec sleep 86400
SESSION
  # Runs a command of the test in the background, leaving its pid and exit status.
  cat >"$comp_work/launch" <<'LAUNCH'
#!/bin/sh
name=$1; shift
"$@" & echo $! >"$HOME/$name.pid"
wait $!; echo $? >"$HOME/$name.status"
LAUNCH
  chmod 0755 "$comp_work/session" "$comp_work/launch"

  local base=(env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$comp_work"
              XDG_RUNTIME_DIR="$comp_runtime" XDG_CONFIG_HOME="$comp_work/config"
              LIBGL_ALWAYS_SOFTWARE=1 LANG=C.UTF-8 "${comp_extra_env[@]}")
  # KWin and weston take the output's size in logical pixels.
  local command logical
  logical=$(awk -v w="$width" -v h="$height" -v s="$scale" \
              'BEGIN { printf "%d %d", w / s + 0.5, h / s + 0.5 }')
  case "$comp_name" in
    sway)
      # DISPLAY is set for the session only where the X server is up from the start.
      {
        if [ "$comp_xwayland" -eq 1 ]; then echo 'xwayland force'; else echo 'xwayland disable'; fi
        echo "output HEADLESS-1 resolution ${width}x${height} scale $scale"
        echo "exec $comp_work/session"
      } >"$comp_work/sway.conf"
      command=(WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
               sway -c "$comp_work/sway.conf" "${comp_extra_args[@]}")
      ;;
    kwin)
      cp /usr/bin/kwin_wayland "$comp_work/kwin_wayland"
      local x=()
      [ "$comp_xwayland" -eq 1 ] && x=(--xwayland)
      command=(KWIN_COMPOSE=O2 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1
               dbus-run-session -- "$comp_work/kwin_wayland" --virtual
               --width "${logical% *}" --height "${logical#* }" --scale "$scale" --socket wayland-velmora "${x[@]}" "${comp_extra_args[@]}"
               "$comp_work/session")
      write_kwin_screenshot
      ;;
    weston)
      {
        echo '[core]'
        [ "$comp_xwayland" -eq 1 ] && echo 'xwayland=true'
        echo '[autolaunch]'
        echo "path=$comp_work/session"
        # No on-screen keyboard: its client, started beside the session's, now and then
        # disconnected at once and took weston down with it (status 139) as it respawned.
        echo '[input-method]'
        echo 'path='
      } >"$comp_work/weston.ini"
      command=(weston --backend=headless-backend.so "$comp_weston_renderer"
               --width="${logical% *}" --height="${logical#* }" --scale="$scale" --socket=wayland-velmora --debug
               --config="$comp_work/weston.ini" "${comp_extra_args[@]}")
      ;;
    mutter)
      local x=(--no-x11)
      [ "$comp_xwayland" -eq 1 ] && x=()
      command=(dbus-run-session -- mutter --headless --wayland "${x[@]}"
               --wayland-display wayland-velmora --virtual-monitor "${width}x${height}"
               "${comp_extra_args[@]}" -- "$comp_work/session")
      ;;
    cage)
      command=(WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
               cage "${comp_extra_args[@]}" -- "$comp_work/session")
      ;;
  esac
  # A session of its own, so that its bus, X server and first client end with it.
  # shellcheck disable=SC2016  # expanded by that shell
  as_comp_user setsid sh -c 'echo $$ >"$0"; exec "$@"' "$comp_work/compositor.pgid" \
    "${base[@]}" "${command[@]}" >"$comp_work/compositor.log" 2>&1 &
  comp_pid=$!
  compositor_wait 30
}

# An X server's lock file whose process is gone, with its socket: left by a server that was
# killed, such as a throw-away user's XWayland. weston takes such a lock for stale only where it
# may remove it, and crashes (status 139) on the socket it then cannot bind; root clears them.
compositor_clear_stale_x_locks() {
  [ "$(id -u)" -eq 0 ] || return 0
  local lock pid
  for lock in /tmp/.X[0-9]*-lock; do
    [ -f "$lock" ] || continue
    pid=$(tr -dc 0-9 <"$lock")
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && continue
    local number=${lock#/tmp/.X}
    rm -f "$lock" "/tmp/.X11-unix/X${number%-lock}"
  done
}

# Waits up to SECONDS for the session's first client: the compositor then takes clients.
compositor_wait() {  # seconds
  for _ in $(seq $(($1 * 10))); do
    if [ -s "$comp_work/session.env" ]; then
      if [ "$comp_xwayland" -eq 0 ]; then
        mapfile -t comp_env < <(grep -v '^DISPLAY=' "$comp_work/session.env")
      elif grep -q '^DISPLAY=.' "$comp_work/session.env"; then
        mapfile -t comp_env <"$comp_work/session.env"
      else
        comp_why="$comp_name gave its clients no X display"
        return 1
      fi
      return 0
    fi
    if ! kill -0 "$comp_pid" 2>/dev/null; then
      wait "$comp_pid"
      local status=$?
      comp_why="$comp_name ended at its start (status $status): $(tail -n 3 "$comp_work/compositor.log" | tr '\n' ' ')"
      # A crash is a fault wherever it happens; an orderly refusal is the machine's limit.
      [ "$status" -gt 128 ] && return 1
      return 77
    fi
    sleep 0.1
  done
  comp_why="$comp_name did not start within $1 s: $(tail -n 3 "$comp_work/compositor.log" | tr '\n' ' ')"
  return 1
}

compositor_copy() {
  cp "$@" "$comp_work/"
}

in_compositor() {
  # The sanitizers' options as the test runs with them, for an instrumented saver.
  local sanitizers=() var
  for var in ASAN_OPTIONS LSAN_OPTIONS TSAN_OPTIONS UBSAN_OPTIONS; do
    [ -z "${!var:-}" ] || sanitizers+=("$var=${!var}")
  done
  as_comp_user env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$comp_work" \
    XDG_RUNTIME_DIR="$comp_runtime" XDG_CONFIG_HOME="$comp_work/config" LIBGL_ALWAYS_SOFTWARE=1 \
    LANG=C.UTF-8 "${sanitizers[@]}" "${comp_env[@]}" "$@"
}

compositor_launch() {  # name command...
  rm -f "$comp_work/$1.pid" "$comp_work/$1.status"
  in_compositor "$comp_work/launch" "$@" >"$comp_work/$1.out" 2>&1 &
  for _ in $(seq 100); do [ -s "$comp_work/$1.pid" ] && return 0; sleep 0.05; done
  return 1
}

compositor_status() {  # name [seconds]
  for _ in $(seq $((${2:-5} * 20))); do
    [ -s "$comp_work/$1.status" ] && { cat "$comp_work/$1.status"; return; }
    sleep 0.05
  done
  echo running
}

compositor_screenshot() {  # file [output]
  local shot=$comp_work/screenshot.png
  rm -f "$shot"
  case "$comp_name" in
    sway|cage)
      in_compositor grim ${2:+-o "$2"} "$shot" || return 1
      ;;
    kwin)
      local size
      size=$(in_compositor /usr/bin/python3 "$comp_work/kwin-screenshot" "$comp_work/screenshot.raw" \
               ${2:+"$2"}) || return 1
      convert -size "$size" -depth 8 "bgra:$comp_work/screenshot.raw" -alpha off "$shot" || return 1
      ;;
    weston)
      # The whole desktop, into a file named after the time in the working folder.
      [ -z "${2:-}" ] || { echo "weston's screenshooter takes the whole desktop only" >&2; return 2; }
      as_comp_user mkdir -p "$comp_work/shots"
      as_comp_user find "$comp_work/shots" -type f -delete
      in_compositor sh -c "cd '$comp_work/shots' && exec weston-screenshooter" || return 1
      cp "$(find "$comp_work/shots" -name '*.png' | head -n 1)" "$shot" 2>/dev/null || return 1
      ;;
    *)
      echo "$comp_name offers no screenshot here" >&2
      return 2
      ;;
  esac
  cp "$shot" "$1"
}

# KWin's screenshot: the raw picture comes through a pipe, rows `stride` bytes apart, 32 bits a
# pixel in the byte order B, G, R, A. Prints WIDTHxHEIGHT and writes the rows packed.
write_kwin_screenshot() {
  cat >"$comp_work/kwin-screenshot" <<'PYTHON'
import os, sys
import dbus
shot = dbus.Interface(dbus.SessionBus().get_object('org.kde.KWin', '/org/kde/KWin/ScreenShot2'),
                      'org.kde.KWin.ScreenShot2')
r, w = os.pipe()
# In device pixels, as the output shows it (the default is its logical size).
options = dbus.Dictionary({'native-resolution': True}, signature='sv')
if len(sys.argv) > 2:
    reply = shot.CaptureScreen(sys.argv[2], options, dbus.types.UnixFd(w))
else:
    reply = shot.CaptureWorkspace(options, dbus.types.UnixFd(w))
os.close(w)
with os.fdopen(r, 'rb') as pipe:
    data = pipe.read()
width, height, stride = int(reply['width']), int(reply['height']), int(reply['stride'])
if len(data) < stride * height:
    sys.exit('short picture: %d bytes' % len(data))
with open(sys.argv[1], 'wb') as out:
    for y in range(height):
        out.write(data[y * stride:y * stride + width * 4])
print('%dx%d' % (width, height))
PYTHON
}

compositor_stop() {
  [ -n "$comp_work" ] || return 0
  if [ -n "$comp_user" ]; then
    # Everything the user runs was started by this test.
    pkill -u "$comp_user" 2>/dev/null
    for _ in $(seq 30); do pgrep -u "$comp_user" >/dev/null || break; sleep 0.1; done
    pkill -KILL -u "$comp_user" 2>/dev/null
    for _ in $(seq 30); do pgrep -u "$comp_user" >/dev/null || break; sleep 0.1; done
    userdel "$comp_user" 2>/dev/null
    comp_user=""
  else
    # Without a user of its own: the compositor's session, what was launched from the folder,
    # and the commands and first client whose pids it holds (some compositors start their
    # clients in sessions of their own).
    local group pids
    group=$(cat "$comp_work/compositor.pgid" 2>/dev/null)
    pids=$(cat "$comp_work"/*.pid 2>/dev/null)
    pkill -f "$comp_work/" 2>/dev/null
    [ -n "$group" ] && kill -- "-$group" 2>/dev/null
    # shellcheck disable=SC2086  # one pid a word
    [ -n "$pids" ] && kill $pids 2>/dev/null
    for _ in $(seq 30); do
      pgrep -f "$comp_work/" >/dev/null || { [ -n "$group" ] && pgrep -g "$group" >/dev/null; } ||
        break
      sleep 0.1
    done
    pkill -KILL -f "$comp_work/" 2>/dev/null
    [ -n "$group" ] && kill -KILL -- "-$group" 2>/dev/null
    # shellcheck disable=SC2086
    [ -n "$pids" ] && kill -KILL $pids 2>/dev/null
  fi
  [ -n "$comp_pid" ] && wait "$comp_pid" 2>/dev/null
  comp_pid=""
  comp_env=()
  local var
  for var in "${!comp_sanitizers_before[@]}"; do export "$var=${comp_sanitizers_before[$var]}"; done
  comp_sanitizers_before=()
  [ "$comp_keep" -eq 1 ] || rm -rf "$comp_work"
  comp_work=""
}
