#!/usr/bin/env bash
# The snapshot tool's pictures of the real drawing code: the clear colour where nothing is drawn,
# the creature in view, and the frame-rate text in the top left only when asked for.
# Args: build folder, source folder. Runs on the Xvfb of tests/with-xvfb.
set -euo pipefail
build=$1
snapshot=$build/tools/snapshot
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$snapshot" --seed 1 --frames 900 --at 1,900 "$out/plain" >/dev/null
"$snapshot" --seed 1 --frames 900 --at 900 --fps "$out/fps" >/dev/null

pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }
colours() { convert "$1" -crop "$2" +repage -unique-colors -format %w info:; }
whitest() { convert "$1" -crop "$2" +repage -colorspace Gray -format "%[fx:maxima]" info:; }

# Clear colour (0.1, 0.2, 0.2) in the empty top of the first frame, before the creature arrives.
first=$out/plain/frame-00001.png
[ "$(pixel "$first" 512 40)" = "srgb(26,51,51)" ] || fail "clear colour: $(pixel "$first" 512 40)"

# Once in view, the body's shaded colours fill part of the picture (more than wings and banner).
late=$out/plain/frame-00900.png
n=$(colours "$late" 1024x560+0+100)
[ "$n" -gt 100 ] || fail "only $n colours in view at frame 900"

# The frame-rate text: the top left tenth holds only the clear colour without it, white with it.
[ "$(colours "$late" 102x76+0+0)" -eq 1 ] || fail "top left is not empty without the overlay"
[ "$(whitest "$out/fps/frame-00900.png" 102x20+0+0)" = "1" ] || fail "no frame-rate text"
# Nothing of the text outside its rectangle.
[ "$(colours "$out/fps/frame-00900.png" 200x76+102+0)" -eq 1 ] || fail "text outside its box"
echo "snapshot pictures ok"
