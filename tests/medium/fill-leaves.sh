#!/usr/bin/env bash
# What a free-space fill leaves of files deleted earlier the ordinary way. Files with
# unique marker lines are written, deleted without Quorvane, and a missing name on
# that drive is filled; then the unmounted image is scanned raw and with The Sleuth
# Kit. The fill writes 95% of the free space, so what lies in the other 5% stays, and
# so do small files that NTFS keeps inside their MFT records, where no data fill
# reaches. The figures measured here are the limits asserted: a change that makes
# the fill leave more fails.
# usage: fill-leaves.sh WINE_RUN SHREDRUN_EXE WINEPREFIX ext4|ntfs|exfat|fat32 DRIVE_LETTER MAX_BIG MAX_SMALL
#   MAX_BIG: most marker lines of the large files that may survive (of 1,310,720)
#   MAX_SMALL: most of the 64 small files whose line may survive
set -uo pipefail
fstype=${4:?file-system type} letter=${5:?drive letter} max_big=${6:?} max_small=${7:?}
. "$(dirname "$0")/medium-lib.sh"

image=$work/$fstype.img mnt=$work/mnt
case $fstype in
  ext4)
    need_tools e2fsprogs mkfs.ext4
    truncate -s 64M "$image" && mkfs.ext4 -q -F "$image" >/dev/null 2>&1 || fail "mkfs.ext4 failed"
    mount_image "$image" "$mnt"
    ;;
  ntfs) ntfs_image "$image" "$mnt" 64M ;;
  exfat) exfat_image "$image" "$mnt" 64M ;;
  # fusefat reports no free space at all for clusters of 512 bytes, which mkfs.vfat
  # picks below 300 MiB; from there on they are 4 KiB, as on most real FAT32 drives.
  fat32) fat32_image "$image" "$mnt" 300M ;;
  *) fail "unknown file system $fstype" ;;
esac
need_tools sleuthkit fls icat

# 40 files of about 1 MiB (32,768 lines of 32 bytes each, 1,310,720 lines in all),
# which take most of the drive, and 64 files of one short line each; every line
# holds this run's own token, and no two lines are the same.
token=QRVLEFT$(od -An -N4 -tx4 /dev/urandom | tr -d ' ')
for ((i = 0; i < 40; i++)); do
  seq -f "$token-$(printf %02d $i)-%06g-big" 0 32767 >"$mnt/big$i.dat" || fail "cannot write the test files"
done
for ((i = 0; i < 64; i++)); do printf '%s-%02d-small\n' "$token" "$i" >"$mnt/small$i.txt"; done
sync
rm -f "$mnt"/big*.dat "$mnt"/small*.txt
sync
map_drive "$letter" "$mnt"

output=$(shredrun "$letter:\\wipe") || fail "shredrun exited with $?"
expect_lines "$output" "SHREDDED! ... $letter:\\wipe"
unmount "$mnt"

big_left=$(grep -a -o -e "$token-..-......-big" "$image" | sort -u | wc -l)
small_left=$(grep -a -o -e "$token-..-small" "$image" | sort -u | wc -l)
# What an undelete tool gets back: the contents of every deleted entry it lists.
recovered=0
for inode in $(fls -rd "$image" 2>/dev/null | sed -n 's/^[^*]*\* \([0-9]*\).*/\1/p' | sort -u); do
  recovered=$((recovered + $(icat "$image" "$inode" 2>/dev/null | grep -a -c -e "$token" || true)))
done
echo "$fstype: $big_left of 1310720 large-file lines and $small_left of 64 small files survive the fill;" \
  "undelete (fls/icat) recovers $recovered marker lines"
((big_left <= max_big)) || fail "$big_left large-file lines survive, more than the $max_big measured"
((small_left <= max_small)) || fail "$small_left small files survive, more than the $max_small measured"
echo "ok"
