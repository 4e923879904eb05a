#!/usr/bin/env bash
# kzb show, csa, list, convert and kif2csa end to end: small hand-written records, then the shared test data.
# Usage: kzb_record_test.sh KZB TESTDATA SKB_FILE
set -euo pipefail
kzb=$1
data=$2/kifu
tsume=$2/tsume
skb=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
status() { set +e; "$@" > "$dir/out" 2> "$dir/err"; local s=$?; set -e; echo $s; }
crlf() { for line in "$@"; do printf '%s\r\n' "$line"; done; }

# Small hand-written records: what surrounds the moves is kept, refused with the reason, never invented.
crlf PI + +7776FU -3334FU %TORYO > "$dir/toryo.csa"
[ "$(status "$kzb" csa "$dir/toryo.csa")" = 0 ] && grep -q "^'試合結果:後手勝$" "$dir/out" ||
  fail "the ending of a %TORYO line: $(cat "$dir/out")"
crlf 'P8 * +KA * * * * * +HI *' + +7776FU > "$dir/row.csa"
[ "$(status "$kzb" csa "$dir/row.csa")" = 1 ] && [ ! -s "$dir/out" ] || fail "a position row that does not parse"
grep -q '駒配置指定エラーです。(P8' "$dir/err" || fail "row message: $(cat "$dir/err")"
crlf PI + +2726FU -3334FU +8822KA > "$dir/jump.csa"
[ "$(status "$kzb" csa "$dir/jump.csa")" = 1 ] && grep -q 'jump.csa:5: 指し手が間違っています(+8822KA)' "$dir/err" ||
  fail "a bishop jumping over a piece, with its file and line: $(cat "$dir/err")"
{ crlf '後手の持駒：なし' '+---------------------------+' '| ・ ・ ・ ・ ・ ・ ・ ・v玉|一'
  for rank in 二 三 四 五 六 七 八; do crlf "| ・ ・ ・ ・ ・ ・ ・ ・ ・|$rank"; done
  crlf '| ・ ・ ・ ・ 玉 ・ ・ ・ ・|九' '+---------------------------+' '先手の持駒：金'; } |
  iconv -f UTF-8 -t CP932 > "$dir/board.kif"
[ "$(status "$kzb" csa "$dir/board.kif")" = 0 ] && grep -q '^P1 \*  \*  \*  \*  \*  \*  \*  \* -OU' "$dir/out" &&
  grep -q '^P+00KI' "$dir/out" || fail "a record holding only a board: $(cat "$dir/out")"
LC_ALL=C sed 's/|[^|]*$/|\r/' "$dir/board.kif" > "$dir/norank.kif"
[ "$(status "$kzb" csa "$dir/norank.kif")" = 1 ] && [ ! -s "$dir/out" ] || fail "a board without rank numerals"

# Every command and database verb answers --help on standard output, and a usage error repeats its usage.
commands=$("$kzb" help | sed -n 's/^  kzb \([a-z0-9-]*\).*/\1/p')
[ "$(echo $commands | wc -w)" -ge 10 ] || fail "kzb help lists: $commands"
verbs=$("$kzb" db --help | sed -n 's/^  kzb db \([a-z]*\( add\| show\| export\| delete\)\?\) .*/\1/p')
[ "$(echo "$verbs" | wc -l)" = 14 ] || fail "kzb db --help lists: $verbs"
while read -r words; do
  for flag in --help -h; do
    [ "$(status "$kzb" $words $flag)" = 0 ] && grep -q "^usage: kzb $words" "$dir/out" && grep -q "^exit status:" "$dir/out" &&
      [ ! -s "$dir/err" ] || fail "kzb $words $flag: $(cat "$dir/out" "$dir/err")"
  done
done < <(echo "$commands" | tr ' ' '\n'; echo "$verbs" | sed 's/^/db /')
[ "$(status "$kzb" db joseki export "$dir" x --depth)" = 2 ] && [ "$(head -1 "$dir/err")" = \
  "usage: kzb db joseki export DIR FILE [--ply N] --depth D -o OUT [--annotations] [--yes]" ] ||
  fail "a usage error of kzb db joseki export: $(cat "$dir/err")"
[ "$(status "$kzb" csa)" = 2 ] && grep -q "^usage: kzb csa FILE" "$dir/err" || fail "csa without a file"
[ "$(status "$kzb" --version)" = 0 ] && grep -Eq '^kzb \(駒楽工房\) [0-9]+\.[0-9]+' "$dir/out" || fail "--version: $(cat "$dir/out")"

# Outputs: never written over an input, never claimed when not written; exit statuses that tell.
cp "$dir/toryo.csa" "$dir/keep.csa"
[ "$(status "$kzb" csa "$dir/toryo.csa" -o "$dir/toryo.csa")" = 1 ] && grep -q "is the input file" "$dir/err" ||
  fail "csa -o onto its input: $(cat "$dir/err")"
[ "$(status "$kzb" csa "$dir/toryo.csa" -o "$dir/./toryo.csa")" = 1 ] || fail "csa -o onto ./ its input"
[ "$(status "$kzb" convert --outdir "$dir" "$dir/toryo.csa")" = 1 ] &&
  grep -q "は入力と同じファイルなので書きませんでした" "$dir/err" || fail "convert onto its input: $(cat "$dir/err")"
cmp "$dir/toryo.csa" "$dir/keep.csa" || fail "an input was written over"
kif() { crlf "先手：$1" '手数----' '   1 ７六歩(77)' '   2 投了' | iconv -f UTF-8 -t CP932; }
mkdir "$dir/a" "$dir/b" "$dir/same" "$dir/across"
kif x > "$dir/x.kif"; kif a > "$dir/a/x.kif"; kif b > "$dir/b/x.kif"
crlf '先手：y' '▲７六歩 △３四歩' | iconv -f UTF-8 -t CP932 > "$dir/x.ki2"
for run in "same x.kif x.ki2" "across a/x.kif b/x.kif"; do
  read -r to first second <<< "$run"
  [ "$(status "$kzb" convert --outdir "$dir/$to" "$dir/$first" "$dir/$second")" = 0 ] &&
    grep -q "; 2 files written" "$dir/err" && [ "$(LC_ALL=C ls "$dir/$to" | tr '\n' ' ')" = "x-2.csa x.csa " ] ||
    fail "$run: $(cat "$dir/err"; ls "$dir/$to")"
done
[ "$(status "$kzb" convert --outdir "$dir/missing" "$dir/x.kif")" = 1 ] && grep -q "がありません" "$dir/err" &&
  ! grep -q "出力しました" "$dir/err" && [ ! -e "$dir/missing" ] || fail "convert into a missing folder: $(cat "$dir/err")"
for command in show csa list kif2csa solve; do
  [ "$(status "$kzb" $command "$dir/missing.csa")" = 1 ] || fail "$command of a missing file"
done
if [ -w /dev/full ]; then
  set +e; "$kzb" show "$dir/toryo.csa" > /dev/full 2> "$dir/err"; s=$?; set -e
  [ $s = 1 ] && grep -q "cannot write standard output" "$dir/err" || fail "show > /dev/full: $s $(cat "$dir/err")"
fi
[ "$(status "$kzb" kif2csa "$dir/x.ki2")" = 1 ] && [ ! -s "$dir/out" ] &&
  grep -q "柿木形式の棋譜ではありません。" "$dir/err" || fail "kif2csa of a KI2 record: $(cat "$dir/err")"
# Old Macintosh line ends (CR alone) read as CRLF does.
tr -d '\n' < "$dir/x.kif" > "$dir/cr.kif"
"$kzb" show "$dir/x.kif" | grep -v 変換元 > "$dir/crlf.show"
"$kzb" show "$dir/cr.kif" | grep -v 変換元 > "$dir/cr.show"
grep -q "^先手: x *$" "$dir/cr.show" && cmp -s "$dir/crlf.show" "$dir/cr.show" || fail "a CR-only KIF: $(head -5 "$dir/cr.show")"
[ "$("$kzb" kif2csa "$dir/cr.kif")" = "$("$kzb" kif2csa "$dir/x.kif")" ] || fail "kif2csa of a CR-only KIF"
{ crlf 'P1 *  *  *  *  * -OU *  *  * '; for rank in 2 3 4 5 6 7 8; do crlf "P$rank *  *  *  *  *  *  *  *  * "; done
  crlf 'P9 *  *  *  *  * +OU *  *  * ' +; } > "$dir/bare.csa"
[ "$(status "$kzb" solve "$dir/bare.csa")" = 1 ] && grep -q "kzb solve: no mate$" "$dir/err" || fail "solve, no mate"

[ -d "$data" ] || { echo "no test data at $data"; exit 77; }

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
# solve: Ctrl-C stops a long search, which says so and fails.
if [ -f "$tsume/microcosmos.pcl" ]; then
  "$kzb" solve "$tsume/microcosmos.pcl" > "$dir/out" 2> "$dir/err" & pid=$!
  for _ in $(seq 100); do grep -q "探索中" "$dir/out" && break; sleep 0.1; done
  kill -INT $pid
  set +e; wait $pid; s=$?; set -e
  [ $s = 1 ] && grep -q "stopped before a mate was found" "$dir/err" || fail "solve stopped: $s $(cat "$dir/err")"
fi
echo "kzb record commands: ok"
