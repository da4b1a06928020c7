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
echo ok
