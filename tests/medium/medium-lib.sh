# Shared by the real-medium tests: arguments, skipping, Wine drives and clean-up.
# Sourced with the test's arguments: WINE_RUN SHREDRUN_EXE WINEPREFIX
# Every mount, loop device and drive letter a test makes is undone on exit, even
# when it fails halfway, so a broken run never leaves the machine changed.
# A test skips only where the machine cannot mount (skip_machine); a missing tool
# fails it and names the package (need_tools).

[ $# -ge 3 ] || { echo "usage: $0 WINE_RUN SHREDRUN_EXE WINEPREFIX" >&2; exit 2; }
WINE_RUN=$1 SHREDRUN_EXE=$2 PREFIX_DIR=$3

. "$(dirname "${BASH_SOURCE[0]}")/../support/skip.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }

cleanup_links=() cleanup_mounts=() cleanup_loops=() cleanup_pids=()
declare -A fuse_daemons=()  # mount point -> pid of the FUSE daemon serving it
work=

medium_cleanup() {
  local pid link mnt loop
  for pid in "${cleanup_pids[@]}"; do kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  for link in "${cleanup_links[@]}"; do rm -f "$link"; done
  for ((i = ${#cleanup_mounts[@]} - 1; i >= 0; i--)); do
    mnt=${cleanup_mounts[i]}
    # A Wine process that is still dying may hold the mount for a moment.
    umount "$mnt" 2>/dev/null || { sleep 1; umount "$mnt" 2>/dev/null; } || umount -l "$mnt"
    pid=${fuse_daemons[$mnt]:-}
    # A daemon still serving a lazily detached mount is told to stop, then killed.
    [ -n "$pid" ] && { fuse_daemon_gone "$pid" 10 || kill "$pid" 2>/dev/null; fuse_daemon_gone "$pid" 5 || kill -9 "$pid" 2>/dev/null; }
  done
  for loop in "${cleanup_loops[@]}"; do losetup -d "$loop" 2>/dev/null; done
  [ -n "$work" ] && rm -rf "$work"
  return 0
}
trap medium_cleanup EXIT

[ "$(id -u)" = 0 ] || skip_machine "needs root for mounts"
[ -x "$WINE_RUN" ] || fail "no wine-run at $WINE_RUN"
[ -f "$SHREDRUN_EXE" ] || fail "no shredrun at $SHREDRUN_EXE"
[ -d "$PREFIX_DIR/dosdevices" ] || fail "no prepared Wine prefix at $PREFIX_DIR"
work=$(mktemp -d /tmp/quorvane-medium.XXXXXX)

# mount_tmpfs DIR SIZE: a small RAM drive whose free space Wine reports exactly.
mount_tmpfs() {
  mkdir -p "$1"
  mount -t tmpfs -o "size=$2" tmpfs "$1" 2>/dev/null || skip_machine "cannot mount tmpfs here"
  cleanup_mounts+=("$1")
}

# tmpfs_drive LETTER: an 8 MiB RAM drive at $mnt, mapped as Wine drive LETTER:.
tmpfs_drive() {
  mnt=$work/mnt
  mount_tmpfs "$mnt" 8m
  map_drive "$1" "$mnt"
}

# mount_image IMAGE DIR: loop-mounts a file-system image.
mount_image() {
  local loop
  need_tools mount losetup
  loop=$(losetup --find --show "$1" 2>/dev/null) || skip_machine "no loop devices here"
  cleanup_loops+=("$loop")
  mkdir -p "$2"
  mount "$loop" "$2" 2>/dev/null || skip_machine "cannot mount $(basename "$1") (file system not supported by this kernel?)"
  cleanup_mounts+=("$2")
}

# unmount DIR: unmounts ahead of clean-up, so the image can be read cold. For a
# FUSE mount it returns once the daemon has exited: umount returns before a FUSE
# daemon has finished, and ntfs-3g writes its last changes to the image as it exits.
unmount() {
  umount "$1" || fusermount -u "$1" || fail "cannot unmount $1"
  local pid=${fuse_daemons[$1]:-}
  if [ -n "$pid" ]; then
    fuse_daemon_gone "$pid" 60 || fail "the FUSE daemon of $1 (pid $pid) is still running a minute after unmounting"
    unset "fuse_daemons[$1]"
  fi
  local keep=() mnt
  for mnt in "${cleanup_mounts[@]}"; do [ "$mnt" = "$1" ] || keep+=("$mnt"); done
  cleanup_mounts=("${keep[@]}")
}

# map_drive LETTER DIR: DIR becomes Wine drive LETTER: in this build's prefix.
# A letter of its own per test: tests of one build may run at the same time.
map_drive() {
  local link="$PREFIX_DIR/dosdevices/${1,,}:"
  [ -e "$link" ] && [ ! -L "$link" ] && fail "drive $1: is in use in $PREFIX_DIR"
  ln -sfn "$2" "$link"
  cleanup_links+=("$link")
}

# shredrun ARGS...: the engine's run under Wine; stdout is the list as it ended.
shredrun() { "$WINE_RUN" "$SHREDRUN_EXE" "$@" </dev/null; }

# free_bytes DIR: bytes available to the user, as the engine's drive query sees them.
free_bytes() { df -B1 --output=avail "$1" | tail -n 1 | tr -d ' '; }

# ninety_five_percent N: N * 0.95 rounded to the nearest integer, an exact half to even.
ninety_five_percent() {
  local n=$1 q r
  q=$((n * 19 / 20)) r=$((n * 19 % 20))
  if ((r > 10 || (r == 10 && q % 2 == 1))); then q=$((q + 1)); fi
  echo "$q"
}

# expect_lines ACTUAL EXPECTED...: the run's output, line by line.
expect_lines() {
  local actual=$1; shift
  local expected
  expected=$(printf '%s\n' "$@")
  [ "$actual" = "$expected" ] || fail "list after the run:
$actual
expected:
$expected"
}

# Windows file systems as small image files, mounted through FUSE (the kernel here has
# no vfat, exfat or ntfs driver). Each takes IMAGE DIR SIZE, makes the image sparse,
# formats it and mounts it at DIR; DIR must be an absolute path no other mount uses.
# `unmount DIR` then waits for the daemon, so the image can be read cold; clean-up
# undoes the mount and any loop device whatever way the test ends.
#   ntfs_image IMAGE DIR SIZE   NTFS through ntfs-3g (SIZE 2M or more; 32M is plenty)
#   exfat_image IMAGE DIR SIZE  exFAT through exfat-fuse on a loop device (4M or more)
#   fat32_image IMAGE DIR SIZE  FAT32 through fusefat (33M or more, 64M to be safe:
#                               FAT32 needs 65525 clusters, here of 512 bytes)
# Set-up takes about 0.1-0.2 s each. Example:
#   ntfs_image "$work/ntfs.img" "$work/mnt" 32M; map_drive N "$work/mnt"
#   ...; unmount "$work/mnt"; fls -rd "$work/ntfs.img"

# fuse_daemon_gone PID SECONDS: true once PID has exited (a zombie counts), false if
# it still runs after SECONDS.
fuse_daemon_gone() {
  local tries=$(($2 * 20)) stat
  while :; do
    { read -r stat <"/proc/$1/stat"; } 2>/dev/null || return 0
    stat=${stat##*) }  # the state follows the command name in parentheses
    [[ $stat == Z* || $stat == X* ]] && return 0
    ((tries-- > 0)) || return 1
    sleep 0.05
  done
}

# fuse_daemon_of DIR: the pid of the FUSE daemon serving DIR, the process whose last
# argument is DIR (each of the three daemons takes the mount point last).
fuse_daemon_of() {
  local proc args
  for proc in /proc/[0-9]*; do
    { mapfile -d '' -t args <"$proc/cmdline"; } 2>/dev/null || continue
    [ ${#args[@]} -gt 0 ] && [ "${args[-1]}" = "$1" ] && { echo "${proc#/proc/}"; return 0; }
  done
  return 1
}

# fuse_needs PACKAGE TOOL...: fails unless every TOOL is installed, skips where the
# machine has no usable FUSE device.
fuse_needs() {
  need_tools "$@"
  [ -c /dev/fuse ] && [ -r /dev/fuse ] && [ -w /dev/fuse ] || skip_machine "no usable /dev/fuse here"
}

# fuse_image_file IMAGE SIZE: a fresh sparse image file.
fuse_image_file() {
  rm -f "$1"
  truncate -s "$2" "$1" || fail "cannot make a $2 image at $1"
}

# fuse_mount DIR COMMAND...: runs the FUSE daemon's mount COMMAND, whose last
# argument is DIR, and registers the mount and its daemon for clean-up. The daemon
# detaches once the mount is in place; its chatter goes to DIR.log, not to the test's
# output (ctest waits for whoever holds that open).
fuse_mount() {
  local dir=$1 pid; shift
  [[ $dir == /* ]] || fail "fuse_mount needs an absolute mount point, not $dir"
  mkdir -p "$dir"
  "$@" </dev/null >"$dir.log" 2>&1 || skip_machine "cannot mount through FUSE here ($1 failed: $(tail -n 1 "$dir.log"))"
  mountpoint -q "$dir" || fail "$1 returned but $dir is no mount point"
  cleanup_mounts+=("$dir")
  pid=$(fuse_daemon_of "$dir") || fail "no FUSE daemon found for $dir"
  fuse_daemons[$dir]=$pid
}

# ntfs_image IMAGE DIR SIZE: an NTFS image mounted read-write through ntfs-3g.
ntfs_image() {
  fuse_needs ntfs-3g mkntfs ntfs-3g
  fuse_image_file "$1" "$3"
  # -f: a quick format; -F: an image file, not a block device (it warns, harmlessly).
  mkntfs -F -q -f "$1" >/dev/null 2>&1 || fail "mkntfs failed on a $3 image"
  fuse_mount "$2" ntfs-3g "$1" "$2"
}

# exfat_image IMAGE DIR SIZE: an exFAT image mounted read-write through exfat-fuse.
exfat_image() {
  fuse_needs exfatprogs mkfs.exfat
  fuse_needs exfat-fuse mount.exfat-fuse
  need_tools mount losetup
  fuse_image_file "$1" "$3"
  mkfs.exfat "$1" >/dev/null 2>&1 || fail "mkfs.exfat failed on a $3 image"
  # exfat-fuse mounts only a block device, and only on an empty folder.
  local loop
  loop=$(losetup --find --show "$1" 2>/dev/null) || skip_machine "no loop devices here"
  cleanup_loops+=("$loop")
  fuse_mount "$2" mount.exfat-fuse "$loop" "$2"
}

# fat32_image IMAGE DIR SIZE: a FAT32 image mounted read-write through fusefat. It
# writes straight to the image, and grows no file past 2 GiB.
fat32_image() {
  fuse_needs dosfstools mkfs.vfat
  fuse_needs fusefat fusefat
  fuse_image_file "$1" "$3"
  local out
  # Below 33 MiB mkfs.vfat still writes "FAT32", with too few clusters for any reader
  # to take it for one; it only warns.
  out=$(mkfs.vfat -F 32 "$1" 2>&1) || fail "mkfs.vfat -F 32 failed on a $3 image: $out"
  [[ $out == *WARNING* ]] && fail "a $3 image is too small for FAT32 (33M or more): $out"
  # Without rw+ fusefat mounts read-only.
  fuse_mount "$2" fusefat -o rw+ "$1" "$2"
}

# For the tests of one Windows file system's image: they set fstype (ntfs, exfat or
# fat32), image and mnt. mount_fs makes and mounts the image; remount mounts it again.
mount_fs() {
  case $fstype in
    ntfs) ntfs_image "$image" "$mnt" 32M ;;
    exfat) exfat_image "$image" "$mnt" 32M ;;
    fat32) fat32_image "$image" "$mnt" 64M ;;
    *) fail "unknown file system $fstype" ;;
  esac
}
remount() {
  case $fstype in
    ntfs) fuse_mount "$mnt" ntfs-3g "$image" "$mnt" ;;
    exfat) fuse_mount "$mnt" mount.exfat-fuse "${cleanup_loops[-1]}" "$mnt" ;;
    fat32) fuse_mount "$mnt" fusefat -o rw+ "$image" "$mnt" ;;
  esac
}

hex() { od -An -N8 -tx8 /dev/urandom | tr -d ' '; }

# count TEXT: lines of the image holding TEXT; count_utf16 TEXT: places holding it
# as UTF-16LE, the way NTFS and exFAT store names (FAT in pieces of 13 characters).
count() { grep -a -c -F -e "$1" "$image"; }
count_utf16() {
  python3 -c 'import sys; print(open(sys.argv[1], "rb").read().count(sys.argv[2].encode("utf-16-le")))' "$image" "$1"
}
# name_pieces NAME: the runs of a name that its directory entries hold unbroken, one
# a line. NTFS keeps a name whole; exFAT in entries of 15 characters; FAT's long
# name entries hold 13 characters each, as runs of 5, 6 and 2 (the runs of 2 are
# too short to tell anything by), and FAT keeps an upper-case short name besides.
name_pieces() {
  local name=$1 i
  case $fstype in
    ntfs) echo "$name" ;;
    exfat) for ((i = 0; i < ${#name}; i += 15)); do echo "${name:i:15}"; done ;;
    fat32)
      for ((i = 0; i < ${#name}; i += 13)); do
        echo "${name:i:5}"
        [ -n "${name:i+5:6}" ] && echo "${name:i+5:6}"
      done
      ;;
  esac
}
# name_left NAME: how many of the name's runs the image still holds, as UTF-16.
# A piece of fewer than 5 characters (the end of a name in exFAT's entries of 15) is
# too short to tell anything by: random names hold such runs too.
name_left() {
  local piece n=0
  while read -r piece; do
    ((${#piece} >= 5)) && (($(count_utf16 "$piece") > 0)) && n=$((n + 1))
  done < <(name_pieces "$1")
  echo "$n"
}

