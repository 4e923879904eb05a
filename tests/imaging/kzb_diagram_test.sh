#!/usr/bin/env bash
# kzb diagram end to end: an SVG that parses as XML with the names escaped, a PNG of the width asked for,
# and no output written over an existing file without --overwrite.
# Usage: kzb_diagram_test.sh KZB
set -euo pipefail
kzb=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
status() { set +e; "$@" > "$dir/out" 2> "$dir/err"; local s=$?; set -e; echo $s; }
crlf() { for line in "$@"; do printf '%s\r\n' "$line"; done; }

crlf 'N+A<&>"B' 'N-C' PI + +7776FU -3334FU +8822UM -3122GI > "$dir/game.csa"
[ "$(status "$kzb" diagram "$dir/game.csa" --ply 4 -o "$dir/d.svg")" = 0 ] || fail "svg: $(cat "$dir/err")"
if command -v xmllint > /dev/null; then
  xmllint --noout "$dir/d.svg" || fail "the SVG is no well-formed XML"
fi
# The hand columns write one character per element.
for c in '&lt;' '&amp;' '&gt;' '&quot;'; do grep -q ">$c</text>" "$dir/d.svg" || fail "the name is not escaped: $c"; done
[ "$(grep -c 'class="piece ' "$dir/d.svg")" = 38 ] || fail "38 pieces on the board"
grep -q 'class="last-move"' "$dir/d.svg" || fail "the last move is not tinted"

# An existing output stays as it is without --overwrite.
cp "$dir/d.svg" "$dir/keep.svg"
[ "$(status "$kzb" diagram "$dir/game.csa" --no-names -o "$dir/d.svg")" = 1 ] && grep -q "exists" "$dir/err" ||
  fail "overwrote without --overwrite: $(cat "$dir/err")"
cmp -s "$dir/d.svg" "$dir/keep.svg" || fail "the existing output changed"
[ "$(status "$kzb" diagram "$dir/game.csa" --no-names --overwrite -o "$dir/d.svg")" = 0 ] &&
  ! grep -q '&lt;' "$dir/d.svg" || fail "--overwrite --no-names: $(cat "$dir/err")"

# The PNG is as wide as asked; its header holds the width and height as 32-bit big-endian numbers.
[ "$(status "$kzb" diagram "$dir/game.csa" --ply 3 --size 300 -o "$dir/d.PNG")" = 0 ] || fail "png: $(cat "$dir/err")"
size=$(od -An -tu1 -j16 -N8 "$dir/d.PNG" | awk '{ print $3 * 256 + $4, $7 * 256 + $8 }')
[ "${size% *}" = 300 ] && [ "${size#* }" -gt 200 ] || fail "png size: $size"

# Refusals: an unknown output kind (the input among them), a position past the end, no output, a tiny size.
[ "$(status "$kzb" diagram "$dir/game.csa" -o "$dir/d.txt")" = 2 ] && [ ! -e "$dir/d.txt" ] || fail "a .txt output"
[ "$(status "$kzb" diagram "$dir/game.csa" --ply 5 -o "$dir/e.svg")" = 1 ] && [ ! -e "$dir/e.svg" ] &&
  grep -q "only 4 moves" "$dir/err" || fail "--ply past the end: $(cat "$dir/err")"
cp "$dir/game.csa" "$dir/keep.csa"
[ "$(status "$kzb" diagram "$dir/game.csa" --overwrite -o "$dir/game.csa")" = 2 ] && cmp -s "$dir/game.csa" "$dir/keep.csa" ||
  fail "the input as output"
[ "$(status "$kzb" diagram "$dir/game.csa")" = 2 ] || fail "no -o"
[ "$(status "$kzb" diagram "$dir/game.csa" --size 5 -o "$dir/f.svg")" = 2 ] || fail "a size too small"
echo "kzb diagram: all passed"
