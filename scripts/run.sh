#!/usr/bin/env bash
# Installs what is missing, builds Quorvane.exe (32-bit) and starts it under Wine.
# On a machine without a display it starts a virtual one, saves a screenshot of the
# window and prints where.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVANE_BUILD:-$here/build}

"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$build/i686" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
cmake --build "$build/i686" -j"$(nproc)" --target Quorvane -- --no-print-directory >/dev/null
exe="$build/i686/ui/Quorvane.exe"

prefix="$build/run-wineprefix"
"$here/scripts/wine-prefix.sh" "$prefix" win32
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ] && xwininfo -root >/dev/null 2>&1; then
  exec /usr/lib/wine/wine "$exe"
fi

. "$here/scripts/virtual-display.sh"
start_virtual_display
/usr/lib/wine/wine "$exe" &
program=$!
for _ in $(seq 100); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Quorvane"' && break
  sleep 0.2
done
sleep 1
shot="$build/quorvane-screenshot.png"
xwd -root -silent | convert xwd:- "$shot"
echo "No display here: Quorvane runs on the virtual display $DISPLAY. Screenshot: $shot"
if [ -t 0 ]; then
  read -r -p "Press Enter to close Quorvane. " _
fi
wineserver -k 2>/dev/null || kill "$program" 2>/dev/null || true
