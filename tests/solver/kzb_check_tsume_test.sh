#!/usr/bin/env bash
# kzb check-tsume end to end: a sound problem exits 0 with an empty report, one edited to have a second
# mating first move exits 1 naming it, a usage error exits 2.
set -euo pipefail
kzb=$1
data=$2/tsume
[ -f "$data/index.tsv" ] || { echo "shared test data not found: skipped"; exit 0; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
status() { local got=0; "$@" > "$dir/out" 2> "$dir/err" < /dev/null || got=$?; echo "$got"; }

[ "$(status "$kzb" check-tsume "$data/y3-04.pcl" --engine pn --time-limit 30)" = 0 ] || fail "sound: $(cat "$dir/out" "$dir/err")"
grep -q '余詰 0件, 早詰 0件, 不詰 0件' "$dir/out" || fail "sound summary: $(cat "$dir/out")"

# The intended line of the sound problem, played on the position with gote's horse given to sente.
sfen=$(awk -F'\t' '$1=="y3-04"{print $5}' "$data/index.tsv")
"$kzb" solve "sfen $sfen" -o "$dir/solved.pcl" > /dev/null
moves=$("$kzb" show "$dir/solved.pcl" --usi | sed 's/.* moves //')
planted=$(echo "$sfen" | sed 's|2+b1G1g2|4G1g2|; s| 2GS3Pnp| B2GS3Pnp|')
[ "$(status "$kzb" check-tsume "position sfen $planted moves $moves")" = 1 ] || fail "planted: $(cat "$dir/out" "$dir/err")"
grep -q '^余詰 1手目 .*角' "$dir/out" || fail "planted report: $(cat "$dir/out")"

[ "$(status "$kzb" check-tsume)" = 2 ] || fail "no file"
[ "$(status "$kzb" check-tsume "$data/y3-04.pcl" --engine fast)" = 2 ] || fail "unknown engine"
echo ok
