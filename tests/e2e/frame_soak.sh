#!/usr/bin/env bash
# Hours of simulated frames through the real drawing code, at random frame times of up to a
# second, starting shortly before the tick count wraps: every frame's nodes, wing clocks and
# frame-rate average stay finite and bounded. Small pictures: the state is the subject here.
# Args: build folder, source folder. Runs on the Xvfb of tests/with-xvfb.
set -euo pipefail
out=$("$1/tools/snapshot" --soak 1000 --frames 40000 --seed 11 --size 64x48)
echo "$out"
grep -q '^soak: 40000 frames, 5\.[0-9][0-9] simulated hours, every frame within bounds$' <<<"$out"
