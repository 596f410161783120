#!/usr/bin/env bash
# The free-space fill on a FAT32 drive with more free space than one file can hold:
# fusefat grows no file past 2 GiB (Windows' FAT32 none past 4 GiB - 1), so a fill of
# about 2.3 GB goes on in a second file. No file is left and the drive has its free
# space back. The fill reached its size: only then does the record fill begin. That
# cannot make its first folder entry, though: fusefat writes nothing past 2 GiB into
# its image (EPERM), where its next free cluster lies once the fill has gone, so the
# wipe is not complete and the entry stays unmarked. Windows' FAT32 has no such limit.
# usage: fat32-large-fill.sh WINE_RUN SHREDRUN_EXE WINEPREFIX DRIVE_LETTER
set -uo pipefail
letter=${4:?drive letter}
. "$(dirname "$0")/medium-lib.sh"

# Sparse: only what the fill writes takes disk space, and the clean-up removes it.
avail=$(df -B1 --output=avail "$work" | tail -n 1 | tr -d ' ')
((avail > 3 * 1024 * 1024 * 1024)) || skip_here "needs 3 GiB free under $work for a 2.3 GiB FAT32 image"
mnt=$work/mnt
fat32_image "$work/fat32.img" "$mnt" 2300M
map_drive "$letter" "$mnt"

free_before=$(free_bytes "$mnt")
expected=$(ninety_five_percent "$free_before")
((expected > 2 * 1024 * 1024 * 1024)) || fail "only $free_before bytes free: the fill would fit one file"
output=$(shredrun --status "$letter:\\wipe" 2>"$work/status") || fail "shredrun exited with $?"
grep -qxF "shredding $letter:\\wipe: size is $expected bytes ..." "$work/status" \
  || fail "expected a fill of $expected bytes (95% of $free_before free), the run showed: $(cat "$work/status")"
grep -q "^wiping the free records of the file table on $letter:" "$work/status" \
  || fail "the record fill never began, so the fill did not reach its size: $(cat "$work/status")"
expect_lines "$output" "NOT SHREDDED (the free space was overwritten, but the free records of its file table could not be wiped) ... $letter:\\wipe"
[ -z "$(ls -A "$mnt")" ] || fail "the fill left files behind: $(ls -A "$mnt")"
free_after=$(free_bytes "$mnt")
[ "$free_after" = "$free_before" ] || fail "free space $free_after after the fill, $free_before before"
echo "ok: filled $expected of $free_before free bytes in more than one file, all free again"
