#!/usr/bin/env bash
# kzb db end to end: create, import, search, duplicates, export, tsume solving, joseki, deletion, exit
# statuses, lost moves found and told, an import stopped by Ctrl-C, and a killed import that the repair
# brings back to a clean check.
set -euo pipefail
kzb=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
db="$dir/db"
expect_status() {  # expect_status N command...
  local want=$1 got=0
  shift
  "$@" > "$dir/out" 2> "$dir/err" < /dev/null || got=$?
  [ "$got" = "$want" ] || fail "$* exited $got, not $want: $(cat "$dir/err")"
}
count_of() { tail -n1 "$dir/out"; }

game() {  # game PLAYERS EVENT MOVES...
  printf "N+%s\r\nN-%s\r\n'棋戦名:%s\r\nPI\r\n+\r\n" "${1%-*}" "${1#*-}" "$2"
  shift 2
  for m in "$@"; do printf '%s\r\n' "$m"; done
}
{
  game 羽生-森内 名人戦 +7776FU -3334FU +2726FU -8384FU
  printf '/\r\n'
  game 谷川-佐藤 竜王戦 +2726FU -8384FU +2625FU -8485FU
  printf '/\r\n'
  game 羽生-森内 名人戦 +7776FU -3334FU +2726FU -8384FU
} > "$dir/games.csa"

expect_status 0 "$kzb" db create "$db"
grep -q '将棋データベースは正常に作成されました。' "$dir/out" || fail "create: $(cat "$dir/out")"
expect_status 1 "$kzb" db create "$db"
expect_status 1 "$kzb" db search "$dir/none"
expect_status 2 "$kzb" db search "$db" --bogus
expect_status 2 "$kzb" db duplicates "$db" --by nothing

expect_status 0 "$kzb" db import "$db" "$dir/games.csa"
[ "$(grep -c '新規登録しました' "$dir/out")" = 3 ] || fail "import: $(cat "$dir/out")"
grep -Eq '^3 件登録しました\([0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\)。$' "$dir/out" ||
  fail "the closing line's date is not year first: $(cat "$dir/out")"
# Option-looking words are never taken for a directory.
(cd "$dir" && expect_status 0 "$kzb" db create --help && expect_status 2 "$kzb" db check -x)
[ ! -e "$dir/--help" ] || fail "db create --help made a database"
expect_status 0 "$kzb" db search "$db"
head -n1 "$dir/out" | grep -q '^対局NO' || fail "no list heading"
[ "$(count_of)" = "全 3 件" ] || fail "search all: $(cat "$dir/out")"
expect_status 0 "$kzb" db search "$db" '棋戦名 = "竜王戦"  # one game'
[ "$(count_of)" = "全 1 件" ] || fail "search by condition: $(cat "$dir/out")"
expect_status 0 "$kzb" db search "$db" --position "$dir/games.csa" --ply 2 --match whole
[ "$(count_of)" = "全 2 件" ] || fail "position search: $(cat "$dir/out")"
grep -q '2手目' "$dir/out" || fail "no ply in the position search lines"
expect_status 0 "$kzb" db duplicates "$db" --by moves
[ "$(count_of)" = "全 2 件" ] || fail "duplicates: $(cat "$dir/out")"
# A question without --yes and without a terminal is refused, and nothing is deleted.
expect_status 1 "$kzb" db dedupe "$db" --by moves
expect_status 0 "$kzb" db dedupe "$db" --by moves --yes
# "order by" is ignored with a notice, which is no failure.
expect_status 0 "$kzb" db dedupe "$db" 'order by 対局日' --by moves --yes
expect_status 0 "$kzb" db search "$db"
[ "$(count_of)" = "全 2 件" ] || fail "dedupe left: $(cat "$dir/out")"

# What a record states of its ending is stored; what cannot be read is refused with the reason.
printf 'PI\r\n+\r\n+7776FU\r\n-3334FU\r\n%%TORYO\r\n' > "$dir/toryo.csa"
printf 'PI\r\n+\r\n+2726FU\r\n-3334FU\r\n+8822KA\r\n' > "$dir/jump.csa"
printf '後手の持駒：なし\r\n+---------------------------+\r\n| ・ ・ ・ ・ ・ ・ ・ ・v玉|\r\n' |
  iconv -f UTF-8 -t CP932 > "$dir/norank.kif"
expect_status 0 "$kzb" db import "$db" "$dir/toryo.csa"
expect_status 0 "$kzb" db search "$db" '試合結果 = "後手勝"'
[ "$(count_of)" = "全 1 件" ] || fail "the %TORYO result was not stored: $(cat "$dir/out")"
expect_status 1 "$kzb" db import "$db" "$dir/jump.csa"
expect_status 1 "$kzb" db import "$db" "$dir/norank.kif"
grep -q '局面図が読めません' "$dir/err" || fail "a diagram without rank numerals: $(cat "$dir/err")"
expect_status 0 "$kzb" db search "$db"
[ "$(count_of)" = "全 3 件" ] || fail "refused records were stored: $(cat "$dir/out")"

expect_status 0 "$kzb" db export "$db" 1 -o "$dir/out.csa"
iconv -f CP932 -t UTF-8 "$dir/out.csa" | grep -q '^+2625FU' || fail "export: moves missing"
grep -q $'\r$' "$dir/out.csa" || fail "export is not CRLF"
cp "$dir/out.csa" "$dir/kept.csa"
expect_status 1 "$kzb" db export "$db" 7 -o "$dir/out.csa" --yes
cmp -s "$dir/out.csa" "$dir/kept.csa" || fail "an export of nothing overwrote the file"

printf "'表題:一手詰\r\nP1 *  *  *  *  *  *  *  * -OU\r\nP3 *  *  *  *  *  *  *  * +FU\r\nP+00KI\r\nP-00AL\r\n+\r\n" \
  > "$dir/mate.pcl"
expect_status 0 "$kzb" db import "$db" "$dir/mate.pcl"
expect_status 0 "$kzb" db solve "$db" --yes
grep -q '^1 solved, 0 without a solution, 0 failed' "$dir/out" || fail "solve: $(cat "$dir/out")"
expect_status 0 "$kzb" db search "$db" --tsume
grep -q '0001 手詰 一手詰' "$dir/out" || fail "solved length not stored: $(cat "$dir/out")"
expect_status 0 "$kzb" db solve "$db" --engine pn --time-limit 10 --memory 16 --yes
grep -q 'df-pn 探索開始' "$dir/out" || fail "db solve --engine pn: $(cat "$dir/out")"
grep -q '^1 solved, 0 without a solution, 0 failed' "$dir/out" || fail "solve pn: $(cat "$dir/out")"
expect_status 2 "$kzb" db solve "$db" --engine fast --yes

expect_status 0 "$kzb" db joseki add "$db" "$dir/games.csa" --depth 4
expect_status 0 "$kzb" db joseki add "$db" "$dir/games.csa" --depth 4 --details
grep -q '更新' "$dir/out" || fail "joseki twice: $(cat "$dir/out")"
expect_status 0 "$kzb" db joseki show "$db" "$dir/games.csa" --ply 1
grep -q '後手３四歩' "$dir/out" || fail "joseki show: $(cat "$dir/out")"
expect_status 0 "$kzb" db joseki export "$db" "$dir/games.csa" --depth 4 -o "$dir/joseki.pcl"
[ -s "$dir/joseki.pcl" ] || fail "joseki export wrote nothing"
expect_status 0 "$kzb" db joseki delete "$db" "$dir/games.csa" --depth 30 --backup "$dir/backup.pcl" --yes
[ -s "$dir/backup.pcl" ] || fail "no joseki backup"

expect_status 0 "$kzb" db delete "$db" 0 1 2 --yes
expect_status 0 "$kzb" db delete "$db" --tsume 0 --yes
expect_status 0 "$kzb" db check "$db"
grep -q '^SHGDB_A: 0 records' "$dir/out" || fail "positions left: $(cat "$dir/out")"
[ "$(count_of)" = "no problems" ] || fail "check: $(cat "$dir/out")"

# Moves lost with the end of SHGDB_D: export writes only whole games and fails, the repair names the
# damaged game and keeps it until asked to remove it.
dmg="$dir/dmg"
expect_status 0 "$kzb" db create "$dmg"
expect_status 0 "$kzb" db import "$dmg" "$dir/games.csa" --new
truncate -s 90 "$dmg/SHGDB_D.dat"  # one and a half move blocks of 60 bytes
expect_status 1 "$kzb" db export "$dmg" 0 1 -o "$dir/dmg.csa"
[ "$(grep -c '^[+-][0-9]' "$dir/dmg.csa")" = 4 ] || fail "export of a damaged game: $(cat "$dir/dmg.csa")"
expect_status 1 "$kzb" db check "$dmg"
expect_status 1 "$kzb" db repair "$dmg"
grep -q '^SHGDB_B: game 000001 (record 1) has 0 of its 4 moves (kept, marked damaged)$' "$dir/out" ||
  fail "repair of lost moves: $(cat "$dir/out")"
grep -q '2 damaged items kept' "$dir/out" || fail "repair summary: $(cat "$dir/out")"
expect_status 1 "$kzb" db export "$dmg" 1 -o "$dir/dmg.csa" --yes
grep -q '対局番号=000001 の棋譜は指し手か注釈が欠けています' "$dir/out" "$dir/err" || fail "export: $(cat "$dir/err")"
expect_status 0 "$kzb" db repair "$dmg" --remove-damaged
expect_status 0 "$kzb" db check "$dmg"
[ "$(count_of)" = "no problems" ] || fail "check after removing: $(cat "$dir/out")"

# Killed in the middle of a long import: the repair leaves a database the check passes.
{ cat "$dir/games.csa"; printf '/\r\n'; } > "$dir/many.csa"
for i in $(seq 1 11); do cat "$dir/many.csa" "$dir/many.csa" > "$dir/twice.csa"; mv "$dir/twice.csa" "$dir/many.csa"; done
"$kzb" db import "$db" "$dir/many.csa" --new > /dev/null 2>&1 &
sleep 0.1
kill -9 $! 2> /dev/null || true
wait $! 2> /dev/null || true
expect_status 0 "$kzb" db repair "$db"
expect_status 0 "$kzb" db check "$db"
# Stopped by Ctrl-C: the import says so and exits 1 (or, done before the signal came, registered all);
# what it registered is whole.
for i in 1 2 3 4; do cat "$dir/many.csa"; done > "$dir/more.csa"
expect_status 0 "$kzb" db create "$dir/int"
"$kzb" db import "$dir/int" "$dir/more.csa" --new > "$dir/out" 2> "$dir/err" < /dev/null &
pid=$!
sleep 0.2
kill -INT $pid 2> /dev/null || true
got=0
wait $pid || got=$?
case $got in
  0) grep -q '^24576 件登録しました' "$dir/out" || fail "an import said done: $(tail -n2 "$dir/out")" ;;
  1) grep -q 'stopped before the end' "$dir/err" || fail "a stopped import: $(cat "$dir/err")" ;;
  *) fail "a stopped import exited $got" ;;
esac
expect_status 0 "$kzb" db check "$dir/int"
echo "kzb db commands: ok"
