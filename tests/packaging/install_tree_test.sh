#!/usr/bin/env bash
# cmake --install of a build into a temporary prefix, then a look at the tree: the programs, the assets,
# the desktop entry, icons, AppStream metadata, MIME types, manual pages and bash completion. A validator
# that is not installed is skipped with a line saying so.
# Usage: install_tree_test.sh BUILD_DIR APP_ID GUI (GUI 1 when komaraku was built)
set -euo pipefail
build=$1 id=$2 gui=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
skip() { echo "skipped: $*"; }
have() { command -v "$1" >/dev/null; }
need_file() { [ -s "$prefix/$1" ] || fail "$1 is not installed"; }

cmake --install "$build" --prefix "$prefix" > "$prefix/install.log" 2>&1 || { cat "$prefix/install.log" >&2; fail "cmake --install"; }
share=$prefix/share

[ -x "$prefix/bin/kzb" ] || fail "bin/kzb is not installed"
"$prefix/bin/kzb" help > "$prefix/help.txt" || fail "the installed kzb does not run"
grep -q "kzb db" "$prefix/help.txt" || fail "kzb help from the prefix"
need_file share/man/man1/kzb.1
need_file share/bash-completion/completions/kzb
bash -n "$share/bash-completion/completions/kzb" || fail "the completion file is not valid bash"
grep -q "complete -F _kzb kzb" "$share/bash-completion/completions/kzb" || fail "the completion is not bound to kzb"

man_pages=("$share/man/man1/kzb.1")
if [ "$gui" = 1 ]; then
  [ -x "$prefix/bin/komaraku" ] || fail "bin/komaraku is not installed"
  for asset in back.dib kmfont.dib KBox.dib sg0.dib sg1.dib su0.dib su1.dib kmsound.wav \
               samples/sample-game.csa samples/sample-games.csa samples/sample-tsume.pcl samples/sample-problems.pcl; do
    need_file "share/komaraku/$asset"
  done

  desktop=$share/applications/$id.desktop
  need_file "share/applications/$id.desktop"
  if have desktop-file-validate; then
    desktop-file-validate "$desktop" > "$prefix/desktop.txt" || { cat "$prefix/desktop.txt" >&2; fail "desktop-file-validate"; }
  else
    skip "desktop-file-validate is not installed; the keys are only looked for"
  fi
  for key in "Name=" "Name\[ja\]=" "Exec=komaraku %f" "Icon=$id" "Categories=Game;BoardGame;Education;" "MimeType="; do
    grep -q "^$key" "$desktop" || fail "the desktop entry lacks $key"
  done

  for size in 16 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -s "$png" ] || fail "the ${size}x${size} icon is not installed"
    # The PNG signature, then the IHDR width and height (big-endian) at bytes 16..23.
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
  done
  need_file "share/icons/hicolor/scalable/apps/$id.svg"

  metainfo=$share/metainfo/$id.metainfo.xml
  need_file "share/metainfo/$id.metainfo.xml"
  if have appstreamcli; then
    appstreamcli validate --no-net "$metainfo" > "$prefix/as.txt" 2>&1 || { cat "$prefix/as.txt" >&2; fail "appstreamcli validate"; }
  elif have xmllint; then
    xmllint --noout "$metainfo" || fail "the metainfo is not well-formed XML"
  else
    skip "neither appstreamcli nor xmllint is installed; the metainfo is not validated"
  fi
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the metainfo does not launch $id.desktop"

  mime=$share/mime/packages/komaraku.xml
  need_file share/mime/packages/komaraku.xml
  if have xmllint; then xmllint --noout "$mime" || fail "the MIME XML is not well-formed"; else skip "xmllint is not installed"; fi
  if have update-mime-database; then
    # The database built from our file alone must give each extension a type, and the desktop entry must
    # claim every one of them, since komaraku opens each from its command line.
    update-mime-database "$share/mime" > /dev/null 2>&1 || fail "update-mime-database rejects the MIME XML"
    for ext in csa pcl skb kif kifu ki2; do
      type=$(awk -F: -v g="*.$ext" '$3 == g {print $2}' "$share/mime/globs2")
      [ -n "$type" ] || fail "no MIME type for *.$ext"
      grep -q "^MimeType=.*$type;" "$desktop" || fail "the desktop entry does not take $type (*.$ext)"
    done
  else
    skip "update-mime-database is not installed; the globs are only looked for"
    for ext in csa pcl skb kif kifu ki2; do grep -q "pattern=\"\*\.$ext\"" "$mime" || fail "no glob for *.$ext"; done
  fi
  need_file share/man/man1/komaraku.1
  man_pages+=("$share/man/man1/komaraku.1")
fi

if have groff; then
  for page in "${man_pages[@]}"; do
    warnings=$(LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z "$page" 2>&1) || fail "groff on $page"
    [ -z "$warnings" ] || fail "groff warns on $page: $warnings"
  done
else
  skip "groff is not installed; the manual pages are not formatted"
fi
echo "the installed tree is complete"
