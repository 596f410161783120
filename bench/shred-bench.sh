#!/usr/bin/env bash
# Throughput of the engine under Wine against native dd and GNU shred, in one run
# on the same disk, and the engine's peak memory for a large and a small file.
# Prints figures and ratios only: the baselines are measured in the same run, so
# the ratios hold on any machine while the raw numbers do not.
# usage: [ROUNDS=3] [BASELINE=BUILD_DIR] bench/shred-bench.sh [WINDOWS_BUILD_DIR]
#   (default /work/main/build/i686). BASELINE: a build of the same architecture from
#   before a change; its engine runs on the same workloads in the same rounds, and the
#   figures end with this build's engine against it.
# On a shared or virtual disk single runs vary by 10-20%; more rounds steady the medians.
set -euo pipefail
build=$(realpath "${1:-/work/main/build/i686}")
wine_run=$build/wine-run shredrun=$build/tests/tools/shredrun.exe
[ -x "$wine_run" ] && [ -f "$shredrun" ] || { echo "build $build first (target shredrun)" >&2; exit 2; }
tools=(engine dd shred)
if [ -n "${BASELINE:-}" ]; then
  baseline=$(realpath "$BASELINE")
  [ -x "$baseline/wine-run" ] && [ -f "$baseline/tests/tools/shredrun.exe" ] \
    || { echo "build $baseline first (target shredrun)" >&2; exit 2; }
  tools+=(baseline)
fi
[ -x /usr/bin/time ] || { echo "needs GNU time (package time) for the memory figures" >&2; exit 2; }

rounds=${ROUNDS:-3}
large_bytes=$((1024 * 1024 * 1024)) small_count=2000 small_bytes=4096
memory_small_bytes=$((64 * 1024 * 1024))

# On the build's disk, like the files a user shreds; removed however the run ends.
work=$(mktemp -d "$build/bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# A warm Wine server, so the engine's figures do not include Wine's start-up.
for b in "$build" ${baseline:+"$baseline"}; do
  WINEPREFIX=$b/wineprefix wineserver -p60 2>/dev/null || true
  "$b/wine-run" cmd /c exit </dev/null >/dev/null 2>&1 || true
done

# Fresh, fully allocated files for every tool and round: each overwrites in place.
make_large() {  # NAME BYTES
  dd if=/dev/zero of="$1" bs=1M count=$(($2 / 1048576)) conv=fsync status=none
}
make_small() {
  mkdir small
  local i
  for ((i = 1; i <= small_count; i++)); do printf "%${small_bytes}s" "" >small/$i; done
  sync
}
small_names() { local i; for ((i = 1; i <= small_count; i++)); do echo "$i"; done; }

# The engine takes names relative to its current folder: 2,000 full paths would
# not fit a Windows command line.
engine_run() {  # RSS_FILE NAME...: this build's engine
  build_run "$build" "$@"
}
build_run() {  # BUILD RSS_FILE NAME...
  local from=$1 rss=$2; shift 2
  local out
  out=$(/usr/bin/time -f %M -o "$rss" "$from/wine-run" "$from/tests/tools/shredrun.exe" "$@" </dev/null)
  local marked
  marked=$(grep -c '^SHREDDED! \.\.\. ' <<<"$out" || true)
  [ "$marked" = $# ] || { echo "engine marked $marked of $# entries" >&2; exit 1; }
}

seconds() {  # COMMAND...: runs it, prints its wall-clock time in seconds
  local start=$EPOCHREALTIME
  "$@"
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f\n", b - a }'
}

large_engine() { engine_run "$work/rss.large" large; }
large_dd() { dd if=/dev/zero of=large bs=16k count=$((large_bytes / 16384)) conv=notrunc,fsync status=none && rm large; }
large_shred() { shred -n 0 -z -u large; }
small_engine() { (cd small && mapfile -t names < <(small_names) && engine_run "$work/rss.small" "${names[@]}"); }
large_baseline() { build_run "$baseline" "$work/rss.base" large; }
small_baseline() { (cd small && mapfile -t names < <(small_names) && build_run "$baseline" "$work/rss.base" "${names[@]}"); }
small_dd() {
  local f
  for f in small/*; do
    dd if=/dev/zero of="$f" bs="$small_bytes" count=1 conv=notrunc,fsync status=none && rm "$f"
  done
}
small_shred() { (cd small && small_names | xargs shred -n 0 -z -u); }

# The fixed cost of starting the engine's Windows process, for reading the figures.
startup_engine() { : >empty && engine_run "$work/rss.empty" empty; }

declare -A times
for ((round = 1; round <= rounds; round++)); do
  times[startup]+="$(seconds startup_engine) "
  for tool in "${tools[@]}"; do
    make_large large "$large_bytes"
    times[large.$tool]+="$(seconds "large_$tool") "
    [ ! -e large ] || { echo "$tool left the large file" >&2; exit 1; }
    make_small
    times[small.$tool]+="$(seconds "small_$tool") "
    [ -z "$(ls -A small)" ] || { echo "$tool left small files" >&2; exit 1; }
    rmdir small
  done
  echo "round $round of $rounds done" >&2
done

median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
mbps() { awk -v bytes="$1" -v s="$2" 'BEGIN { printf (bytes / s / 1e6 < 100 ? "%.1f" : "%.0f"), bytes / s / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b / a }'; }  # from times: higher is faster

echo
echo "Medians of $rounds runs in $work's file system ($(df --output=fstype "$work" | tail -n 1)):"
for load in large small; do
  if [ $load = large ]; then bytes=$large_bytes label="1 GiB file"; else
    bytes=$((small_count * small_bytes)) label="$small_count files of 4 KiB"; fi
  e=$(median "${times[$load.engine]}") d=$(median "${times[$load.dd]}") s=$(median "${times[$load.shred]}")
  printf '%-20s engine %6s MB/s (%ss)  dd %6s MB/s (%ss)  shred %6s MB/s (%ss)\n' "$label:" \
    "$(mbps "$bytes" "$e")" "$e" "$(mbps "$bytes" "$d")" "$d" "$(mbps "$bytes" "$s")" "$s"
  printf '%-20s engine/dd %s   engine/shred %s\n' "" "$(ratio "$e" "$d")" "$(ratio "$e" "$s")"
done

printf '%-20s %ss per call, included in the engine figures\n' "Wine start-up:" "$(median "${times[startup]}")"

if [ -n "${baseline:-}" ]; then
  echo
  echo "Against the baseline build $baseline (above 1.00: this build is faster):"
  for load in large small; do
    e=$(median "${times[$load.engine]}") b=$(median "${times[$load.baseline]}")
    printf '%-20s engine %ss  baseline %ss  engine/baseline %s\n' "$load:" "$e" "$b" "$(ratio "$e" "$b")"
  done
fi

# Peak memory of the engine's process must not grow with the file.
make_large medium "$memory_small_bytes"
engine_run "$work/rss.medium" medium
printf '\nEngine peak RSS: %s KiB for the 1 GiB file, %s KiB for a 64 MiB file\n' \
  "$(cat "$work/rss.large")" "$(cat "$work/rss.medium")"
