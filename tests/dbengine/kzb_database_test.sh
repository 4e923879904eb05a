#!/usr/bin/env bash
# kzb sql and kzb table end to end: create, load, select, dump, damage, check, rebuild, and the
# database lock they take.
set -euo pipefail
kzb=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

"$kzb" sql "$dir" 'create table 棋士 (名前 char(12), 段位 char(6), 生年 date(6))'
"$kzb" sql "$dir" 'create unique index 0 on 棋士 (名前)'
"$kzb" sql "$dir" 'create index 1 on 棋士 (段位)'
printf '羽生善治\t九段\t313937303237\n藤井聡太\t八段\t323030323139\n大山康晴\t十五世\t313932333133\n' > "$dir/in.tsv"
[ "$("$kzb" table load "$dir" 棋士 "$dir/in.tsv")" = "loaded 3 records" ] || fail load
"$kzb" table dump "$dir" 棋士 > "$dir/out.tsv"
cmp "$dir/in.tsv" "$dir/out.tsv" || fail "dump differs from what was loaded"
got=$("$kzb" sql "$dir" 'select 名前 from 棋士 where 段位 matches "段$" order by 名前 desc')
[ "$got" = $'藤井聡太\n羽生善治' ] || fail "select gave: $got"
if "$kzb" sql "$dir" 'select 名前 from 棋士 where 段位 =' 2> "$dir/err"; then fail "bad select succeeded"; fi
grep -q 'error 99' "$dir/err" || fail "no result code on standard error"
if "$kzb" table load "$dir" 棋士 "$dir/in.tsv" 2> "$dir/err"; then fail "duplicate load succeeded"; fi
grep -q 'line 1 .*error 11' "$dir/err" || fail "no failing line"
"$kzb" table check "$dir" 棋士 > /dev/null || fail "check of a sound table"
# An index file left behind: the check finds it, the rebuild repairs it.
cp "$dir/棋士.ix1" "$dir/old.ix1"
printf '升田幸三\t九段\t313931383033\n' > "$dir/more.tsv"
"$kzb" table load "$dir" 棋士 "$dir/more.tsv" > /dev/null
cp "$dir/old.ix1" "$dir/棋士.ix1"
if "$kzb" table check "$dir" 棋士 > "$dir/check"; then fail "check missed the stale index"; fi
grep -q 'has no entry' "$dir/check" || fail "check output: $(cat "$dir/check")"
"$kzb" table rebuild "$dir" 棋士 > /dev/null
"$kzb" table check "$dir" 棋士 > /dev/null || fail "check after rebuild"
# The database lock: a rebuild, a load or a statement waits, saying so, while another program (an
# import) holds it, rather than meeting or breaking its half-written tables.
held_by_another() {  # runs the command while another process holds the lock for a second
  rm -f "$dir/held" "$dir/released"
  flock "$dir/SHGDB.lock" -c "touch '$dir/held'; sleep 1; touch '$dir/released'" &
  local holder=$!
  while [ ! -e "$dir/held" ]; do sleep 0.05; done
  "$@" > /dev/null 2> "$dir/err" || fail "$*: $(cat "$dir/err")"
  [ -e "$dir/released" ] || fail "$* did not wait for the database lock"
  grep -q 'waiting for the database, which another program is using' "$dir/err" || fail "$* did not say it waits"
  wait "$holder"
}
if command -v flock > /dev/null; then
  printf '谷川浩司\t九段\t313936323036\n' > "$dir/late.tsv"
  held_by_another "$kzb" table rebuild "$dir" 棋士
  held_by_another "$kzb" table load "$dir" 棋士 "$dir/late.tsv"
  held_by_another "$kzb" sql "$dir" 'select 名前 from 棋士'
  held_by_another "$kzb" sql "$dir" 'create index 2 on 棋士 (生年)'
else
  echo "kzb database commands: lock not tried (no flock command)"
fi
echo "kzb database commands: ok"
