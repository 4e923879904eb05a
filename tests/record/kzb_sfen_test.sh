#!/usr/bin/env bash
# kzb and SFEN/USI end to end: show --sfen and --usi, solve and db search with a position given as text.
# Usage: kzb_sfen_test.sh KZB SAMPLES_DIR
set -euo pipefail
kzb=$1
samples=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
status() { set +e; "$@" > "$dir/out" 2> "$dir/err"; local s=$?; set -e; echo $s; }

start='lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1'
[ "$("$kzb" show "$samples/sample-game.csa" --sfen)" = "$start" ] || fail "show --sfen of the start"
[ "$("$kzb" show "$samples/sample-game.csa" --sfen --ply 2)" = \
  'lnsgkgsnl/1r5b1/p1ppppppp/1p7/9/2P6/PP1PPPPPP/1B5R1/LNSGKGSNL b - 3' ] || fail "show --sfen --ply 2"
"$kzb" show "$samples/sample-game.csa" --usi | grep -q '^position startpos moves 7g7f 8c8d 6i7h ' ||
  fail "show --usi: $("$kzb" show "$samples/sample-game.csa" --usi | cut -c1-80)"
tsume='4k4/9/4P4/9/9/9/9/9/9 b G2r2b3g4s4n4l17p 1'
[ "$("$kzb" show "$samples/sample-tsume.pcl" --sfen)" = "$tsume" ] || fail "a problem's SFEN"
[ "$("$kzb" show "position startpos moves 7g7f 8c8d" --sfen --ply 2)" = \
  "$("$kzb" show "$samples/sample-game.csa" --sfen --ply 2)" ] || fail "a USI line in place of a file"

# solve: a bare "sfen ..." argument, and --sfen with a USI line (the position after its moves).
[ "$(status "$kzb" solve "sfen $tsume")" = 0 ] && grep -q '先手５二金' "$dir/out" || fail "solve sfen: $(cat "$dir/out")"
[ "$(status "$kzb" solve --sfen "position sfen 4k4/9/4P4/9/9/9/9/9/9 w G2r2b3g4s4n4l17p 1 moves P*1a")" = 0 ] &&
  grep -q '先手５二金' "$dir/out" || fail "solve --sfen with moves: $(cat "$dir/out" "$dir/err")"
[ "$(status "$kzb" solve "sfen 4k4/9/4P4/9/9/9/9/9/9 b 19P 1")" = 1 ] &&
  grep -q 'SFENの持駒の数が間違っています(19P)' "$dir/err" || fail "a broken SFEN: $(cat "$dir/err")"

# convert --to sfen writes the main line as a USI line, which reads back as a record.
mkdir "$dir/conv"
"$kzb" convert --to sfen --outdir "$dir/conv" "$samples/sample-game.csa" 2> /dev/null
[ "$(tr -d '\r' < "$dir/conv/sample-game.sfen")" = "$("$kzb" show "$samples/sample-game.csa" --usi)" ] ||
  fail "convert --to sfen: $(head -c 80 "$dir/conv/sample-game.sfen")"
[ "$("$kzb" show "$dir/conv/sample-game.sfen" --sfen --ply 30)" = \
  "$("$kzb" show "$samples/sample-game.csa" --sfen --ply 30)" ] || fail "a .sfen file read back"

# db search --sfen finds the game that passes through the position.
"$kzb" db create "$dir/db" > /dev/null
"$kzb" db import "$dir/db" "$samples/sample-game.csa" --new --yes > /dev/null
"$kzb" db search "$dir/db" --sfen "position startpos moves 7g7f 8c8d" --ply 2 --match whole --yes > "$dir/out"
grep -q '^全 1 件' "$dir/out" && grep -q '2手目$' "$dir/out" || fail "db search --sfen: $(cat "$dir/out")"
"$kzb" db search "$dir/db" --sfen "sfen $start" --match whole --yes > "$dir/out"
grep -q '^全 1 件' "$dir/out" || fail "db search of the start: $(cat "$dir/out")"
echo "kzb SFEN commands: ok"
