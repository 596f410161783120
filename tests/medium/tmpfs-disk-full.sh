#!/usr/bin/env bash
# A real disk-full write stops the overwrite: a sparse file longer than the drive's
# free space must allocate as it is overwritten, so the drive fills up halfway.
# That file is kept with its length and left unmarked (it was not fully
# overwritten), and the run goes on to shred the next entry.
# usage: tmpfs-disk-full.sh WINE_RUN SHREDRUN_EXE WINEPREFIX DRIVE_LETTER
set -uo pipefail
letter=${4:?drive letter}
. "$(dirname "$0")/medium-lib.sh"

tmpfs_drive "$letter"

head -c 4096 /dev/urandom >"$mnt/small.bin"
big_length=$((16 * 1024 * 1024))
truncate -s "$big_length" "$mnt/big.bin"
(($(free_bytes "$mnt") < big_length)) || fail "the sparse file fits the drive; no disk-full would happen"

output=$(shredrun "$letter:\\big.bin" "$letter:\\small.bin") || fail "shredrun exited with $?"
expect_lines "$output" "NOT SHREDDED (its drive is full) ... $letter:\\big.bin" "SHREDDED! ... $letter:\\small.bin"
[ -f "$mnt/big.bin" ] || fail "the file that could not be overwritten completely was deleted"
length=$(stat -c %s "$mnt/big.bin")
[ "$length" = "$big_length" ] || fail "the kept file is $length bytes long, was $big_length"
[ ! -e "$mnt/small.bin" ] || fail "the entry after the disk-full one was not shredded"
# The zeros written before the drive filled up stay allocated: proof that the
# overwrite ran into the full disk rather than being refused at the start.
free_after=$(free_bytes "$mnt")
((free_after < 16384 + 4096)) || fail "$free_after bytes still free: the overwrite never filled the drive"
echo "ok: disk-full file kept at $length bytes and unmarked, next entry shredded"
