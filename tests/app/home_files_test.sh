#!/bin/bash
# Starts komaraku offscreen with HOME, the XDG folders and TMPDIR in a fresh temporary folder, lets it start
# and end, and checks that every file it made or changed is under HOME/.config, HOME/.local/share or
# HOME/.cache: nothing beside the program, nothing in the temporary folder or its parent.
# Usage: home_files_test.sh KOMARAKU [BUILD_DIR]  (with BUILD_DIR, an installed copy is tried first)
set -u
exe=$1
build=${2:-}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
home=$root/home
mkdir -p "$home" "$root/tmp" "$root/run"
chmod 700 "$root/run"
if [ -n "$build" ] && cmake --install "$build" --prefix "$root/prefix" >/dev/null 2>&1 &&
  [ -x "$root/prefix/bin/komaraku" ]; then
  exe=$root/prefix/bin/komaraku
  echo "running the installed copy: $exe"
else
  rm -rf "$root/prefix"
  echo "running the build tree's program: $exe"
fi
exe_dir=$(dirname "$(readlink -f "$exe")")

listing() {
  # Folders by name only (their times change as entries come and go), files with size and time.
  find "$root" "$exe_dir" \( -type d -printf '%p/\n' \) -o -printf '%p %s %T@\n' | sort
}

before=$(listing)
env -u SHGDB -u XDG_CONFIG_DIRS -u XDG_DATA_DIRS QT_QPA_PLATFORM=offscreen HOME="$home" \
  XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache" \
  XDG_RUNTIME_DIR="$root/run" TMPDIR="$root/tmp" timeout 120 "$exe" --no-title --quit-after-start
code=$?
after=$(listing)
status=0
if [ $code -ne 0 ]; then
  echo "komaraku ended with $code"
  status=1
fi
while IFS= read -r line; do
  path=${line%% *}
  case $path in
    "$home/.config/"* | "$home/.local/" | "$home/.local/share/"* | "$home/.cache/"*) ;;
    *)
      echo "written outside the XDG folders: $line"
      status=1
      ;;
  esac
done < <(comm -13 <(echo "$before") <(echo "$after"))
for made in "$home/.config/komaraku/komaraku.ini" "$home/.local/share/komaraku/database/SHGDB_A.dat"; do
  if [ ! -e "$made" ]; then
    echo "missing after the run: $made"
    status=1
  fi
done
[ $status -eq 0 ] && echo "everything written is under $home/.config, .local/share or .cache"
exit $status
