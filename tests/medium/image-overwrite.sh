#!/usr/bin/env bash
# A file shredded through a Wine drive on a loop-mounted ext4 or xfs image must be
# gone from the medium itself, not only from the page cache: after unmounting, the
# raw image may hold none of the file's marker lines.
# usage: image-overwrite.sh WINE_RUN SHREDRUN_EXE WINEPREFIX ext4|xfs DRIVE_LETTER
set -uo pipefail
fstype=${4:?file-system type} letter=${5:?drive letter}
. "$(dirname "$0")/medium-lib.sh"

case $fstype in
  ext4) mkfs=(mkfs.ext4 -q -F) size=32M ;;
  xfs) mkfs=(mkfs.xfs -q -f) size=320M ;;  # mkfs.xfs refuses less than 300 MB
  *) fail "unknown file system $fstype" ;;
esac
command -v "${mkfs[0]}" >/dev/null || skip "${mkfs[0]} is not installed"

image=$work/$fstype.img mnt=$work/mnt
truncate -s "$size" "$image"  # sparse: a fresh image costs no disk space
"${mkfs[@]}" "$image" >/dev/null 2>&1 || fail "${mkfs[*]} failed"
mount_image "$image" "$mnt"
map_drive "$letter" "$mnt"

# A token no file system writes by itself, in lines up to 1 MiB, on the medium.
token=QRVMARK$(od -An -N8 -tx8 /dev/urandom | tr -d ' ')
yes "$token" | head -c $((1024 * 1024)) >"$mnt/secret.txt"
sync
before=$(grep -a -c "$token" "$image")
((before > 0)) || fail "the marker lines never reached the image, so the test would prove nothing"

output=$(shredrun "$letter:\\secret.txt") || fail "shredrun exited with $?"
expect_lines "$output" "SHREDDED! ... $letter:\\secret.txt"
[ ! -e "$mnt/secret.txt" ] && [ -z "$(ls -A "$mnt" | grep -v '^lost+found$')" ] \
  || fail "the file is still on the drive: $(ls -A "$mnt")"

unmount "$mnt"
left=$(grep -a -c "$token" "$image")
[ "$left" = 0 ] || fail "$left of $before marker lines survive on the $fstype medium"
echo "ok: $before marker lines on $fstype, none left after the shred"
