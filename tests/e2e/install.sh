# `cmake --install` lays the saver out where XScreenSaver looks for it.
# $1: build folder, $2: source folder.
set -eu
prefix=$(mktemp -d /tmp/velmora-install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
test -x "$prefix/libexec/xscreensaver/velmora"
xml=$prefix/share/xscreensaver/config/velmora.xml
grep -q '_label="Velmora"' "$xml"
grep -q '<command arg="--root"/>' "$xml"
desktop=$prefix/share/applications/velmora-settings.desktop
grep -q '^Exec=.*/libexec/xscreensaver/velmora /c$' "$desktop"
grep -qx "Exec=$prefix/libexec/xscreensaver/velmora --root" "$prefix/share/applications/screensavers/velmora.desktop"
# The installed hack answers its options like the built one.
set +e
"$prefix/libexec/xscreensaver/velmora" -window-id junk
[ $? -eq 255 ]
# It finds its GTK module where the installation put it: no display is the only complaint.
test -f "$prefix/lib/velmora/velmora-gtk.so" || exit 1
env -u DISPLAY "$prefix/libexec/xscreensaver/velmora" /c 2>"$prefix/stderr"
[ $? -eq 255 ] && grep -qx 'Velmora Screen Saver: settings dialog: no display' "$prefix/stderr"
