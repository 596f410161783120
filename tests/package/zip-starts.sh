#!/usr/bin/env bash
# The release zip holds what it should, and the Quorvane.exe unpacked from it starts
# and shows its main window: what a user who downloads it does first.
# usage: zip-starts.sh ZIP BUILT_EXE SOURCE_DIR WINE_LOADER WINEARCH PREFIX
# The program runs in a prefix of this test's own: other tests look for a window
# called "Quorvane" in the build's prefix and must not find this one.
set -euo pipefail
zip=$1 built=$2 source=$3 loader=$4 winearch=$5 prefix=$6
here=$(cd "$(dirname "$0")" && pwd)

python3 "$here/check-zip.py" "$zip" "$source" "$built"

# This build's tests run only where its Wine can (scripts/test.sh decides), so a
# loader that does not start is a broken install.
if ! out=$("$loader" --version 2>&1); then
  package=wine64
  [ "$winearch" = win32 ] && package=wine32:i386
  echo "FAIL: $loader does not start (${out:-no output}): install the package $package; the zip's contents were checked"
  exit 1
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "FAIL: no display to start Quorvane.exe on (scripts/test.sh starts one); the zip's contents were checked"
  exit 1
fi

tmp=$(mktemp -d /tmp/qv-pkg-start-XXXXXX)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$tmp/unpacked"

"$source/scripts/wine-prefix.sh" "$prefix" "$winearch"
export WINEPREFIX=$prefix WINEARCH=$winearch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
setarch "$(uname -m)" -R "$loader" "$tmp/unpacked/Quorvane.exe" </dev/null >"$tmp/out.log" 2>&1 &
pid=$!

# The window counts only if it is this program's: Wine marks each X window with the
# Unix process that made it, and that process runs the exe unpacked here.
ours() {  # X window id
  local owner
  owner=$(xprop -id "$1" _NET_WM_PID 2>/dev/null | sed -n 's/.* = //p')
  [ -n "$owner" ] && tr '\0' ' ' <"/proc/$owner/cmdline" 2>/dev/null | grep -qF "$tmp/unpacked/Quorvane.exe"
}
shown=""
deadline=$((SECONDS + 60))  # a cold prefix starts slowly on a busy machine
while [ "$SECONDS" -lt "$deadline" ]; do
  for window in $(xwininfo -root -tree 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "Quorvane": .*/\1/p'); do
    if xwininfo -id "$window" 2>/dev/null | grep -q "Map State: IsViewable" && ours "$window"; then
      shown=$window
      break 2
    fi
  done
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "Quorvane.exe from the zip ended before it showed its window:"
    cat "$tmp/out.log"
    exit 1
  fi
  sleep 0.1
done
if [ -z "$shown" ]; then
  echo "Quorvane.exe from the zip showed no window \"Quorvane\" within a minute"
  exit 1
fi
echo "Quorvane.exe from $(basename "$zip") shows its main window ($shown)"
