# The installer under Wine: a silent install puts the saver into the 64-bit system folder and
# the Apps & Features entry into the 64-bit registry, chooses Velmora as the screen saver, and
# the installed saver runs; a silent uninstall through the entry's QuietUninstallString leaves
# nothing of the installer behind but keeps the user's settings, which /REMOVESETTINGS removes.
# $1: Velmora-<version>-setup.exe, $2: the saver it carries, $3: the version. Runs in the build's
# Wine prefix (tests/with-wine), under the Xvfb of scripts/test-win32.
set -u
setup=$1 saver=$2 version=$3
wine_run() { "$(dirname "$0")/../with-wine" "$@"; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
prefix=$(WINEPREFIX=${WINEPREFIX:-} bash -c 'dir=$PWD; while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done; echo "${WINEPREFIX:-$dir/wineprefix}"')
system=$prefix/drive_c/windows/system32
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora'
desktop='HKCU\Control Panel\Desktop'
settings='HKCU\Software\Korvantel\Velmora Screen Saver'
value() {  # key, name: the value's data, or nothing
  # Asked up to three times: under load one `reg query` of a run once printed nothing at all.
  local data tries
  for tries in 1 2 3; do
    data=$(wine_run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
      awk -v name="$2" '$1 == name { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print }')
    [ -z "$data" ] || break
  done
  echo "$data"
}
gone_within() {  # seconds, path
  for _ in $(seq $(($1 * 10))); do [ ! -e "$2" ] && return 0; sleep 0.1; done
  return 1
}

echo "-- silent install"
wine_run "$setup" /S || fail "the silent install ended with $?"
cmp -s "$saver" "$system/Velmora.scr" || fail "no Velmora.scr in the 64-bit system folder"
[ ! -e "$prefix/drive_c/windows/syswow64/Velmora.scr" ] || fail "Velmora.scr went to SysWOW64"
[ "$(value "$entry" DisplayName)" = "Velmora Screen Saver" ] || fail "no DisplayName in $entry"
[ "$(value "$entry" DisplayVersion)" = "$version" ] || fail "DisplayVersion is not $version"
[ "$(value "$entry" Publisher)" = "Korvantel" ] || fail "Publisher is not Korvantel"
for name in UninstallString QuietUninstallString EstimatedSize DisplayIcon; do
  [ -n "$(value "$entry" "$name")" ] || fail "no $name in $entry"
done
quiet=$(value "$entry" QuietUninstallString)
[ "${quiet%/S}" != "$quiet" ] || fail "QuietUninstallString '$quiet' does not end with /S"
# The command line split as Windows does: the quoted program, then its arguments.
quiet_program=${quiet#\"} quiet_program=${quiet_program%%\"*}
quiet_arguments=${quiet##*\" }
[ "$(value "$entry" DisplayIcon)" = 'C:\windows\system32\Velmora.scr' ] ||
  fail "DisplayIcon is '$(value "$entry" DisplayIcon)'"
[ "$(value "$desktop" SCRNSAVE.EXE)" = 'C:\windows\system32\Velmora.scr' ] ||
  fail "SCRNSAVE.EXE is '$(value "$desktop" SCRNSAVE.EXE)'"

echo "-- the installed saver runs"
rm -f "$system/Velmora.log"
wine_run 'C:\windows\system32\Velmora.scr' /s & pid=$!
for _ in $(seq 300); do
  grep -q 'Scene has been initialized successfully' "$system/Velmora.log" 2>/dev/null && break
  sleep 0.1
done
grep -q 'Scene has been initialized successfully' "$system/Velmora.log" 2>/dev/null ||
  fail "the installed saver did not start: $(cat "$system/Velmora.log" 2>/dev/null)"
# taskkill without /f closes its window, the way a close rule does.
wine_run taskkill /im Velmora.scr >/dev/null 2>&1
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  fail "the installed saver did not end on its close"
  wine_run taskkill /f /im Velmora.scr >/dev/null 2>&1
fi
wait "$pid" 2>/dev/null

echo "-- silent uninstall keeps the user's settings"
wine_run reg add "$settings" /v EnableFPS /d 1 /f >/dev/null
uninstaller=$prefix/drive_c/Program\ Files/Velmora/Uninstall.exe
[ -f "$uninstaller" ] || fail "no uninstaller in C:\\Program Files\\Velmora"
# As Apps & Features runs it: the uninstaller copies itself away and returns at once.
wine_run "$quiet_program" $quiet_arguments || fail "the silent uninstall ended with $?"
gone_within 30 "$(dirname "$uninstaller")" || fail "C:\\Program Files\\Velmora is still there"
sleep 1
[ ! -e "$system/Velmora.scr" ] || fail "Velmora.scr is still in the system folder"
[ ! -e "$system/Velmora.log" ] || fail "the saver's log is still in the system folder"
wine_run reg query "$entry" >/dev/null 2>&1 && fail "the Apps & Features entry is still there"
[ -z "$(value "$desktop" SCRNSAVE.EXE)" ] || fail "SCRNSAVE.EXE still names Velmora"
[ "$(value "$settings" EnableFPS)" = 1 ] || fail "the uninstall removed the user's settings"

echo "-- /REMOVESETTINGS removes them; another screen saver stays chosen"
wine_run "$setup" /S || fail "the second silent install ended with $?"
wine_run reg add "$desktop" /v SCRNSAVE.EXE /d 'C:\windows\system32\Other.scr' /f >/dev/null
wine_run "$quiet_program" $quiet_arguments /REMOVESETTINGS ||
  fail "the second silent uninstall ended with $?"
gone_within 30 "$(dirname "$uninstaller")" || fail "C:\\Program Files\\Velmora is still there"
sleep 1
wine_run reg query "$settings" >/dev/null 2>&1 && fail "/REMOVESETTINGS left the user's settings"
[ "$(value "$desktop" SCRNSAVE.EXE)" = 'C:\windows\system32\Other.scr' ] ||
  fail "the uninstall changed another saver's SCRNSAVE.EXE"
wine_run reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1
exit "$failures"
