# For the tests of the desktop hosts (MATE's saver, xsecurelock), which find the saver only where
# the package puts it and run it as an ordinary user. `host_session BUILD USER` installs the
# package that the test e2e_host_package built from BUILD into BUILD/tests/host-package, makes
# the throw-away USER with a session bus of its own, and on exit ends USER's processes, removes
# USER and the package again. Root only: anywhere else the test is skipped (status 77); it
# refuses to replace a velmora package that is installed already. One such test at a time on
# the machine, since they share /usr. It sets $work, $user and $home, and offers as_user,
# pids_of and the picture checks.
host_session() {
  local deb
  deb=$(echo "$1"/tests/host-package/velmora_*.deb)
  user=$2
  [ "$(id -u)" -eq 0 ] || { echo "SKIP: installs the package, so runs as root only"; exit 77; }
  exec 9>/tmp/velmora-host-session.lock
  flock -w 300 9 || { echo "FAIL: another host test holds the lock"; exit 1; }
  if dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q 'install ok installed'; then
    echo "FAIL: a velmora package is installed here already; remove it to run this test"
    exit 1
  fi
  work=$(mktemp -d /tmp/velmora-host.XXXXXX)
  trap host_cleanup EXIT
  [ -f "$deb" ] || { echo "FAIL: no package $deb"; exit 1; }
  dpkg_waiting -i "$deb" || { echo "FAIL: installing the package"; exit 1; }
  if id "$user" >/dev/null 2>&1; then userdel -r "$user" 2>&1; fi
  useradd -m "$user" || { echo "FAIL: useradd $user"; exit 1; }
  home=$(getent passwd "$user" | cut -d: -f6)
  runtime=$work/run
  mkdir -m 0700 "$runtime" && chown "$user": "$runtime"
  chmod 0755 "$work"
  # The user may not read the checkout or the build, nor start in the folder the test runs in.
  # shellcheck source=other-user.bash
  source "${BASH_SOURCE[0]%/*}"/other-user.bash
  share_sanitizer_options "$work" || exit 1
  cd "$work" || exit 1
  local bus_pid
  read -r bus bus_pid < <(as_user dbus-daemon --session --fork --print-address=1 --print-pid=1 |
                          paste -sd' ')
  [ -n "${bus_pid:-}" ] || { echo "FAIL: no session bus for $user"; exit 1; }
}

host_cleanup() {
  local status=$?
  # Everything the throw-away user runs was started by this test.
  local left
  left=$(pgrep -u "$user" | paste -sd' ')
  [ -z "$left" ] || { kill $left; sleep 0.5; }
  left=$(pgrep -u "$user" | paste -sd' ')
  [ -z "$left" ] || kill -KILL $left
  userdel -r "$user" 2>&1 | grep -v 'mail spool' >&2
  if ! dpkg_waiting -r velmora; then
    echo "FAIL: removing the package"
    [ "$status" -ne 0 ] || status=1
  fi
  [ "$status" -ne 0 ] || rm -rf "$work"
  exit "$status"
}

# dpkg, waiting up to five minutes while another installation holds its lock; its output is
# shown when it fails.
dpkg_waiting() {
  for _ in $(seq 150); do
    dpkg "$@" >"$work/dpkg.log" 2>&1 && return 0
    grep -q 'lock' "$work/dpkg.log" || break
    sleep 2
  done
  cat "$work/dpkg.log"
  return 1
}

as_user() {
  runuser -u "$user" -- env DISPLAY="$DISPLAY" HOME="$home" XDG_RUNTIME_DIR="$runtime" \
    LIBGL_ALWAYS_SOFTWARE=1 ${bus:+DBUS_SESSION_BUS_ADDRESS=$bus} "$@"
}

# The user's processes running exactly this command line, one pid a line.
pids_of() { pgrep -u "$user" -fx "$1"; }

wait_until() {  # seconds, command...
  local tries=$(($1 * 10))
  for _ in $(seq "$tries"); do "${@:2}" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

# The X window a saver process was given, from its environment, as a number.
saver_window() {
  local value
  value=$(tr '\0' '\n' <"/proc/$1/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
  [ -n "$value" ] && printf '%d\n' "$value"
}

# Whether the screenshot FILE of a saver's window shows the creature: the corner is the saver's
# clear colour, and outside the banner's corner at least MIN pixels are something else.
creature_drawn() {  # file, min
  local size corner other
  size=$(identify -format '%w %h' "$1") || return 1
  set -- "$1" "$2" $size
  corner=$(convert "$1" -format '%[pixel:p{1,1}]' info:)
  [ "$corner" = "srgb(26,51,51)" ] || { echo "corner is $corner"; return 1; }
  other=$(convert "$1" -fill "$corner" -draw "rectangle $(($3 * 7 / 10)),$(($4 * 3 / 4)) $3,$4" \
            -fuzz 6% -fill black -opaque "$corner" -fill white +opaque black -colorspace gray \
            -format '%[fx:round(mean*w*h)]' info:)
  [ "$other" -ge "$2" ] || { echo "only $other pixels besides the background"; return 1; }
}

# A screenshot of window ID into FILE, cut from the screen (with whatever is drawn inside it).
shoot_window() {  # id, file
  local geometry
  geometry=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /^ +Width/ { w = $NF } /^ +Height/ { h = $NF } END { printf "%dx%d+%d+%d", w, h, x, y }')
  import -window root -crop "$geometry" +repage "$2"
}

# Screenshots of window ID into FILE until one shows the creature (creature_drawn with MIN), for
# up to SECONDS: on a loaded machine the saver's start may take a while. The last verdict if not.
wait_drawn() {  # seconds, id, file, min
  local verdict=""
  for _ in $(seq $(($1 * 2))); do
    shoot_window "$2" "$3" && verdict=$(creature_drawn "$3" "$4") && return 0
    sleep 0.5
  done
  echo "$verdict"
  return 1
}
