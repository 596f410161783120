#!/usr/bin/env bash
# A file on a read-only drive is left with its reason while a file on the writable
# drive C: beside it is shredded; once its drive is writable again, a second run
# given the row as it was left shreds it.
# usage: readonly-retry.sh WINE_RUN SHREDRUN_EXE WINEPREFIX READONLY_LETTER
set -uo pipefail
ro=${4:?drive letter}
. "$(dirname "$0")/medium-lib.sh"

beside_dir=$(mktemp -d "$PREFIX_DIR/drive_c/quorvane-readonly.XXXXXX")
trap 'rm -rf "$beside_dir"; medium_cleanup' EXIT
beside="C:\\$(basename "$beside_dir")\\beside.txt"
mount_tmpfs "$work/ro" 4m
map_drive "$ro" "$work/ro"
head -c 3000 /dev/urandom >"$work/ro/left.txt"
cp "$work/ro/left.txt" "$work/kept"
echo beside >"$beside_dir/beside.txt"
mount -o remount,ro "$work/ro" || skip_machine "cannot remount tmpfs read-only here"

output=$(shredrun "$ro:\\left.txt" "$beside") || fail "shredrun exited with $?"
# Windows says the drive is read-only; Wine tells the program no more than that
# access is denied (EROFS), and reports no read-only volume.
left=$(head -n 1 <<<"$output" | tr -d '\r')
case $left in
  "NOT SHREDDED (its drive is read-only) ... $ro:\\left.txt" | "NOT SHREDDED (access denied) ... $ro:\\left.txt") ;;
  *) fail "the read-only file's row says: $left" ;;
esac
expect_lines "$output" "$left" "SHREDDED! ... $beside"
cmp -s "$work/ro/left.txt" "$work/kept" || fail "the file on the read-only drive changed"
[ ! -e "$beside_dir/beside.txt" ] || fail "the file on the writable drive is still there"

mount -o remount,rw "$work/ro" || fail "cannot make the drive writable again"
output=$(shredrun "$left") || fail "shredrun exited with $?"
expect_lines "$output" "SHREDDED! ... $ro:\\left.txt"
[ ! -e "$work/ro/left.txt" ] || fail "the second run left the file"
echo "ok: left on a read-only drive with its reason, shredded by the second run"
