#!/usr/bin/env bash
# What an examiner finds of shredded files on the file systems Windows users have.
# A file with a long unique name and unique contents, written in one go, and a file
# of a few dozen bytes (on NTFS it lives inside its MFT record) are shredded by the
# run through a Wine drive on a FUSE-mounted image; then the unmounted image is read
# the way an examiner would, with a raw scan and The Sleuth Kit.
# usage: fuse-scrub.sh WINE_RUN SHREDRUN_EXE WINEPREFIX ntfs|exfat|fat32 DRIVE_LETTER [PIECES]
#   PIECES: how many pieces of the second file's name the image may keep as UTF-16,
#   the measured limit of renaming through the file system (see the README); the
#   first file's name may leave none.
set -uo pipefail
fstype=${4:?file-system type} letter=${5:?drive letter} max_pieces=${6:-0}
. "$(dirname "$0")/medium-lib.sh"

need_tools sleuthkit fls istat
image=$work/$fstype.img mnt=$work/mnt
mount_fs

token=QRVMARK$(hex) tiny_token=QRVTINY$(hex)
big=Quarterly-Merger-Plan-$(hex).docx small=Board-Notes-$(hex).txt
# Written in one go: a file written in small pieces leaves its first bytes in its
# NTFS record's slack, which no program reaches (measured separately).
head -c $((40 * 1024)) < <(yes "$token") >"$mnt/$big"
printf '%s\n' "$tiny_token" >"$mnt/$small"
touch -d '2011-11-11 11:11:11' "$mnt/$big" "$mnt/$small"

# Before the shred: everything looked for is on the image, so the test can fail.
unmount "$mnt"
(($(count "$token") > 0)) || fail "the marker lines never reached the image"
(($(count "$tiny_token") > 0)) || fail "the small file's contents never reached the image"
for name in "$big" "$small"; do
  pieces=$(name_pieces "$name" | grep -c '.\{5\}')
  [ "$(name_left "$name")" = "$pieces" ] || fail "the name $name never reached the image whole"
done
remount
map_drive "$letter" "$mnt"

output=$(shredrun "$letter:\\$big" "$letter:\\$small") || fail "shredrun exited with $?"
expect_lines "$output" "SHREDDED! ... $letter:\\$big" "SHREDDED! ... $letter:\\$small"
left_names=$(ls -A "$mnt" | grep -v -e '^System Volume Information$' -e '^\$RECYCLE.BIN$' || true)
[ -z "$left_names" ] || fail "names left on the drive: $left_names"
unmount "$mnt"

# Contents: not a line of either file.
left=$(count "$token") tiny_left=$(count "$tiny_token")
[ "$left" = 0 ] && [ "$tiny_left" = 0 ] \
  || fail "$left marker lines and $tiny_left copies of the small file's contents survive on $fstype"

# Names: not listed, not on the image as 8-bit text nor, in any piece its entries
# hold, as UTF-16.
listing=$(fls -rd "$image" 2>&1)
for name in "$big" "$small"; do
  ! grep -q -F -e "${name:0:13}" <<<"$listing" || fail "fls -rd lists $name on $fstype:
$listing"
  [ "$(count "$name")" = 0 ] || fail "the name $name is on the $fstype image as 8-bit text"
  pieces=$(name_left "$name") allowed=0
  [ "$name" = "$small" ] && allowed=$max_pieces
  ((pieces <= allowed)) \
    || fail "$pieces of the $(name_pieces "$name" | wc -l) pieces of $name are on the $fstype image as UTF-16 (at most $allowed measured)"
  [ "$name" = "$small" ] && small_pieces=$pieces
done

# Every deleted entry: no size, and the neutral times where the platform lets a
# program set them (last write and last access; Wine sets no creation time).
neutral='1980-01-01 12:00:00'
entries=$(sed -n 's/^[^*]*\* \([0-9]*\)[^:]*:\t\(.*\)$/\1 \2/p' <<<"$listing" | grep -v ' \$OrphanFiles/')
# fusefat marks the folder's end in front of the entries it frees last, and the
# Sleuth Kit reads no further: there an empty list is what the examiner sees.
[ -n "$entries" ] || [ "$fstype" = fat32 ] || fail "fls -rd lists no deleted entry on $fstype, so nothing was checked:
$listing"
while read -r inode shown; do
  [ -n "$inode" ] || continue
  stat=$(istat "$image" "$inode" 2>&1)
  case $fstype in
    ntfs)
      # The standard information's times come first; its size is the $DATA attribute's.
      size=$(sed -n 's/^Type: \$DATA .*size: \([0-9]*\).*/\1/p' <<<"$stat" | head -n 1)
      [ -n "$size" ] || size=$(sed -n 's/^.*Actual Size: \([0-9]*\).*/\1/p' <<<"$stat" | head -n 1)
      written=$(grep -m 1 '^File Modified:' <<<"$stat") accessed=$(grep -m 1 '^Accessed:' <<<"$stat")
      ;;
    *)
      size=$(sed -n 's/^Size: \([0-9]*\).*/\1/p' <<<"$stat" | head -n 1)
      written=$(grep -m 1 '^Written:' <<<"$stat") accessed=$(grep -m 1 '^Accessed:' <<<"$stat")
      ;;
  esac
  [ "$size" = 0 ] || fail "deleted entry $inode ($shown) on $fstype shows size ${size:-none}:
$stat"
  # fusefat sets no times: each rename writes a fresh entry with the time of the rename.
  [ "$fstype" = fat32 ] && continue
  [[ $written == *"$neutral"* && $accessed == *"$neutral"* ]] \
    || fail "deleted entry $inode ($shown) on $fstype keeps its times: $written / $accessed"
done <<<"$entries"
echo "ok: on $fstype nothing of either file's contents is left, nothing of the first name" \
  "and $small_pieces pieces of the second; $(grep -c . <<<"$entries") deleted entries, all of size 0"
