# scripts/deb-src-lists on the apt layouts a Debian machine has, each in a scratch folder.
# $1: source folder.
set -u
lists=$1/scripts/deb-src-lists
work=$(mktemp -d /tmp/velmora-deb-src.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

stock_sources='Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main non-free-firmware
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main non-free-firmware
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg'
stock_sources_src=${stock_sources//Types: deb/Types: deb-src}
stock_list='# deb-src http://deb.debian.org/debian bookworm main
deb http://deb.debian.org/debian bookworm main
  deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian-security bookworm-security main'
stock_list_src='deb-src http://deb.debian.org/debian bookworm main
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian-security bookworm-security main'
# A stanza turned off, and one that already lists both types, beside the stock one.
with_src_sources="$stock_sources

Types: deb deb-src
URIs: http://deb.debian.org/debian
Suites: trixie
Components: main"
off_sources='Types: deb
URIs: http://example.org/debian
Suites: bookworm
Components: main
Enabled: no'

# Case: name | debian.sources | sources.list | expected velmora-src.sources | expected .list
# ("-": no such file).
check() {
  local name=$1 sources=$2 list=$3 want_sources=$4 want_list=$5 apt=$work/$1 out
  mkdir -p "$apt/sources.list.d"
  [ "$sources" = - ] || printf '%s\n' "$sources" >"$apt/sources.list.d/debian.sources"
  [ "$list" = - ] || printf '%s\n' "$list" >"$apt/sources.list"
  printf '%s\n' "$off_sources" >"$apt/sources.list.d/off.sources"
  out=$("$lists" "$apt" 2>"$apt/stderr") || fail "$name: exit status $?: $(cat "$apt/stderr")"
  [ ! -s "$apt/stderr" ] || fail "$name: wrote to stderr: $(cat "$apt/stderr")"
  for kind in sources list; do
    local file=$apt/sources.list.d/velmora-src.$kind want
    [ $kind = sources ] && want=$want_sources || want=$want_list
    if [ "$want" = - ]; then
      [ ! -e "$file" ] || fail "$name: wrote $file"
    elif [ ! -f "$file" ]; then
      fail "$name: no $file"
    else
      [ "$(cat "$file")" = "$want" ] || fail "$name: $file is"$'\n'"$(cat "$file")"
      grep -qxF "$file" <<<"$out" || fail "$name: did not name $file"
    fi
  done
  # A second run finds the source lists and leaves everything as it is.
  out=$("$lists" "$apt") || fail "$name: second run: exit status $?"
  [ -z "$out" ] || fail "$name: second run wrote $out"
}
check deb822-only  "$stock_sources" - "$stock_sources_src" -
check legacy-only  - "$stock_list" - "$stock_list_src"
check both         "$stock_sources" "$stock_list" "$stock_sources_src" "$stock_list_src"
check deb822-has-src "$with_src_sources" "$stock_list" - -
check legacy-has-src "$stock_sources" "$stock_list
deb-src http://deb.debian.org/debian bookworm main" - -

# Failures: a non-zero exit and a line on stderr that says what.
refused() {  # name, expected text on stderr, apt folder
  local err
  err=$("$lists" "$3" 2>&1 >/dev/null) && fail "$1: exit status 0"
  grep -q "^deb-src-lists: .*$2" <<<"$err" || fail "$1: stderr was '$err'"
}
mkdir -p "$work/unwritable/sources.list.d/velmora-src.sources"  # a folder where the file goes
printf '%s\n' "$stock_sources" >"$work/unwritable/sources.list.d/debian.sources"
refused unwritable "cannot write .*velmora-src.sources" "$work/unwritable"
mkdir -p "$work/empty/sources.list.d"
refused "no entries" "no binary package source" "$work/empty"
refused "no folder" "no such folder" "$work/missing"
exit "$failures"
