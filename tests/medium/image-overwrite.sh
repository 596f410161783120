#!/usr/bin/env bash
# A file shredded through a Wine drive on a loop-mounted ext4 or xfs image must be
# gone from the medium itself, not only from the page cache: after unmounting, the
# raw image may hold none of the file's marker lines, and its name only where the
# file system's journal keeps it.
# usage: image-overwrite.sh WINE_RUN SHREDRUN_EXE WINEPREFIX ext4|xfs DRIVE_LETTER
set -uo pipefail
fstype=${4:?file-system type} letter=${5:?drive letter}
. "$(dirname "$0")/medium-lib.sh"

case $fstype in
  ext4) mkfs=(mkfs.ext4 -q -F) size=32M && need_tools e2fsprogs mkfs.ext4 dumpe2fs debugfs ;;
  xfs) mkfs=(mkfs.xfs -q -f) size=320M && need_tools xfsprogs mkfs.xfs xfs_db ;;  # mkfs.xfs refuses less than 300 MB
  *) fail "unknown file system $fstype" ;;
esac

# in_journal IMAGE OFFSET: whether that byte of the image lies in the file system's journal.
in_journal() {
  local block
  case $fstype in
    ext4)
      block=$(($2 / $(dumpe2fs -h "$1" 2>/dev/null | awk '/^Block size:/ { print $3 }')))
      # Inode 8 is ext4's journal.
      debugfs -R "icheck $block" "$1" 2>/dev/null | awk -v b="$block" '$1 == b { exit !($2 == 8) }'
      ;;
    xfs)
      local field bs agblocks agblklog logstart logblocks
      for field in blocksize agblocks agblklog logstart logblocks; do
        printf -v "${field/blocksize/bs}" %s "$(xfs_db -r -c "sb 0" -c "print $field" "$1" | awk '{ print $3 }')"
      done
      # logstart counts in AG-relative units: AG number above agblklog bits.
      local start=$(((logstart >> agblklog) * agblocks + (logstart & ((1 << agblklog) - 1))))
      block=$(($2 / bs))
      ((block >= start && block < start + logblocks))
      ;;
  esac
}

image=$work/$fstype.img mnt=$work/mnt
truncate -s "$size" "$image"  # sparse: a fresh image costs no disk space
"${mkfs[@]}" "$image" >/dev/null 2>&1 || fail "${mkfs[*]} failed"
mount_image "$image" "$mnt"
map_drive "$letter" "$mnt"

# A token no file system writes by itself, in lines up to 1 MiB, on the medium.
token=QRVMARK$(od -An -N8 -tx8 /dev/urandom | tr -d ' ')
# A long name of its own: the scrub renames the file away from it before deletion.
name=Merger-Plan-QRVNAME$(od -An -N8 -tx8 /dev/urandom | tr -d ' ').docx
yes "$token" | head -c $((1024 * 1024)) >"$mnt/$name"
sync
before=$(grep -a -c "$token" "$image")
((before > 0)) || fail "the marker lines never reached the image, so the test would prove nothing"

output=$(shredrun "$letter:\\$name") || fail "shredrun exited with $?"
expect_lines "$output" "SHREDDED! ... $letter:\\$name"
[ -z "$(ls -A "$mnt" | grep -v '^lost+found$')" ] || fail "the file is still on the drive: $(ls -A "$mnt")"

unmount "$mnt"
left=$(grep -a -c "$token" "$image")
[ "$left" = 0 ] || fail "$left of $before marker lines survive on the $fstype medium"

# The name: the folder's own entry is rewritten by the renames, but the journal
# keeps the copy of the folder block it logged when the file was made, and no
# program can reach the journal. Exactly that one copy may stay, in the journal.
offsets=($(grep -a -b -o "$name" "$image" | cut -d: -f1))
[ ${#offsets[@]} = 1 ] || fail "${#offsets[@]} copies of the name on $fstype, expected 1 (in the journal)"
in_journal "$image" "${offsets[0]}" || fail "the name's copy at byte ${offsets[0]} is outside the $fstype journal"
echo "ok: $before marker lines on $fstype, none left after the shred; the name only in the journal"