#!/usr/bin/env bash
# What an examiner finds of a folder shredded whole, on the file systems Windows users
# have: a tree of two levels with long unique names, files large and small, shredded
# by the run through a Wine drive on a FUSE-mounted image; then the unmounted image is
# read with The Sleuth Kit and a raw scan.
# usage: fuse-folder.sh WINE_RUN SHREDRUN_EXE WINEPREFIX ntfs|exfat|fat32 DRIVE_LETTER [PIECES]
#   PIECES: how many pieces of the names the image may keep as UTF-16 (the measured
#   limit of renaming through the file system, see the README).
set -uo pipefail
fstype=${4:?file-system type} letter=${5:?drive letter} max_pieces=${6:-0}
. "$(dirname "$0")/medium-lib.sh"

need_tools sleuthkit fls
image=$work/$fstype.img mnt=$work/mnt
mount_fs

top=Tree-Of-Secrets-$(hex) inner=Inner-Folder-$(hex)
names=("$top" "$inner" Alpha-Report-$(hex).docx Beta-Notes-$(hex).txt Gamma-Ledger-$(hex).csv Delta-Memo-$(hex).txt)
tokens=(QRVALPHA$(hex) QRVBETA$(hex) QRVGAMMA$(hex) QRVDELTA$(hex))
mkdir -p "$mnt/$top/$inner"
# Written in one go, as in the file test: large ones in clusters, small ones (on NTFS)
# inside their records.
head -c $((40 * 1024)) < <(yes "${tokens[0]}") >"$mnt/$top/${names[2]}"
printf '%s\n' "${tokens[1]}" >"$mnt/$top/${names[3]}"
head -c $((40 * 1024)) < <(yes "${tokens[2]}") >"$mnt/$top/$inner/${names[4]}"
printf '%s\n' "${tokens[3]}" >"$mnt/$top/$inner/${names[5]}"

# Before the shred: everything looked for is on the image, so the test can fail.
unmount "$mnt"
for token in "${tokens[@]}"; do (($(count "$token") > 0)) || fail "$token never reached the image"; done
for name in "${names[@]}"; do
  (($(name_left "$name") == $(name_pieces "$name" | grep -c '.\{5\}'))) || fail "the name $name never reached the image whole"
done
remount
map_drive "$letter" "$mnt"

output=$(shredrun "$letter:\\$top") || fail "shredrun exited with $?"
expect_lines "$output" "SHREDDED! ... $letter:\\$top"
left_names=$(ls -A "$mnt" | grep -v -e '^System Volume Information$' -e '^\$RECYCLE.BIN$' || true)
[ -z "$left_names" ] || fail "names left on the drive: $left_names"
unmount "$mnt"

for token in "${tokens[@]}"; do
  [ "$(count "$token")" = 0 ] || fail "$(count "$token") lines of $token survive on $fstype"
done
listing=$(fls -rd "$image" 2>&1)
most=0
for name in "${names[@]}"; do
  ! grep -q -F -e "${name:0:13}" <<<"$listing" || fail "fls -rd lists $name on $fstype:
$listing"
  [ "$(count "$name")" = 0 ] || fail "the name $name is on the $fstype image as 8-bit text"
  pieces=$(name_left "$name")
  ((pieces <= max_pieces)) \
    || fail "$pieces of the $(name_pieces "$name" | wc -l) pieces of $name are on the $fstype image as UTF-16 (at most $max_pieces measured)"
  ((pieces > most)) && most=$pieces
done
echo "ok: on $fstype nothing of the four files' contents is left, no name is listed, and at most $most pieces" \
  "of a name are on the image"
