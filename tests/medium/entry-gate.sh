#!/usr/bin/env bash
# What an entry leads to, on real volumes under Wine. A missing name in a folder that
# is a volume of its own (a mount inside a mapped drive, as a mounted folder or a
# junction to another disk is on Windows) is filled by that volume's free space, not
# by the drive's. A raw drive listed as \\.\X: (Wine's dosdevices/x:: on a loop
# device) is refused: not a byte of it is written.
# usage: entry-gate.sh WINE_RUN SHREDRUN_EXE WINEPREFIX FOLDER_DRIVE RAW_DRIVE
set -uo pipefail
letter=${4:?drive letter} raw=${5:?raw drive letter}
. "$(dirname "$0")/medium-lib.sh"
need_tools e2fsprogs mkfs.ext4 e2fsck

# A 64 MiB drive with an 8 MiB volume mounted in its folder "inner".
outer=$work/outer
mount_tmpfs "$outer" 64m
mount_tmpfs "$outer/inner" 8m
map_drive "$letter" "$outer"
free_outer=$(free_bytes "$outer") free_inner=$(free_bytes "$outer/inner")
expected=$(ninety_five_percent "$free_inner")
entry="$letter:\\inner\\wipe"
output=$(shredrun --status "$entry" 2>"$work/status") || fail "shredrun exited with $?"
grep -qxF "shredding $entry: size is $expected bytes ..." "$work/status" \
  || fail "expected a fill of $expected bytes (95% of the inner volume's $free_inner free), the run showed: $(cat "$work/status")"
expect_lines "$output" "SHREDDED! ... $entry"
[ -z "$(ls -A "$outer/inner")" ] || fail "the fill left files behind: $(ls -A "$outer/inner")"
[ "$(free_bytes "$outer/inner")" = "$free_inner" ] && [ "$(free_bytes "$outer")" = "$free_outer" ] \
  || fail "free space not given back: inner $(free_bytes "$outer/inner") of $free_inner, outer $(free_bytes "$outer") of $free_outer"

# A small ext4 image whose first KiB (unused by ext4) holds a pattern, as Wine's raw drive.
image=$work/raw.img
truncate -s 4M "$image"
mkfs.ext4 -q -F "$image" || fail "mkfs.ext4 failed"
printf 'QUORVANE-RAW-PATTERN%.0s' $(seq 51) | dd of="$image" conv=notrunc bs=1020 count=1 status=none
before=$(sha256sum <"$image")
loop=$(losetup --find --show "$image" 2>/dev/null) || skip_machine "no loop devices here"
cleanup_loops+=("$loop")
link="$PREFIX_DIR/dosdevices/${raw,,}::"
[ -e "$link" ] && fail "raw drive $raw: is in use in $PREFIX_DIR"
ln -sfn "$loop" "$link"
cleanup_links+=("$link")
for device in "\\\\.\\$raw:" "\\\\?\\GLOBALROOT\\Device\\$raw" "\\\\.\\PhysicalDrive0"; do
  output=$(shredrun "$device") || fail "shredrun exited with $? for $device"
  expect_lines "$output" "NOT SHREDDED (it names a device or a volume, not a file) ... $device"
done
sync
losetup -d "$loop"
[ "$(sha256sum <"$image")" = "$before" ] || fail "the raw drive was written to"
head -c 20 "$image" | grep -q QUORVANE-RAW-PATTERN || fail "the pattern in the first KiB is gone"
e2fsck -fn "$image" >/dev/null 2>&1 || fail "the file system on the raw drive does not check clean"
echo "ok: a fill in a mounted folder took $expected bytes, 95% of that volume's $free_inner free, and gave them back;" \
  "\\\\.\\$raw: and other devices were refused, the raw drive unchanged"
