# The packages that scripts/package built with dpkg-buildpackage (the test e2e_host_package, into
# BUILD/tests/host-package): lintian's verdict on the binary and the source package, the binary
# package's layout, unpacked with dpkg-deb, its desktop entries and the unpacked saver's preview.
# $1: build folder, $2: source folder. Runs under tests/with-xvfb.
set -u
work=$(mktemp -d /tmp/velmora-package-test.XXXXXX)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
version=$(sed -n 's/^project(Velmora VERSION \([0-9.]*\).*/\1/p' "$2/CMakeLists.txt")
packages=$1/tests/host-package
deb=$packages/velmora_${version}_$(dpkg --print-architecture).deb
dsc=$packages/velmora_$version.dsc
[ -f "$deb" ] && [ -f "$dsc" ] || { echo "FAIL: no $deb and $dsc"; exit 1; }
dpkg-deb -x "$deb" "$work/root" || { echo "FAIL: dpkg-deb -x $deb"; exit 1; }
# Debian's own checks of both packages: no error and no warning (as root it warns about that).
lintian --fail-on error,warning "$deb" "$dsc" 2> >(grep -v 'running with root privileges' >&2) ||
  fail "lintian finds fault with the packages"
# The package's version is the project's; the dialog's title names it.
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package is not version $version"
zcat "$work/root/usr/share/man/man6/velmora.6.gz" | grep -q "\"Velmora $version\"" ||
  fail "the manual page does not name version $version"
grep -aq "Velmora Screen Saver v$version" "$work/root/usr/libexec/xscreensaver/velmora" ||
  fail "the settings dialog's title does not name version $version"
root=$work/root
for f in usr/libexec/xscreensaver/velmora usr/share/xscreensaver/config/velmora.xml \
         usr/share/applications/velmora-settings.desktop \
         usr/share/applications/screensavers/velmora.desktop usr/share/man/man6/velmora.6.gz \
         usr/share/doc/velmora/copyright usr/share/doc/velmora/changelog.gz \
         usr/share/doc/velmora/NEWS.gz; do
  [ -f "$root/$f" ] || fail "no /$f in the package"
done
grep -qx 'Exec=/usr/libexec/xscreensaver/velmora /c' "$root/usr/share/applications/velmora-settings.desktop" ||
  fail "desktop entry does not run /usr/libexec/xscreensaver/velmora"
# MATE's and Xfce's savers run the entry's Exec; the program it names must be the packaged one.
saver_entry=$root/usr/share/applications/screensavers/velmora.desktop
grep -qx 'Exec=/usr/libexec/xscreensaver/velmora --root' "$saver_entry" &&
  grep -qx 'TryExec=/usr/libexec/xscreensaver/velmora' "$saver_entry" ||
  fail "saver entry does not run /usr/libexec/xscreensaver/velmora --root"
for entry in "$root/usr/share/applications/velmora-settings.desktop" "$saver_entry"; do
  desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
done
dpkg-deb -f "$deb" Depends | grep -q 'libglew' || fail "Depends lacks the GLEW library"
dpkg-deb -f "$deb" Depends | grep -q 'libgtk-3' || fail "Depends lacks GTK, which the dialogs' module needs"
[ -n "$(find "$root/usr/lib" -name velmora-gtk.so)" ] || fail "no GTK module in the package"

# The unpacked saver finds its GTK module: with no display, that is its only complaint.
env -u DISPLAY "$root/usr/libexec/xscreensaver/velmora" /c 2>"$work/stderr"
[ $? -eq 255 ] && grep -qx 'Velmora Screen Saver: settings dialog: no display' "$work/stderr" ||
  fail "unpacked settings dialog without a display: $(cat "$work/stderr")"

# The unpacked saver previews in a window; its log is beside it when its folder is writable.
saver=$root/usr/libexec/xscreensaver/velmora
log=$(dirname "$saver")/velmora.log
"$1/tools/xtestwindow" 320 240 >"$work/id" & window_pid=$!
sleep 0.3
"$saver" /p "$(cat "$work/id")" & pid=$!
sleep 1.5
xwininfo -id "$(cat "$work/id")" -tree | grep -q '"Preview"' || fail "no preview from the unpacked saver"
kill -TERM "$pid"; wait "$pid" || fail "unpacked saver: SIGTERM did not end it with 0"
kill "$window_pid"; wait "$window_pid" 2>/dev/null
if [ -w "$(dirname "$saver")" ]; then
  grep -q 'Scene has been initialized successfully' "$log" || fail "no log beside the unpacked saver"
else
  [ ! -e "$log" ] || fail "a log in a folder that is not writable"
fi
[ "$failures" -eq 0 ] && rm -rf "$work"
exit "$failures"
