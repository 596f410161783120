#!/usr/bin/env bash
# What filling the free MFT records adds to a free-space wipe, under Wine on images
# mounted as drives (root). Prints figures and ratios only, each against a baseline
# measured in the same run:
#   - records per second on an ntfs-3g image with many free records, against a native
#     loop that makes the same small files in the same kind of tree on the same mount;
#   - the record fill's share of a whole wipe of a 1 GiB NTFS image;
#   - its share of a wipe of 1 GiB ext4, exFAT and FAT32 images, where it ends at once.
# usage: [ROUNDS=3] [RECORDS=20000] bench/record-bench.sh [WINDOWS_BUILD_DIR]   (default /work/main/build/i686)
# Takes some minutes a round: a 1 GiB fill on each of four FUSE or loop images.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-/work/main/build/i686}")
wine_run=$build/wine-run shredrun_exe=$build/tests/tools/shredrun.exe floor_exe=$build/bench/record_floor.exe
[ -x "$wine_run" ] && [ -f "$shredrun_exe" ] && [ -f "$floor_exe" ] \
  || { echo "build $build first (targets shredrun, record_floor)" >&2; exit 2; }
[ "$(id -u)" = 0 ] || { echo "needs root for the mounts" >&2; exit 2; }
rounds=${ROUNDS:-3} records=${RECORDS:-20000} letter=O

# The medium tests' helpers: images, Wine drives, and clean-up however the run ends.
set +e
. "$here/tests/medium/medium-lib.sh" "$wine_run" "$shredrun_exe" "$build/wineprefix"
set -e
WINEPREFIX=$build/wineprefix wineserver -p60 2>/dev/null || true
"$wine_run" cmd /c exit </dev/null >/dev/null 2>&1 || true

# make_files DIR COUNT: COUNT files of one short line in folders of 100, as a user's
# notes and settings would be; deleted again, they leave COUNT records free.
make_files() {
  python3 - "$1" "$2" <<'EOF'
import os, sys
root, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    folder = os.path.join(root, "d%d" % (i // 100))
    if i % 100 == 0:
        os.makedirs(folder)
    with open(os.path.join(folder, "note%d.txt" % i), "w") as f:
        f.write("note %d\n" % i)
EOF
}

# native_tree DIR COUNT: seconds a native loop takes for COUNT files of 664 zeros in
# folders of five entries, ten deep, as the record fill lays them out.
native_tree() {
  python3 - "$1" "$2" <<'EOF'
import os, sys, time
top, count = sys.argv[1], int(sys.argv[2])
zeros = bytes(664)
start = time.monotonic()
os.mkdir(top)
for slot in range(count):
    folder, n = top, slot // 5
    for level in range(10):
        folder = os.path.join(folder, str(n // 5 ** (9 - level) % 5))
        if slot % 5 ** (10 - level) == 0:
            os.mkdir(folder)
    with open(os.path.join(folder, str(slot % 5)), "wb") as f:
        f.write(zeros)
print("%.6f" % (time.monotonic() - start))
EOF
}

# wipe FILE: the engine's wipe of a missing name on drive $letter, with each status
# line time-stamped into FILE as it comes, and a last line "end" once it has exited.
wipe() {
  { shredrun --status "$letter:\\wipe" 2>&1 >"$work/entries"; } \
    | while IFS= read -r line; do echo "$EPOCHREALTIME $line"; done >"$1"
  echo "$EPOCHREALTIME end" >>"$1"
  [ "$(cat "$work/entries")" = "SHREDDED! ... $letter:\\wipe" ] \
    || { echo "the wipe was not marked: $(cat "$work/entries")" >&2; exit 1; }
}
# stamp FILE PATTERN [N]: the time of the N-th (default first) status line matching.
stamp() { grep -E " $2" "$1" | sed -n "${3:-1}p" | cut -d' ' -f1; }
last() { awk '{ print $NF }' <<<"$1"; }
span() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f", b - a }'; }

declare -A times
image=$work/img mnt=$work/mnt
for ((round = 1; round <= rounds; round++)); do
  # NTFS, 1 GiB, with RECORDS records left free by deleted small files.
  ntfs_image "$image" "$mnt" 1G
  make_files "$mnt/notes" "$records"
  rm -rf "$mnt/notes"
  sync
  map_drive "$letter" "$mnt"
  wipe "$work/ntfs.log"
  begin=$(stamp "$work/ntfs.log" 'shredding ') fill_end=$(stamp "$work/ntfs.log" 'wiping the free records')
  removal=$(stamp "$work/ntfs.log" 'removing the ') records_end=$(stamp "$work/ntfs.log" 'shredding ' 2)
  end=$(stamp "$work/ntfs.log" "end$")
  made=$(grep -oE 'removing the [0-9]+ small' "$work/ntfs.log" | head -n 1 | grep -oE '[0-9]+')
  [ -n "$made" ] || { echo "no removal line in the status lines:" >&2; cat "$work/ntfs.log" >&2; exit 1; }
  times[ntfs.total]+="$(span "$begin" "$end") " times[ntfs.data]+="$(span "$begin" "$fill_end") "
  times[ntfs.records]+="$(span "$fill_end" "$removal") " times[ntfs.removal]+="$(span "$removal" "$records_end") "
  times[ntfs.made]+="$made "
  # Each round's figures as they come, so that a round that fails later loses none.
  echo "round $round: ntfs: $made files in $(span "$fill_end" "$removal")s, removed in" \
    "$(span "$removal" "$records_end")s, whole wipe $(span "$begin" "$end")s" >&2
  # The same number of files, made natively in the same tree on the same mount.
  times[native.records]+="$(native_tree "$mnt/native" "$made") "
  rm -rf "$mnt/native"
  times[floor.records]+="$("$wine_run" "$floor_exe" "$letter:\\floor" "$made" 664 </dev/null | tr -d '\r') "
  rm -rf "$mnt/floor"
  unmount "$mnt"
  rm -f "$image"

  for fs in ext4 exfat fat32; do
    case $fs in
      ext4) truncate -s 1G "$image" && mkfs.ext4 -q -F "$image" >/dev/null 2>&1 && mount_image "$image" "$mnt" ;;
      exfat) exfat_image "$image" "$mnt" 1G ;;
      fat32) fat32_image "$image" "$mnt" 1G ;;
    esac
    map_drive "$letter" "$mnt"
    wipe "$work/$fs.log"
    begin=$(stamp "$work/$fs.log" 'shredding ') phase=$(stamp "$work/$fs.log" 'wiping the free records')
    records_end=$(stamp "$work/$fs.log" 'shredding ' 2) end=$(stamp "$work/$fs.log" "end$")
    times[$fs.total]+="$(span "$begin" "$end") " times[$fs.records]+="$(span "$phase" "$records_end") "
    echo "round $round: $fs: whole wipe $(span "$begin" "$end")s, record fill $(span "$phase" "$records_end")s" >&2
    unmount "$mnt"
    # ext4 and exFAT stand on a loop device of their own: free it for the next round.
    [ $fs != fat32 ] && { losetup -d "${cleanup_loops[-1]}"; unset 'cleanup_loops[-1]'; }
    rm -f "$image"
  done
done

median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
calc() { awk "BEGIN { printf \"$1\", $2 }"; }
made=$(median "${times[ntfs.made]}") records_s=$(median "${times[ntfs.records]}")
removal_s=$(median "${times[ntfs.removal]}") native_s=$(median "${times[native.records]}")
floor_s=$(median "${times[floor.records]}")
total=$(median "${times[ntfs.total]}") data=$(median "${times[ntfs.data]}")
rate=$(calc %.0f "$made / $records_s") native_rate=$(calc %.0f "$made / $native_s")
floor_rate=$(calc %.0f "$made / $floor_s")
echo
echo "Medians of $rounds runs, 1 GiB images under Wine ($records deleted small files on NTFS):"
# Each file fills one record, and so does each folder of the tree (about one for
# every four files): the rate counts the files alone.
printf 'NTFS (ntfs-3g): %s small files for the free records in %ss: %s files/s; native loop %s/s (engine/native %s)\n' \
  "$made" "$records_s" "$rate" "$native_rate" "$(calc %.2f "$rate / $native_rate")"
printf '                the least Wine takes for the same files %s/s (Wine floor/native %s, engine/floor %s)\n' \
  "$floor_rate" "$(calc %.2f "$floor_rate / $native_rate")" "$(calc %.2f "$rate / $floor_rate")"
printf '                removing them %ss (%s files/s)\n' "$removal_s" "$(calc %.0f "$made / $removal_s")"
printf '                whole wipe %ss: data fill %ss, records and their removal %s%% of it\n' \
  "$total" "$data" "$(calc %.1f "100 * ($records_s + $removal_s) / $total")"
for fs in ext4 exfat fat32; do
  t=$(median "${times[$fs.total]}") r=$(median "${times[$fs.records]}")
  printf '%-15s whole wipe %ss, the record fill (ends at once) %ss: %s%% of it\n' "$fs:" "$t" "$r" \
    "$(calc %.2f "100 * $r / $t")"
done
printf 'A million free records at this rate: %s min to fill and %s min to remove\n' \
  "$(calc %.1f "1000000 / $rate / 60")" "$(calc %.1f "1000000 / ($made / $removal_s) / 60")"
