# Two 1280 x 720 monitors side by side on a server of the test's own: Xorg with its dummy video
# driver (xserver-xorg-video-dummy), whose sixteen outputs xrandr can light and place. Xvfb
# cannot serve: it lists none of the monitors `xrandr --setmonitor` adds, and its Xinerama
# screens all lie at 0,0.

# Starts the server with its files in folder $1, exports its DISPLAY, lights DUMMY0 (primary) at
# 0,0 and DUMMY1 right of it. Exits the script: 77 where an ordinary user may not start Xorg,
# 1 on any other failure.
start_two_monitors() {
  local xorg=/usr/lib/xorg/Xorg number fifo=$1/displayfd
  if [ ! -x "$xorg" ] || [ ! -e /usr/lib/xorg/modules/drivers/dummy_drv.so ]; then
    echo "FAIL: no Xorg with the dummy driver (scripts/bootstrap installs xserver-xorg-video-dummy)"
    exit 1
  fi
  # The screen may grow to two monitors; no input devices are looked for.
  cat >"$1/xorg.conf" <<'EOF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "1280x720" 74.25 1280 1390 1430 1650 720 725 730 750 +hsync +vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2560 720
    Modes "1280x720"
  EndSubSection
EndSection
EOF
  mkfifo "$fifo"
  "$xorg" -displayfd 3 -config "$1/xorg.conf" -logfile "$1/xorg.log" -nolisten tcp -noreset \
    3>"$fifo" >/dev/null 2>&1 &
  two_monitors_server=$!
  read -r -t 30 number <"$fifo"
  if [ -z "${number:-}" ]; then
    kill "$two_monitors_server" 2>/dev/null
    # An ordinary user may not be let open a console.
    [ "$(id -u)" -ne 0 ] && { echo "SKIP: Xorg does not start for this user"; exit 77; }
    echo "FAIL: Xorg did not start: $(tail -n 5 "$1/xorg.log")"
    exit 1
  fi
  export DISPLAY=":$number"
  if ! xrandr --addmode DUMMY1 1280x720 ||
    ! xrandr --output DUMMY1 --mode 1280x720 --right-of DUMMY0 --output DUMMY0 --primary; then
    echo "FAIL: xrandr could not light a second monitor"
    exit 1
  fi
  xrandr --listmonitors
}

stop_two_monitors() {
  kill "$two_monitors_server" 2>/dev/null
  wait "$two_monitors_server" 2>/dev/null
}
