#!/usr/bin/env bash
# sondara-cli plot and report on the sample survey: files come out, mistakes fail.
set -euo pipefail
cli=$1
sample_maker=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

python3 "$sample_maker" > "$tmp/s.json"
"$cli" import-json "$tmp/s.json" -o "$tmp/s.bhx"

for mode in deviation 3d; do
  "$cli" plot "$tmp/s.bhx" --hole 1 --mode "$mode" --size 640x480 -o "$tmp/$mode.png"
  # PNG signature, then the IHDR width and height.
  [ "$(head -c 8 "$tmp/$mode.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$mode: not a PNG"
  [ "$(dd if="$tmp/$mode.png" bs=1 skip=16 count=8 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 00000280000001e0 ] ||
    fail "$mode: not 640x480"
done

"$cli" report "$tmp/s.bhx" -o "$tmp/r.pdf"
pages=$(pdfinfo "$tmp/r.pdf" | awk '/^Pages:/ {print $2}')
[ "$pages" = 3 ] || fail "report has $pages pages, expected 2 + 1"   # 40 and 25 stations
pdftotext "$tmp/r.pdf" - | grep -q "第3页/共3页" || fail "no page number 3 of 3"

# Mistakes end with status 1 and write nothing.
for args in "--hole 2 --mode 3d" "--hole 0 --mode side" "--hole x" "--size 0x10" "--hole 0 --bogus"; do
  # shellcheck disable=SC2086
  if "$cli" plot "$tmp/s.bhx" $args -o "$tmp/bad.png" 2>/dev/null; then fail "plot $args succeeded"; fi
  [ ! -e "$tmp/bad.png" ] || fail "plot $args wrote a file"
done
if "$cli" report "$tmp/missing.bhx" -o "$tmp/bad.pdf" 2>/dev/null; then fail "report of a missing file succeeded"; fi
for dpi in 0 71 4801 x 600dpi; do
  if "$cli" report "$tmp/s.bhx" --resolution "$dpi" -o "$tmp/bad.pdf" 2>/dev/null; then fail "report at $dpi dpi succeeded"; fi
  [ ! -e "$tmp/bad.pdf" ] || fail "report at $dpi dpi wrote a file"
done

# The same page at any resolution: every word at the same place, in points.
for dpi in 72 300 600 1200; do
  "$cli" report "$tmp/s.bhx" --resolution "$dpi" -o "$tmp/r$dpi.pdf"
  pdftotext -bbox "$tmp/r$dpi.pdf" - |
    sed -n 's/.*<word xMin="\([0-9.]*\)" yMin="\([0-9.]*\)" xMax="\([0-9.]*\)" yMax="\([0-9.]*\)">\([^<]*\)<.*/\5 \1 \2 \3 \4/p' \
    > "$tmp/w$dpi.txt"
done
[ "$(wc -l < "$tmp/w600.txt")" -gt 100 ] || fail "report has few words"
for dpi in 72 300 1200; do
  [ "$(wc -l < "$tmp/w$dpi.txt")" = "$(wc -l < "$tmp/w600.txt")" ] || fail "other words at $dpi dpi"
  paste -d' ' "$tmp/w600.txt" "$tmp/w$dpi.txt" | awk -v dpi="$dpi" '
    function off(a, b) { return a > b ? a - b : b - a }
    # The clock of the print time, above the top rule, may tick between two runs.
    function ticked() { return $3 < 56 && $1 ~ /^[0-9:]+$/ && $6 ~ /^[0-9:]+$/ }
    ($1 != $6 && !ticked()) || off($2, $7) > 0.1 || off($3, $8) > 0.1 || off($4, $9) > 0.1 || off($5, $10) > 0.1 {
      print "word moves at " dpi " dpi: " $0; bad = 1 }
    END { exit bad }' || fail "words move at $dpi dpi"
done
echo ok
