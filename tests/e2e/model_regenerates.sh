#!/usr/bin/env bash
# The committed model data is exactly what the generator writes.
set -eu
build=$1 source=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$build/tools/modelgen" --out "$out" >/dev/null
diff -r --exclude=ModelData.h "$out" "$source/creature/model"
echo "model data regenerates identically"
