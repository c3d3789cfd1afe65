# Each window system can be left out: VELMORA_X11=OFF and VELMORA_WAYLAND=OFF configure, the
# table of window systems lists what was built, and the tools of the one left out go with it.
# scripts/test-variants builds both and runs their suites. $1: source folder.
set -u
src=$1
work=$(mktemp -d /tmp/velmora-variants.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

check() {  # option left off, the table's rows, tools that must be there, tools that must not
  local option=$1 rows=$2 present=$3 absent=$4 dir=$work/$1
  cmake -S "$src" -B "$dir" -D"$option"=OFF -DVELMORA_BUILD_BENCH=OFF >"$dir.log" 2>&1 \
    || { fail "$option=OFF: configure failed"; cat "$dir.log"; return; }
  local table targets
  table=$(grep -o '&[a-z0-9]*::windowSystem' "$dir/generated/WindowSystemList.cpp" | tr '\n' ' ')
  [ "$table" = "$rows" ] || fail "$option=OFF: the table is '$table', not '$rows'"
  targets=$(cmake --build "$dir" --target help 2>&1)
  for t in $present; do
    printf '%s\n' "$targets" | grep -q "\.\.\. $t\$" || fail "$option=OFF: no target $t"
  done
  for t in $absent; do
    printf '%s\n' "$targets" | grep -q "\.\.\. $t\$" && fail "$option=OFF: target $t is there"
  done
}

check VELMORA_WAYLAND '&x11::windowSystem ' "velmora snapshot xtestwindow" "wlpointer velmora_wayland"
check VELMORA_X11 '&wayland::windowSystem ' "velmora wlpointer" "snapshot xtestwindow velmora_x11"
# Both left out is refused at once, with the reason.
cmake -S "$src" -B "$work/none" -DVELMORA_X11=OFF -DVELMORA_WAYLAND=OFF >"$work/none.log" 2>&1 \
  && fail "a build without a window system configured"
grep -q "needs a window system" "$work/none.log" || fail "no reason given for refusing no window system"
exit "$failures"
