# tests/support/other-user.bash: a throw-away user reads the sanitizers' suppressions through
# the copies it makes, also when the originals sit in a folder only root may enter.
# $1: source folder. Root only (it runs a command as nobody); skipped elsewhere.
set -u
[ "$(id -u)" -eq 0 ] || { echo "SKIP: runs a command as another user, so root only"; exit 77; }
work=$(mktemp -d /tmp/velmora-other-user.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 0755 "$work"  # as the callers' work folders are
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# shellcheck source=../support/other-user.bash
source "$1"/tests/support/other-user.bash

mkdir -m 0700 "$work/checkout" && mkdir -m 0755 "$work/shared"
echo 'race:tsan' >"$work/checkout/tsan.supp"
echo 'leak:lsan' >"$work/checkout/lsan.supp"
export TSAN_OPTIONS="suppressions=$work/checkout/tsan.supp halt_on_error=1"
export LSAN_OPTIONS="verbosity=0:suppressions=$work/checkout/lsan.supp:report_objects=0"
export ASAN_OPTIONS="detect_leaks=0"
unset UBSAN_OPTIONS
share_sanitizer_options "$work/shared" || fail "share_sanitizer_options failed"
[ "$ASAN_OPTIONS" = "detect_leaks=0" ] || fail "options without suppressions changed: $ASAN_OPTIONS"
[[ $TSAN_OPTIONS == *" halt_on_error=1" ]] || fail "the other options were lost: $TSAN_OPTIONS"
[[ $LSAN_OPTIONS == verbosity=0:*:report_objects=0 ]] || fail "the other options were lost: $LSAN_OPTIONS"
for var in TSAN_OPTIONS LSAN_OPTIONS; do
  file=$(sed -n 's/.*\(^\|[ :]\)suppressions=\([^ :]*\).*/\2/p' <<<"${!var}")
  case $file in "$work/checkout"/*) fail "$var still names the checkout: ${!var}" ;; esac
  runuser -u nobody -- cat "$file" >/dev/null 2>&1 || fail "$var: nobody cannot read '$file'"
done
exit "$failures"
