#!/usr/bin/env bash
# The free-space fill on a real drive: a missing name on a small tmpfs gets 95% of
# the drive's free space (rounded half to even), is written, removed and marked,
# and the drive has all its free space back afterwards. With a length, the name is
# that long a path, under folders that make it so: a fill past 260 characters.
# usage: tmpfs-fill.sh WINE_RUN SHREDRUN_EXE WINEPREFIX DRIVE_LETTER [PATH_LENGTH]
set -uo pipefail
letter=${4:?drive letter} length=${5:-}
. "$(dirname "$0")/medium-lib.sh"

tmpfs_drive "$letter"

folder=$mnt entry="$letter:\\"
if [ -n "$length" ]; then
  # Folder names of at most 200 characters: a Unix name holds 255 bytes at most.
  name=a
  while ((length - ${#entry} - 4 > 202)); do
    part=$(printf "$name%.0s" $(seq 200))
    folder+="/$part" entry+="$part\\" name=$(tr a-y b-z <<<"$name")
  done
  part=$(printf "$name%.0s" $(seq $((length - ${#entry} - 5))))
  folder+="/$part" entry+="$part\\"
  mkdir -p "$folder"
fi
entry+=fill
[ -z "$length" ] || [ ${#entry} = "$length" ] || fail "the entry is ${#entry} characters long, meant to be $length"

free_before=$(free_bytes "$mnt")
expected=$(ninety_five_percent "$free_before")
output=$(shredrun --status "$entry" 2>"$work/status") || fail "shredrun exited with $?"
expect_lines "$output" "SHREDDED! ... $entry"
grep -qxF "shredding $entry: size is $expected bytes ..." "$work/status" \
  || fail "expected a fill of $expected bytes (95% of $free_before free), the run showed: $(cat "$work/status")"
[ -z "$(ls -A "$folder")" ] || fail "the fill left files behind: $(ls -A "$folder")"
free_after=$(free_bytes "$mnt")
[ "$free_after" = "$free_before" ] || fail "free space $free_after after the fill, $free_before before"
echo "ok: filled $expected of $free_before free bytes under ${entry:0:40}..., all free again"
