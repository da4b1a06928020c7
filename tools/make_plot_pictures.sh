#!/usr/bin/env bash
# Redraws the README's pictures (docs/*.png) from the synthetic sample survey with
# sondara-cli, the same drawing code as the plot window and the printed report.
# Needs a build (bash tools/build.sh) and poppler-utils for the report page.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/bin/sondara-cli
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 tools/make_sample_survey.py > "$tmp/sample.json"
"$cli" import-json "$tmp/sample.json" -o "$tmp/sample.bhx"
"$cli" plot "$tmp/sample.bhx" --hole 0 --mode deviation -o docs/plot-deviation.png
"$cli" plot "$tmp/sample.bhx" --hole 0 --mode 3d -o docs/plot-3d.png
"$cli" report "$tmp/sample.bhx" -o "$tmp/report.pdf"
pdftoppm -png -r 50 -f 1 -l 1 -singlefile "$tmp/report.pdf" docs/report-page1
