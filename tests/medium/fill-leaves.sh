#!/usr/bin/env bash
# What a free-space fill leaves of files deleted earlier the ordinary way. Files with
# unique marker lines are written, deleted without Quorvane, and a missing name on
# that drive is filled; then the unmounted image is scanned raw and with The Sleuth
# Kit. The fill writes 95% of the free space, so what lies in the other 5% stays. On
# NTFS it also fills the free MFT records, where the small files lived: there every
# record of a deleted file must hold only zeros or the fill's own small files, and
# neither The Sleuth Kit nor ntfsundelete may get a line back. The figures measured
# here are the limits asserted: a change that makes the fill leave more fails.
# usage: fill-leaves.sh WINE_RUN SHREDRUN_EXE WINEPREFIX ext4|ntfs|exfat|fat32 DRIVE_LETTER MAX_BIG MAX_SMALL [NAMES NAMES_LISTED]
#   MAX_BIG: most marker lines of the large files that may survive (of 1,310,720)
#   MAX_SMALL: most of the 64 small files whose line may survive
#   NAMES, NAMES_LISTED (NTFS): how many of the 104 deleted names stay on the image as
#   UTF-16 (in folder index slack, which no fill reaches), and how many of those
#   `fls -r` lists, as measured; both are asserted exactly
set -uo pipefail
fstype=${4:?file-system type} letter=${5:?drive letter} max_big=${6:?} max_small=${7:?}
names_left=${8:-} names_listed=${9:-}
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
# On NTFS (ntfs-3g) a file's inode number is its MFT record.
records=$(ls -i "$mnt" | awk '/ (big|small)[0-9]+\.(dat|txt)$/ { print $1 }')
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
[ "$fstype" = ntfs ] || { echo "ok"; exit 0; }

((recovered == 0)) || fail "fls/icat recover $recovered marker lines from deleted entries"
# The undelete tool that comes with ntfs-3g, asked for every deleted file it finds.
need_tools ntfs-3g ntfsundelete
undeleted=$work/undeleted
mkdir -p "$undeleted"
ntfsundelete -u -m '*' -d "$undeleted" -f "$image" >/dev/null 2>&1
undeleted_lines=$(cat "$undeleted"/* 2>/dev/null | grep -a -c -e "$token" || true)
((undeleted_lines == 0)) || fail "ntfsundelete -u recovers $undeleted_lines marker lines"
# Every record a deleted file had holds the fill's own (a digit for its small files
# and folders, its top folder, the fill file, or the name ntfs-3g gives an open file
# that was deleted), and no data but zeros.
n=0
for record in $records; do
  name=$(istat "$image" "$record" 2>/dev/null | sed -n 's/^Name: //p' | head -n 1)
  [[ $name =~ ^[0-4]$ || $name == "Quorvane free-space wipe - safe to delete" || $name == wipe || $name == .fuse_hidden* ]] \
    || fail "record $record of a deleted file still holds '$name'"
  # Its data attribute (a folder has none; its index is the fill's own names).
  nonzero=$(icat "$image" "$record-128" 2>/dev/null | tr -d '\0' | wc -c)
  ((nonzero == 0)) || fail "record $record ('$name') holds $nonzero bytes that are not zero"
  n=$((n + 1))
done
((n == 104)) || fail "found $n records of deleted files, not 104"
# Names: the records' own copies are gone; what stays is in folder index slack.
for ((i = 0; i < 40; i++)); do echo "big$i.dat"; done >"$work/names"
for ((i = 0; i < 64; i++)); do echo "small$i.txt"; done >>"$work/names"
left=$(python3 -c 'import sys
image = open(sys.argv[1], "rb").read()
print(sum(1 for name in open(sys.argv[2]).read().split() if name.encode("utf-16-le") in image))' "$image" "$work/names")
listed=$(fls -r "$image" 2>/dev/null | grep -c -E -e '(big[0-9]+\.dat|small[0-9]+\.txt)$' || true)
echo "ntfs: all 104 records of deleted files hold only the fill's zeros; $left of the 104 names stay in" \
  "folder index slack, $listed of them listed by fls -r (as reallocated)"
[ "$left" = "$names_left" ] || fail "$left names stay on the image, $names_left measured"
[ "$listed" = "$names_listed" ] || fail "fls -r lists $listed names, $names_listed measured"
echo "ok"
