#!/usr/bin/env bash
# A shogi database on a read-only medium is searched, exported, selected from and checked; a repair of
# it says "read-only" and changes nothing. As root the medium is a tmpfs remounted read-only (chmod does
# not stop root); otherwise the write permissions are taken away.
set -euo pipefail
kzb=$1
dir=$(mktemp -d)
medium="$dir/medium"
mkdir "$medium"
mounted=
cleanup() {
  if [ -n "$mounted" ]; then umount -l "$medium"; else chmod -R u+w "$dir"; fi
  rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
if [ "$(id -u)" = 0 ]; then
  mount -t tmpfs -o size=4m tmpfs "$medium" 2> /dev/null || { echo "kzb read-only medium: skipped (cannot mount a tmpfs)"; exit 0; }
  mounted=yes
fi
db="$medium/db"
printf 'N+羽生\r\nN-森内\r\nPI\r\n+\r\n+7776FU\r\n-3334FU\r\n+2726FU\r\n' | iconv -f UTF-8 -t CP932 > "$dir/game.csa"
"$kzb" db create "$db" > /dev/null
"$kzb" db import "$db" "$dir/game.csa" > /dev/null
rm "$db/SHGDB.lock"  # a medium written elsewhere need not carry one
if [ -n "$mounted" ]; then mount -o remount,ro "$medium"; else chmod -R a-w "$medium"; fi
sums() { (cd "$db" && cat ./* | md5sum); }
before=$(sums)

"$kzb" db search "$db" > "$dir/out" 2> "$dir/err" || fail "search: $(cat "$dir/err")"
[ "$(tail -n1 "$dir/out")" = "全 1 件" ] || fail "search: $(cat "$dir/out")"
"$kzb" db export "$db" 0 -o "$dir/out.csa" > /dev/null 2> "$dir/err" || fail "export: $(cat "$dir/err")"
iconv -f CP932 -t UTF-8 "$dir/out.csa" | grep -q '^+2726FU' || fail "export: moves missing"
[ "$("$kzb" sql "$db" 'select 対局者 from SHGDB_B' 2> /dev/null)" = "羽生-森内" ] || fail "select"
"$kzb" table check "$db" SHGDB_D > "$dir/out" 2> "$dir/err" || fail "table check: $(cat "$dir/out")"
grep -q 'SHGDB_D: read-only' "$dir/out" || fail "table check does not say read-only: $(cat "$dir/out")"
grep -q 'no problems' "$dir/out" || fail "table check: $(cat "$dir/out")"
grep -q 'is read-only; it is read without a lock file' "$dir/err" || fail "no lock note: $(cat "$dir/err")"
if "$kzb" table rebuild "$db" SHGDB_D > /dev/null 2> "$dir/err"; then fail "a rebuild on a read-only medium succeeded"; fi
grep -q 'error 7 (table files are read-only)' "$dir/err" || fail "rebuild: $(cat "$dir/err")"
if "$kzb" db import "$db" "$dir/game.csa" > /dev/null 2>&1; then fail "an import on a read-only medium succeeded"; fi
[ "$(sums)" = "$before" ] || fail "the read-only database changed"
echo "kzb read-only medium: ok"
