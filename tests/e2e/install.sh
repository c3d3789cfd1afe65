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
# The installed hack answers its options like the built one.
set +e
"$prefix/libexec/xscreensaver/velmora" -window-id junk
[ $? -eq 255 ]
