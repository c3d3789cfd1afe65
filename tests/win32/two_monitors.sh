#!/usr/bin/env bash
# The Windows saver full screen over two monitors side by side, under Wine: Wine's monitors are
# the X server's (tests/support/two-monitors.bash), and Windows puts the primary monitor at the
# origin of the virtual screen, so the primary on the right starts the saver's window left of 0.
# The picture belongs on the primary monitor, the other all clear colour.
# $1: Velmora.scr, $2: source folder, $3: a folder for the Wine prefix of this test (the monitors
# are read by the prefix's desktop, which must start on this server).
set -u
# shellcheck source=../support/saver-log.bash
source "$2"/tests/support/saver-log.bash
# shellcheck source=../support/two-monitors.bash
source "$2"/tests/support/two-monitors.bash
work=$(mktemp -d /tmp/velmora-win32-monitors.XXXXXX)
failures=0
start_two_monitors "$work"
export WINEPREFIX=$3 WINEARCH=win64 WINEDEBUG=-all LIBGL_ALWAYS_SOFTWARE=1
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
trap 'wineserver -k 2>/dev/null; stop_two_monitors; rm -rf "$work"' EXIT
cp "$1" "$work/Velmora.scr"
colours() { convert "$1" -crop "$2" +repage -unique-colors -format %w info:; }

for primary in DUMMY0 DUMMY1; do
  echo "-- primary $primary"
  xrandr --output "$primary" --primary
  # A new desktop process takes in the monitors as they are now.
  wineserver -k 2>/dev/null
  wineboot -i >/dev/null 2>&1
  wineserver -w
  (cd "$work" && exec wine Velmora.scr /s) >"$work/wine.out" 2>&1 &
  saver=$!
  at=0 other=1280
  [ "$primary" = DUMMY1 ] && at=1280 other=0
  banner_tries=150 banner_at "$at" 1280 720 || fail "$primary: no banner on the primary monitor"
  import -window root "$work/$primary.png"
  [ "$(colours "$work/$primary.png" "1280x720+$other+0")" -eq 1 ] ||
    fail "$primary: the other monitor shows more than the clear colour"
  [ "$(colours "$work/$primary.png" "1280x720+$at+0")" -gt 50 ] ||
    fail "$primary: no creature on the primary monitor"
  [ -n "${VELMORA_KEEP_PICTURES:-}" ] && cp "$work/$primary.png" "$VELMORA_KEEP_PICTURES/wine-$primary.png"
  wineserver -k 2>/dev/null
  wait "$saver"
done
[ "$failures" -eq 0 ] || exit 1
echo "two monitors under Wine ok"
