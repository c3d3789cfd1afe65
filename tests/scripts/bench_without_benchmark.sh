# The project configures without Google Benchmark: the *_bench programs are left out with a
# message, the other benchmarks stay. $1: source folder.
set -u
work=$(mktemp -d /tmp/velmora-nobench.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake -S "$1" -B "$work" -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON -DVELMORA_BUILD_TESTS=OFF \
  >"$work/configure.log" 2>&1 || { fail "configure failed"; cat "$work/configure.log"; }
grep -q "Google Benchmark not found" "$work/configure.log" || fail "no message about the skipped benchmarks"
targets=$(cmake --build "$work" --target help 2>&1)
printf '%s\n' "$targets" | grep -q '_bench$' && fail "a *_bench target is still there"
printf '%s\n' "$targets" | grep -q 'frame_rate$' || fail "the other benchmarks went too"
exit "$failures"
