#!/usr/bin/env bash
# A fill whose program is killed midway (the user ends a window that does not
# respond) leaves no fill file: the system removes it and the drive's free space
# comes back.
# usage: tmpfs-kill-fill.sh WINE_RUN SHREDRUN_EXE WINEPREFIX DRIVE_LETTER
set -uo pipefail
letter=${4:?drive letter}
. "$(dirname "$0")/medium-lib.sh"

tmpfs_drive "$letter"
free_before=$(free_bytes "$mnt")

# The token in the fill's name finds this test's process and no other shredrun.
token=fill-$$-$RANDOM
shredrun --delay-ms 20 "$letter:\\$token" >/dev/null 2>&1 &
job=$!
cleanup_pids+=("$job")

# Kill it once a good part of the drive is filled (about 500 blocks of 20 ms).
filled=0
for _ in $(seq 300); do
  (($(free_bytes "$mnt") < free_before - 1024 * 1024)) && { filled=1; break; }
  kill -0 "$job" 2>/dev/null || break
  sleep 0.1
done
((filled)) || fail "the fill never took a megabyte of the drive"
[ -e "$mnt/$token" ] || fail "the fill file is not on the drive while it is being written"
need_tools procps pgrep
pids=$(pgrep -f -- "$token") || fail "cannot find the shredrun process for $token"
kill -9 $pids
wait "$job" 2>/dev/null

# wineserver closes the dead process's handles, and with them removes the file.
for _ in $(seq 50); do
  [ -z "$(ls -A "$mnt")" ] && [ "$(free_bytes "$mnt")" = "$free_before" ] && break
  sleep 0.1
done
[ -z "$(ls -A "$mnt")" ] || fail "the killed fill left a file: $(ls -lA "$mnt")"
free_after=$(free_bytes "$mnt")
[ "$free_after" = "$free_before" ] || fail "free space $free_after after the killed fill, $free_before before"
echo "ok: killed fill left nothing, $free_after bytes free again"
