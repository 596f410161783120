#!/usr/bin/env bash
# The built program as a user runs it, against native dd + rm on the same disk in
# the same run, and against an earlier build of the program where one is given:
# a 1 GiB file and 2,000 files of 4 KiB through the window, the window's answer
# time during the runs (median and worst, asked from a second process), and the
# program's peak memory for 64 MiB against 1 GiB. Needs a display (run under
# scripts/virtual-display.sh's start_virtual_display where there is none).
# usage: [ROUNDS=3] bench/program-bench.sh WINDOWS_BUILD_DIR [EARLIER_QUORVANE_EXE]
set -euo pipefail
build=$(realpath "$1") earlier=${2:-}
wine_run=$build/wine-run bench=$build/bench/program_bench.exe exe=$build/ui/Quorvane.exe
[ -x "$wine_run" ] && [ -f "$bench" ] || { echo "build $build first (target program_bench)" >&2; exit 2; }
rounds=${ROUNDS:-3}
WINEPREFIX=$build/wineprefix wineserver -p60 2>/dev/null || true
"$wine_run" cmd /c exit </dev/null >/dev/null 2>&1 || true

# The program's files go to the prefix's temporary folder: dd works on the same disk.
tmp=$(mktemp -d "$build/wineprefix/drive_c/bench.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
dd_times=()
for ((i = 0; i < rounds; i++)); do
  dd if=/dev/urandom of="$tmp/large" bs=1M count=1024 conv=fsync status=none
  start=$EPOCHREALTIME
  dd if=/dev/zero of="$tmp/large" bs=16k count=65536 conv=notrunc,fsync status=none && rm "$tmp/large"
  dd_times+=("$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }')")
done
dd_median=$(printf '%s\n' "${dd_times[@]}" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
echo "1 GiB with dd conv=notrunc,fsync + rm: $dd_median s (median of $rounds: ${dd_times[*]})"

win_path() { "$wine_run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
programs=("$(win_path "$exe")")
[ -n "$earlier" ] && programs+=("$(win_path "$(realpath "$earlier")")")
# The runs' own length first, then, in runs of their own, the answers while the
# window is asked every 10 ms.
for load in large small medium large-asked; do
  for program in "${programs[@]}"; do
    ask=() what=$load
    [ "$load" = large-asked ] && ask=(--ask) what=large
    line=$("$wine_run" "$bench" "$program" "$what" "$rounds" "${ask[@]}" | tail -n 1 | tr -d '\r')
    echo "$line"
    if [ "$load" = large ]; then
      run=$(sed -n 's/.*run \([0-9.]*\) s.*/\1/p' <<<"$line")
      awk -v r="$run" -v d="$dd_median" 'BEGIN { printf "  program/dd+rm for 1 GiB: %.3f\n", r / d }'
    fi
  done
done
