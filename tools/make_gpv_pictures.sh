#!/usr/bin/env bash
# Redraws the README's pictures of the group-plot viewer (docs/gpv-*.png) from the
# synthetic fan survey with `gpv --export`, the same painting as its window.
# Needs a build (bash tools/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
gpv=build/bin/gpv
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 tools/make_sample_fan.py > "$tmp/fan.json"
for view in plan section 3d deviation; do
  "$gpv" --export "$view" --size 1000x700 -o "docs/gpv-$view.png" "$tmp/fan.json"
done
