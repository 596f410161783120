#!/usr/bin/env bash
# The free-space fill on a real drive: a missing name on a small tmpfs gets 95% of
# the drive's free space (rounded half to even), is written, removed and marked,
# and the drive has all its free space back afterwards.
# usage: tmpfs-fill.sh WINE_RUN SHREDRUN_EXE WINEPREFIX DRIVE_LETTER
set -uo pipefail
letter=${4:?drive letter}
. "$(dirname "$0")/medium-lib.sh"

tmpfs_drive "$letter"

free_before=$(free_bytes "$mnt")
expected=$(ninety_five_percent "$free_before")
output=$(shredrun --status "$letter:\\fill" 2>"$work/status") || fail "shredrun exited with $?"
expect_lines "$output" "SHREDDED! ... $letter:\\fill"
grep -qxF "shredding $letter:\\fill: size is $expected bytes ..." "$work/status" \
  || fail "expected a fill of $expected bytes (95% of $free_before free), the run showed: $(cat "$work/status")"
[ -z "$(ls -A "$mnt")" ] || fail "the fill left files behind: $(ls -A "$mnt")"
free_after=$(free_bytes "$mnt")
[ "$free_after" = "$free_before" ] || fail "free space $free_after after the fill, $free_before before"
echo "ok: filled $expected of $free_before free bytes, all free again"
