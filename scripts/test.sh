#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit program, the 64-bit build and the
# native engine tests, and runs every test: the Windows ones under Wine on a
# virtual display. Ends with ctest's summary; exits non-zero when a test fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVANE_BUILD:-$here/build}
jobs=$(nproc)

"$here/scripts/install-deps.sh"

# Some kernels run no 32-bit programs (IA-32 emulation off): there the i686 build is
# still built, but its tests cannot run, and the summary says so as a skipped test.
# Where the kernel runs them, a 32-bit Wine that does not start fails the run, before
# anything is built.
. "$here/scripts/wine-arch.sh"
mkdir -p "$build"
archs=(x86_64)
run_32bit=false
if can_run_32bit "$build"; then archs=(i686 x86_64) run_32bit=true; fi

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
pids=()
for arch in "${archs[@]}"; do
  winearch=win64
  [ "$arch" = i686 ] && winearch=win32
  "$here/scripts/wine-prefix.sh" "$build/$arch/wineprefix" "$winearch" & pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid"; done
for arch in "${archs[@]}"; do
  # Warm the server first: started cold by a test, its helpers would hold ctest's pipes.
  # A server that is still up from an earlier run is warm already.
  WINEPREFIX="$build/$arch/wineprefix" wineserver -p60 || true
  "$build/$arch/wine-run" cmd /c exit </dev/null >/dev/null 2>&1 || true
done

# One ctest over all three builds, so the run ends with one summary.
{
  printf 'subdirs("native"'
  printf ' "%s"' "${archs[@]}"
  printf ')\n'
  if ! $run_32bit; then
    printf 'add_test(i686.tests_cannot_run_on_this_machine "%s" "-c" "echo \\"SKIP (machine): %s\\"; exit 77")\n' \
      "$(command -v bash)" "$cannot_run_32bit_reason"
    printf 'set_tests_properties(i686.tests_cannot_run_on_this_machine PROPERTIES SKIP_RETURN_CODE 77)\n'
    # Building needs no Wine: the 32-bit build's reproducibility is checked still.
    printf 'add_test(i686.package_builds_are_reproducible "%s" "%s" "%s" i686 "%s")\n' \
      "$(command -v bash)" "$here/tests/package/reproducible.sh" "$here" "$build/i686"
    echo "NOTE: $cannot_run_32bit_reason" >&2
  fi
} >"$build/CTestTestfile.cmake"
echo "== testing"
cd "$build"
junit=$build/ctest-results.xml
status=0
# Most Windows tests wait on Wine (its server, the display) rather than use a core,
# so ctest runs four tests per core; what must not overlap says so by a lock.
ctest --output-on-failure --timeout 600 -j"$((jobs * 4))" --output-junit "$junit" || status=$?
# Under CI a test may skip only for what the machine cannot do (see check-skips.py);
# the check reads ctest's record of the run, so it holds for every test.
if [ "${CI:-}" = true ]; then
  python3 "$here/scripts/check-skips.py" "$junit" || status=1
fi
exit $status
