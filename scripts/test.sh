#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit program, the 64-bit build and the
# native engine tests, and runs every test: the Windows ones under Wine on a
# virtual display. Ends with ctest's summary; exits non-zero when a test fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVANE_BUILD:-$here/build}
jobs=$(nproc)

"$here/scripts/install-deps.sh"

configure_and_build() {  # dir [cmake args...]
  local dir=$1; shift
  cmake -S "$here" -B "$build/$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$build/$dir" -j"$jobs" -- --no-print-directory >/dev/null
}
echo "== building"
configure_and_build native -DCMAKE_BUILD_TYPE=Debug
configure_and_build i686 -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-i686-w64-mingw32.cmake"
configure_and_build x86_64 -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-x86_64-w64-mingw32.cmake"

. "$here/scripts/virtual-display.sh"
start_virtual_display

echo "== preparing Wine"
"$here/scripts/wine-prefix.sh" "$build/i686/wineprefix" win32 & p32=$!
"$here/scripts/wine-prefix.sh" "$build/x86_64/wineprefix" win64 & p64=$!
wait $p32
wait $p64
for arch in i686 x86_64; do
  # Warm the server first: started cold by a test, its helpers would hold ctest's pipes.
  # A server that is still up from an earlier run is warm already.
  WINEPREFIX="$build/$arch/wineprefix" wineserver -p60 || true
  "$build/$arch/wine-run" cmd /c exit </dev/null >/dev/null 2>&1 || true
done

# One ctest over all three builds, so the run ends with one summary.
cat >"$build/CTestTestfile.cmake" <<'CTEST'
subdirs("native" "i686" "x86_64")
CTEST
echo "== testing"
cd "$build"
ctest --output-on-failure --timeout 600 -j"$jobs"
