#!/usr/bin/env bash
# What Windows keeps with a downloaded file: a named stream, Zone.Identifier, holding
# the address it came from, small enough to live in the file's MFT record, and here a
# second stream large enough to take clusters. ntfs-3g shows a stream as "file:name"
# (streams_interface=windows), which is how the program opens one; Wine lists no
# streams, so the run is told their names. After the shred the unmounted image is
# read the way an examiner would: a raw scan (8-bit and UTF-16) and The Sleuth Kit.
# usage: ntfs-streams.sh WINE_RUN SHREDRUN_EXE WINEPREFIX DRIVE_LETTER
set -uo pipefail
letter=${4:?drive letter}
fstype=ntfs
. "$(dirname "$0")/medium-lib.sh"

need_tools sleuthkit fls istat icat
fuse_needs ntfs-3g mkntfs ntfs-3g
image=$work/ntfs.img mnt=$work/mnt
fuse_image_file "$image" 32M
mkntfs -F -q -f "$image" >/dev/null 2>&1 || fail "mkntfs failed"
mount_streams() { fuse_mount "$mnt" ntfs-3g -o streams_interface=windows "$image" "$mnt"; }
mount_streams

host=QRVHOST$(hex).example meta_token=QRVMETA$(hex)
name=setup-$(hex).exe
printf 'MZ program bytes\n' >"$mnt/$name"
printf '[ZoneTransfer]\r\nZoneId=3\r\nReferrerUrl=https://%s/\r\nHostUrl=https://%s/%s\r\n' "$host" "$host" "$name" \
  >"$mnt/$name:Zone.Identifier"
head -c $((16 * 1024)) < <(yes "$meta_token") >"$mnt/$name:meta"
[ "$(head -c 14 "$mnt/$name:Zone.Identifier")" = "[ZoneTransfer]" ] || fail "ntfs-3g made no stream"

# Before the shred: both are on the image, so the test can fail.
unmount "$mnt"
(($(count "$host") > 0)) || fail "the download's address never reached the image"
(($(count "$meta_token") > 0)) || fail "the large stream never reached the image"
mount_streams
map_drive "$letter" "$mnt"

output=$(shredrun --stream Zone.Identifier --stream meta "$letter:\\$name") || fail "shredrun exited with $?"
expect_lines "$output" "SHREDDED! ... $letter:\\$name"
unmount "$mnt"

for token in "$host" "$meta_token"; do
  [ "$(count "$token")" = 0 ] || fail "$token is on the image as 8-bit text after the shred"
  [ "$(count_utf16 "$token")" = 0 ] || fail "$token is on the image as UTF-16 after the shred"
done
# Every data attribute of every deleted record, as The Sleuth Kit reads it back.
checked=0
while read -r inode; do
  while read -r attribute; do
    ! icat "$image" "$inode-$attribute" 2>/dev/null | grep -a -q -e "$host" -e "$meta_token" \
      || fail "icat finds the streams' data in record $inode ($attribute)"
    checked=$((checked + 1))
  done < <(istat "$image" "$inode" 2>/dev/null | sed -n 's/^Type: \$DATA (\(128-[0-9]*\)).*/\1/p')
done < <(fls -rd "$image" 2>/dev/null | sed -n 's/^[^*]*\* \([0-9]*\)[^:]*:.*/\1/p')
echo "ok: the streams' data is gone from the image; $checked data attributes of deleted records read back"
