#!/usr/bin/env bash
# What an examiner finds of a shredded file's name in its folder's NTFS index. NTFS
# keeps each folder's names sorted in index blocks (a few in the folder's own record);
# a removed entry is closed up by moving the entries behind it, and what the block no
# longer uses keeps its old bytes, so where the name stays depends on the folder and
# on where the scrub's new names sort. Fixed layouts with fixed names, shredded with
# the scrub's random names drawn from a fixed seed, so every run is the same: folders
# of 2 files (the index in the folder's record), 20 (one block) and 200 (many), with
# names of 8, 40 and 200 characters, the shredded one sorting first, in the middle
# and last, and in the folders of more than one block as the last name of a block,
# the place where NTFS leaves most of a removed name behind, one file shredded in
# each; and four folders of which 5 of 20, 50 of 200 and 10 of 200 files are
# shredded, where each deletion closes up the entries behind it, the next files to
# shred among them. All are folders of one image, shredded in one run.
# Afterwards no piece of any shredded name is on the image, as UTF-16 (the records'
# sector check values undone, as a reader sees them) or as 8-bit text, and the Sleuth
# Kit lists none of them among the deleted entries.
# usage: ntfs-index.sh WINE_RUN SHREDRUN_EXE WINEPREFIX DRIVE_LETTER
set -uo pipefail
letter=${4:?drive letter}
. "$(dirname "$0")/medium-lib.sh"
need_tools sleuthkit fls ifind
need_tools python3 python3
names_py=$(dirname "$0")/ntfs_names.py
image=$work/ntfs.img mnt=$work/mnt
ntfs_image "$image" "$mnt" 16M

layouts=$(python3 "$names_py" make "$mnt") || fail "cannot make the layouts"
# The last names of blocks can only be chosen once the blocks are on the image.
unmount "$mnt"
block_ends=$(python3 "$names_py" block-ends "$image") || fail "cannot find the ends of index blocks: $block_ends"
fuse_mount "$mnt" ntfs-3g "$image" "$mnt"
while IFS=$'\t' read -r folder name; do printf x >"$mnt/$folder/$name"; done <<<"$block_ends"
mapfile -t folders < <(cut -f1 <<<"$layouts"$'\n'"$block_ends")
mapfile -t targets < <(cut -f2 <<<"$layouts"$'\n'"$block_ends")
((${#targets[@]} == 106)) || fail "expected 106 files to shred, made ${#targets[@]}"
mapfile -t distinct < <(printf '%s\n' "${folders[@]}" | sort -u)
count_files() { local f; for f in "${distinct[@]}"; do echo "$(ls -A "$mnt/$f" | wc -l) $f"; done; }
before_counts=$(count_files)

# Before the shred every name is on the image exactly twice, in its record and in its
# folder's index: no earlier change copied it, and the search finds what is there.
unmount "$mnt"
while read -r name whole pieces eight_bit; do
  [ "$whole" = 2 ] || fail "before the shred $name is on the image $whole times, not twice"
done < <(python3 "$names_py" find "$image" "${targets[@]}")
fuse_mount "$mnt" ntfs-3g "$image" "$mnt"
map_drive "$letter" "$mnt"

paths=()
for i in "${!folders[@]}"; do paths+=("$letter:\\${folders[i]}\\${targets[i]}"); done
output=$(shredrun --seed 20240521 "${paths[@]}") || fail "shredrun exited with $?"
expect_lines "$output" "${paths[@]/#/SHREDDED! ... }"
# The shredded files fewer in each folder, nothing replaced, nothing of the scrub's
# own left.
after_counts=$(count_files)
expected_counts=$(while read -r n f; do
  echo "$((n - $(printf '%s\n' "${folders[@]}" | grep -cxF "$f"))) $f"
done <<<"$before_counts")
[ "$after_counts" = "$expected_counts" ] || fail "files per folder after the shred:
$after_counts
expected:
$expected_counts"
unmount "$mnt"

listing=$(fls -rd "$image" 2>&1)
left=()
while read -r name whole pieces eight_bit; do
  listed=$(grep -c -F -e "$name" <<<"$listing")
  ((whole + pieces + eight_bit + listed == 0)) \
    || left+=("$name: whole $whole times, $pieces pieces as UTF-16, $eight_bit times as 8-bit text, $listed deleted entries")
done < <(python3 "$names_py" find "$image" "${targets[@]}")
((${#left[@]} == 0)) || fail "shredded names left on the image:
$(printf '%s\n' "${left[@]}")"
echo "ok: nothing of ${#targets[@]} shredded names in their folders' indexes: $(grep -c . <<<"$listing") deleted entries listed"
