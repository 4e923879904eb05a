#!/usr/bin/env bash
# kzb convert --to: game records of every kind written as KIF, KIFU and KI2, read back by kzb to the same
# CSA text, and outputs that exist left alone unless --overwrite.
# Usage: kzb_convert_to_test.sh KZB TESTDATA
set -euo pipefail
kzb=$1
data=$2/kifu
[ -d "$data" ] || { echo "no test data at $data"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
status() { set +e; "$@" > "$dir/out" 2> "$dir/err"; local s=$?; set -e; echo $s; }

# Every kind in, each Kakinoki format out; the moves and branches read back as they were.
for to in kif kifu ki2; do
  mkdir "$dir/$to"
  [ "$(status "$kzb" convert --to "$to" --outdir "$dir/$to" "$data/g001.kifu" "$data/g004.csa" "$data/g008.ki2")" = 0 ] ||
    fail "convert --to $to: $(cat "$dir/err")"
  for g in g001 g004 g008; do
    [ -s "$dir/$to/$g.$to" ] || fail "no $g.$to"
    "$kzb" csa "$dir/$to/$g.$to" | grep '^[-+][0-9]' > "$dir/moves-$to" || fail "kzb csa $g.$to"
    "$kzb" csa "$(ls "$data/$g".ki* | head -1)" | grep '^[-+][0-9]' > "$dir/moves-orig"
    cmp -s "$dir/moves-$to" "$dir/moves-orig" || fail "$g through $to: $(diff "$dir/moves-$to" "$dir/moves-orig" | head)"
  done
done
head -c 3 "$dir/kifu/g004.kifu" | iconv -f UTF-8 -t UTF-8 > /dev/null || fail "kifu is not UTF-8"
LC_ALL=C grep -q $'\r$' "$dir/kif/g004.kif" || fail "kif lines end in CRLF"

# An output that exists stays as it was without --overwrite, said on standard error, and the status says so.
printf 'mine\r\n' > "$dir/kif/g004.kif"
[ "$(status "$kzb" convert --to kif --outdir "$dir/kif" "$data/g004.csa")" = 1 ] &&
  grep -q "g004.kif exists; not written" "$dir/err" && [ "$(cat "$dir/kif/g004.kif")" = $'mine\r' ] ||
  fail "an output that exists: $(cat "$dir/err")"
[ "$(status "$kzb" convert --to kif --overwrite --outdir "$dir/kif" "$data/g004.csa")" = 0 ] &&
  grep -q "^手数----" <(iconv -f CP932 -t UTF-8 "$dir/kif/g004.kif") || fail "--overwrite: $(cat "$dir/err")"
# Never onto its own input, never a format it does not know, and --bulk is the CSA batch's alone.
cp "$data/g004.csa" "$dir/g004.csa"
[ "$(status "$kzb" convert --to csa --outdir "$dir" "$dir/g004.csa")" = 1 ] || fail "CSA onto its input"
cp "$dir/kif/g004.kif" "$dir/self.kif"
[ "$(status "$kzb" convert --to kif --overwrite --outdir "$dir" "$dir/self.kif")" = 1 ] &&
  grep -q "is the input file" "$dir/err" || fail "KIF onto its input: $(cat "$dir/err")"
[ "$(status "$kzb" convert --to png --outdir "$dir" "$dir/g004.csa")" = 2 ] || fail "an unknown format"
[ "$(status "$kzb" convert --to kif --bulk all --outdir "$dir" "$dir/g004.csa")" = 2 ] || fail "--bulk with --to kif"
echo ok
