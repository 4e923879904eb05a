#!/usr/bin/env bash
# kzb show and csa on a record as long as a record's node pool limit (150000 nodes): made here, as CSA and
# as KIF, rooks and kings shuttling, with a variation and a note near the end.
# Usage: kzb_long_record_test.sh KZB
# (Outputs go to files before grep reads them: an early grep -q would cut a pipe under pipefail.)
set -euo pipefail
kzb=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
plies=149999

awk -v n=$plies 'BEGIN {
  split("+2838HI -8272HI +5958OU -5152OU +3828HI -7282HI +5859OU -5251OU", m, " ")
  printf "V2.2\r\nN+sente\r\nN-gote\r\nPI\r\n+\r\n"
  for (i = 0; i < n; ++i) printf "%s\r\n", m[i % 8 + 1]
  printf "'\''手数目:%d\r\n-5251OU\r\n'\''注釈:branch\r\n", n - 1
}' | iconv -f UTF-8 -t CP932 > "$dir/long.csa"

"$kzb" show "$dir/long.csa" > "$dir/show.txt" || fail "kzb show on $plies plies"
grep -q "^$plies 先手５九玉" "$dir/show.txt" || fail "the last move is not shown: $(tail -3 "$dir/show.txt")"
"$kzb" show "$dir/long.csa" --mail --ply 99999 > "$dir/mail.txt" && grep -q '^題名：第99999手' "$dir/mail.txt" ||
  fail "the mail text deep in the record"

"$kzb" csa "$dir/long.csa" -o "$dir/a.csa" || fail "kzb csa on $plies plies"
[ "$(grep -c $'^[+-][0-9]\\{4\\}[A-Z][A-Z]\r$' "$dir/a.csa")" = $((plies + 1)) ] || fail "moves lost in the CSA text"
iconv -f CP932 -t UTF-8 "$dir/a.csa" > "$dir/a.txt"
grep -q $'^\'手数目:149998\r$' "$dir/a.txt" || fail "the late variation is not written"
"$kzb" csa "$dir/a.csa" -o "$dir/b.csa"
cmp -s "$dir/a.csa" "$dir/b.csa" || fail "the CSA text does not read back to the same bytes"

awk -v n=$plies 'BEGIN {
  split("３八飛(28) ７二飛(82) ５八玉(59) ５二玉(51) ２八飛(38) ８二飛(72) ５九玉(58) ５一玉(52)", m, " ")
  printf "手合割：平手\r\n手数----指手---------消費時間--\r\n"
  for (i = 0; i < n; ++i) printf "%4d %s\r\n", i + 1, m[i % 8 + 1]
}' | iconv -f UTF-8 -t CP932 > "$dir/long.kif"
"$kzb" show "$dir/long.kif" > "$dir/show.txt" || fail "kzb show on a KIF of $plies plies"
grep -q "^$plies 先手５九玉" "$dir/show.txt" || fail "the last KIF move is not shown"
"$kzb" csa "$dir/long.kif" -o "$dir/k.csa" || fail "kzb csa on a KIF of $plies plies"
diff <(grep $'^[+-][0-9]' "$dir/k.csa") <(grep $'^[+-][0-9]' "$dir/long.csa" | head -n $plies) > /dev/null ||
  fail "the KIF moves differ from the CSA ones"
echo "ok: $plies plies shown, written and read back"
