#!/usr/bin/env bash
# A fill killed while it fills the free MFT records (the user ends a window that does
# not respond) on an NTFS image. It holds no handle per small file, so the system
# cannot remove them: what is left must be only the record fill's folder of small
# zero files, taking no space, and the next fill of that drive must remove it first
# and then wipe the records itself. A second window's wipe of the drive while the
# first runs is refused and leaves the first's folder alone. A folder of that name
# holding a file of the user's is never touched.
# usage: ntfs-kill-records.sh WINE_RUN SHREDRUN_EXE WINEPREFIX DRIVE_LETTER
set -uo pipefail
letter=${4:?drive letter}
. "$(dirname "$0")/medium-lib.sh"
need_tools sleuthkit fls
need_tools procps pgrep

image=$work/ntfs.img mnt=$work/mnt
ntfs_image "$image" "$mnt" 32M
top="$mnt/Quorvane free-space wipe - safe to delete"

# 300 small files deleted the ordinary way leave their lines in 300 free records.
token=QRVKILL$(od -An -N4 -tx4 /dev/urandom | tr -d ' ')
mkdir "$mnt/notes"
for ((i = 0; i < 300; i++)); do printf '%s-%03d-note\n' "$token" "$i" >"$mnt/notes/n$i.txt"; done
sync
rm -rf "$mnt/notes"
sync
map_drive "$letter" "$mnt"
free_before=$(free_bytes "$mnt")

# 20 ms per small file: the records take some seconds, and the kill lands among them.
shredrun --record-delay-ms 20 "$letter:\\wipe-$token" >/dev/null 2>&1 &
job=$!
cleanup_pids+=("$job")
made=0
for _ in $(seq 600); do
  made=$(find "$top" -type f 2>/dev/null | wc -l)
  ((made >= 20)) && break
  kill -0 "$job" 2>/dev/null || break
  sleep 0.1
done
((made >= 20)) || fail "the record fill never made 20 small files (made $made)"
# A second window's wipe of the drive meanwhile is refused: the first one's record
# folder is live, no leftover to remove, and its small files stay where they are.
second=$(shredrun "$letter:\\other-$token") || fail "the second shredrun exited with $?"
expect_lines "$second" "NOT SHREDDED (another Quorvane window is wiping the free space of this drive) ... $letter:\\other-$token"
kill -0 "$job" 2>/dev/null || fail "the first wipe ended before the second was done: the test shows nothing"
[ "$(find "$top" -type f 2>/dev/null | wc -l)" -ge "$made" ] || fail "the second wipe removed the first one's small files"
pids=$(pgrep -f -- "wipe-$token") || fail "cannot find the shredrun process for $token"
kill -9 $pids
wait "$job" 2>/dev/null

# wineserver closes the dead process's handles, and with them removes the data fill.
for _ in $(seq 100); do
  [ "$(ls -A "$mnt")" = "$(basename "$top")" ] && break
  sleep 0.1
done
[ "$(ls -A "$mnt")" = "$(basename "$top")" ] || fail "the killed fill left more than its record folder: $(ls -A "$mnt")"
left=$(find "$top" -type f | wc -l)
odd=$(find "$top" -mindepth 1 \( -type f \( -size +4096c -o ! -name '[0-4]' \) -o -type d ! -name '[0-4]' \) | head -n 3)
[ -z "$odd" ] || fail "the record folder holds what the record fill does not make: $odd"
nonzero=$(find "$top" -type f -exec cat {} + | tr -d '\0' | wc -c)
((nonzero == 0)) || fail "the small files hold $nonzero bytes that are not zero"
# Records only: the folder takes none of the drive's space.
free_killed=$(free_bytes "$mnt")
[ "$free_killed" = "$free_before" ] || fail "free space $free_killed after the kill, $free_before before"

# The next fill removes the folder before it fills, then wipes the records itself.
output=$(shredrun "$letter:\\wipe-$token") || fail "shredrun exited with $?"
expect_lines "$output" "SHREDDED! ... $letter:\\wipe-$token"
[ -z "$(ls -A "$mnt")" ] || fail "the second fill left: $(ls -A "$mnt")"

# A folder of that name with a file of the user's in it stays as it is; the record
# fill cannot have its folder, so the wipe does not count as done.
mkdir "$top"
printf 'mine\n' >"$top/0"
output=$(shredrun "$letter:\\wipe-$token") || fail "shredrun exited with $?"
expect_lines "$output" "NOT SHREDDED (the free space was overwritten, but the free records of its file table could not be wiped) ... $letter:\\wipe-$token"
[ "$(ls -A "$mnt")" = "$(basename "$top")" ] && [ "$(ls -A "$top")" = 0 ] && [ "$(cat "$top/0")" = mine ] \
  || fail "the user's folder was changed: $(ls -lAR "$mnt")"

unmount "$mnt"
notes_left=$(grep -a -o -e "$token-...-note" "$image" | sort -u | wc -l)
((notes_left == 0)) || fail "$notes_left of the 300 deleted notes are still on the image"
echo "ok: the killed fill left its folder of $left small zero files taking no space; the next fill" \
  "removed it and left none of the 300 notes; a folder of the user's under that name stayed"
