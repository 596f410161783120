#!/usr/bin/env bash
# Folders shredded whole, through the built program: 2,000 files of 4 KiB listed as
# their folder against the same files listed one by one, in the same run; and a tree
# of 100,000 empty files in 1,000 folders on an ext4 image counted until the question
# shows, with the window's answer times meanwhile and the program's peak memory.
# Needs a display (scripts/virtual-display.sh) and root for the image's loop mount.
# usage: [ROUNDS=3] [DRIVE=Q] bench/folder-bench.sh WINDOWS_BUILD_DIR
#   DRIVE: the Wine drive letter the image is mapped as, removed again at the end.
set -euo pipefail
build=$(realpath "$1")
wine_run=$build/wine-run bench=$build/bench/program_bench.exe exe=$build/ui/Quorvane.exe
[ -x "$wine_run" ] && [ -f "$bench" ] || { echo "build $build first (target program_bench)" >&2; exit 2; }
rounds=${ROUNDS:-3} drive=${DRIVE:-Q}
link=$build/wineprefix/dosdevices/${drive,,}:
[ -e "$link" ] && { echo "drive $drive: is in use in $build/wineprefix" >&2; exit 2; }
WINEPREFIX=$build/wineprefix wineserver -p60 2>/dev/null || true
"$wine_run" cmd /c exit </dev/null >/dev/null 2>&1 || true
program=$("$wine_run" winepath -w "$exe" 2>/dev/null | tr -d '\r')

figure() {  # LOAD: the run's median seconds
  "$wine_run" "$bench" "$program" "$1" "$rounds" | tail -n 1 | tr -d '\r' | tee /dev/stderr \
    | sed -n 's/.*run \([0-9.]*\) s.*/\1/p'
}
listed=$(figure small) folder=$(figure folder)
awk -v l="$listed" -v f="$folder" 'BEGIN { printf "2,000 files of 4 KiB: as a folder %.3f s, listed one by one %.3f s: folder speed %.2f of listed (target 0.95 or more)\n", f, l, l / f }'

work=$(mktemp -d /tmp/quorvane-folder-bench.XXXXXX) mnt=
cleanup() {
  rm -f "$link"
  [ -n "$mnt" ] && { umount "$mnt" 2>/dev/null || umount -l "$mnt"; }
  rm -rf "$work"
}
trap cleanup EXIT
truncate -s 1G "$work/ext4.img"
mkfs.ext4 -q -F -N 120000 "$work/ext4.img"
mnt=$work/mnt
mkdir -p "$mnt"
mount -o loop "$work/ext4.img" "$mnt"
for ((d = 0; d < 1000; d++)); do
  mkdir -p "$mnt/tree/d$d"
  (cd "$mnt/tree/d$d" && touch $(seq -f 'empty-file-%g' 1 100))
done
sync
ln -sfn "$mnt" "$link"
"$wine_run" "$bench" "$program" count "$drive:\\tree" "$rounds" | tr -d '\r'
echo "targets: question within 10 s, every answer within 100 ms, peak memory at most 65,536 KiB"
