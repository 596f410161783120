#!/usr/bin/env bash
# Installs what is missing, builds Quorvane.exe (32-bit) and starts it under Wine.
# On a machine without a display it starts a virtual one, saves a screenshot of the
# window and prints where.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVANE_BUILD:-$here/build}

"$here/scripts/install-deps.sh"
# The program is the 32-bit build; a kernel that runs no 32-bit programs gets the
# 64-bit build of the same sources instead.
. "$here/scripts/wine-arch.sh"
arch=i686 winearch=win32 loader=/usr/lib/wine/wine
mkdir -p "$build"
if ! can_run_32bit "$build"; then
  arch=x86_64 winearch=win64 loader=/usr/lib/wine/wine64
  echo "This kernel runs no 32-bit programs: starting the 64-bit build of Quorvane instead."
fi
cmake -S "$here" -B "$build/$arch" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-$arch-w64-mingw32.cmake" >/dev/null
cmake --build "$build/$arch" -j"$(nproc)" --target Quorvane -- --no-print-directory >/dev/null
exe="$build/$arch/ui/Quorvane.exe"

prefix="$build/run-wineprefix-$winearch"
"$here/scripts/wine-prefix.sh" "$prefix" "$winearch"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ] && xwininfo -root >/dev/null 2>&1; then
  # Without address randomisation, as the tests run Wine: see cmake/wine-run.in.
  exec setarch "$(uname -m)" -R "$loader" "$exe"
fi

. "$here/scripts/virtual-display.sh"
start_virtual_display
setarch "$(uname -m)" -R "$loader" "$exe" &
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
