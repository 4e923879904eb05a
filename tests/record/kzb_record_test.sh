#!/usr/bin/env bash
# kzb show, csa, list, convert and kif2csa end to end on the shared test data.
# Usage: kzb_record_test.sh KZB TESTDATA SKB_FILE
set -euo pipefail
kzb=$1
data=$2/kifu
skb=$3
[ -d "$data" ] || { echo "no test data at $data"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
status() { set +e; "$@" > "$dir/out" 2> "$dir/err"; local s=$?; set -e; echo $s; }

# csa: CP932 with CRLF to a file; what it writes reads back to the same bytes.
"$kzb" csa "$data/g001.kifu" -o "$dir/a.csa"
grep -q $'^+4948KI\r$' "$dir/a.csa" || fail "csa output lacks CRLF lines"
iconv -f CP932 -t UTF-8 "$dir/a.csa" | grep -q "^N+鈴木 一郎" || fail "csa output is not CP932"
"$kzb" csa "$dir/a.csa" -o "$dir/b.csa"
cmp "$dir/a.csa" "$dir/b.csa" || fail "csa of its own output differs"
[ "$("$kzb" csa "$data/g001.kifu" | grep -c "^'手数目:")" = 2 ] || fail "the variations are not branches"
# A standard CSA file (version line, "$" lines, time lines): header, players and moves are all read.
[ "$(status "$kzb" csa "$data/g004.csa")" = 0 ] || fail "a standard CSA file was refused: $(cat "$dir/err")"
grep -q "^N+" "$dir/out" || fail "the players of a standard CSA file were lost"
grep -q "^'棋戦名:" "$dir/out" || fail "the event of a standard CSA file was lost"
grep -q "^+3839KI" "$dir/out" || fail "the moves of a standard CSA file were not read"

# show: the print text, the diagram after N moves, the mail text.
[ "$(status "$kzb" show "$data/g000.kifu")" = 0 ] || fail "show"
grep -q "^指し手: ------------" "$dir/out" || fail "print text: $(head -3 "$dir/out")"
grep -q "^ 10手目: 勝負手" "$dir/out" || fail "move annotations missing"
"$kzb" show "$data/g000.kifu" --diagram --ply 2 | grep -q '^| ・v飛 ・v金 ・ ・ ・v角 ・|二$' || fail "diagram after 2 moves"
[ "$("$kzb" show "$data/g000.kifu" --mail --ply 1 | head -1)" = "題名：初手、▲６六歩 です。" ] || fail "mail text"
[ "$(status "$kzb" show "$data/g000.kifu" --diagram --ply 999)" = 1 ] || fail "a ply beyond the line"
"$kzb" show "$skb" | grep -q '^先手持駒：なし$' || fail "position file diagram"
[ "$(status "$kzb" show "$dir/missing.csa")" = 1 ] || fail "a missing file"
[ "$(status "$kzb" show)" = 2 ] || fail "show without a file"
[ "$(status "$kzb" show "$data/g000.kifu" --bogus)" = 2 ] || fail "an unknown option"

# convert: one file per input, then everything into one file, appended.
mkdir "$dir/each" "$dir/all"
"$kzb" convert --outdir "$dir/each" "$data/g004.kif" "$data/g008.ki2" 2> "$dir/err"
[ -f "$dir/each/g004.csa" ] && [ -f "$dir/each/g008.csa" ] || fail "個別 output files"
grep -q "に個別出力しました" "$dir/err" || fail "個別 message"
"$kzb" convert --outdir "$dir/all" --bulk games --event 研究会 "$data/g004.kif" 2> /dev/null
"$kzb" convert --outdir "$dir/all" --bulk games.csa "$data/g008.ki2" 2> /dev/null
"$kzb" list "$dir/all/games.csa" > "$dir/list"
[ "$(wc -l < "$dir/list")" = 3 ] || fail "list: $(cat "$dir/list")"
grep -q "^   1  .*山田太郎-山田太郎" "$dir/list" || fail "list line: $(cat "$dir/list")"
grep -q "研究会$" "$dir/list" || fail "the default event"
"$kzb" csa "$dir/all/games.csa" --game 1 | grep -q "^-4142KI" || fail "csa --game 1"
printf '手数----\r\n   1 ７六歩(77)\r\n   2 ７五歩(73)\r\n' > "$dir/bad.kif"
[ "$(status "$kzb" convert --outdir "$dir/each" "$dir/bad.kif")" = 1 ] || fail "a record that does not convert"
grep -q "^%ERROR" "$dir/each/bad.csa" || fail "error lines"
[ "$(status "$kzb" convert "$data/g004.kif")" = 2 ] || fail "convert without --outdir"

# kif2csa: the simple reader, even games only.
"$kzb" kif2csa "$data/g004.kif" -o "$dir/k.csa"
grep -q $'^+2848HI\r$' "$dir/k.csa" || fail "kif2csa output"
[ "$(status "$kzb" kif2csa "$data/g008.kif")" = 1 ] || fail "kif2csa of a handicap game"
grep -q "手合は平手しか変換できません" "$dir/err" || fail "kif2csa message: $(cat "$dir/err")"
echo "kzb record commands: ok"
