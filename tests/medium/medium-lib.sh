# Shared by the real-medium tests: arguments, skipping, Wine drives and clean-up.
# Sourced with the test's arguments: WINE_RUN SHREDRUN_EXE WINEPREFIX
# Every mount, loop device and drive letter a test makes is undone on exit, even
# when it fails halfway, so a broken run never leaves the machine changed.

[ $# -ge 3 ] || { echo "usage: $0 WINE_RUN SHREDRUN_EXE WINEPREFIX" >&2; exit 2; }
WINE_RUN=$1 SHREDRUN_EXE=$2 PREFIX_DIR=$3

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

cleanup_links=() cleanup_mounts=() cleanup_loops=() cleanup_pids=()
work=

medium_cleanup() {
  local pid link mnt loop
  for pid in "${cleanup_pids[@]}"; do kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  for link in "${cleanup_links[@]}"; do rm -f "$link"; done
  for ((i = ${#cleanup_mounts[@]} - 1; i >= 0; i--)); do
    mnt=${cleanup_mounts[i]}
    # A Wine process that is still dying may hold the mount for a moment.
    umount "$mnt" 2>/dev/null || { sleep 1; umount "$mnt" 2>/dev/null; } || umount -l "$mnt"
  done
  for loop in "${cleanup_loops[@]}"; do losetup -d "$loop" 2>/dev/null; done
  [ -n "$work" ] && rm -rf "$work"
  return 0
}
trap medium_cleanup EXIT

[ "$(id -u)" = 0 ] || skip "needs root for mounts"
[ -x "$WINE_RUN" ] || fail "no wine-run at $WINE_RUN"
[ -f "$SHREDRUN_EXE" ] || fail "no shredrun at $SHREDRUN_EXE"
[ -d "$PREFIX_DIR/dosdevices" ] || fail "no prepared Wine prefix at $PREFIX_DIR"
work=$(mktemp -d /tmp/quorvane-medium.XXXXXX)

# mount_tmpfs DIR SIZE: a small RAM drive whose free space Wine reports exactly.
mount_tmpfs() {
  mkdir -p "$1"
  mount -t tmpfs -o "size=$2" tmpfs "$1" 2>/dev/null || skip "cannot mount tmpfs here"
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
  loop=$(losetup --find --show "$1" 2>/dev/null) || skip "no loop devices here"
  cleanup_loops+=("$loop")
  mkdir -p "$2"
  mount "$loop" "$2" 2>/dev/null || skip "cannot mount $(basename "$1") (file system not supported by this kernel?)"
  cleanup_mounts+=("$2")
}

# unmount DIR: unmounts ahead of clean-up, so the image can be read cold.
unmount() {
  umount "$1" || fail "cannot unmount $1"
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
