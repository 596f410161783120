#!/usr/bin/env bash
# Mounts a small tmpfs and an ext4 image as Wine drives, lets the built program
# shred a fill and a file there, then checks the image's raw bytes for the file's
# contents; and an 8 GiB tmpfs, for fills that are stopped, closed or cut short by
# the session's end. Needs root; says so and skips (77) where the machine cannot mount.
# usage: e2e-drives.sh WINE-RUN DRIVES-TEST-EXE QUORVANE-EXE PREFIX
set -uo pipefail
run=$1 test_exe=$2 program=$3 prefix=$4
. "$(dirname "$0")/../support/skip.sh"

[ "$(id -u)" -eq 0 ] || skip_machine "needs root to mount test drives"
need_tools e2fsprogs mkfs.ext4
need_tools mount mount umount
need_tools util-linux mountpoint
work=$(mktemp -d /tmp/quorvane-e2e.XXXXXX)
fill_dir=$work/fill medium_dir=$work/medium large_dir=$work/large image=$work/ext4.img
mkdir -p "$fill_dir" "$medium_dir" "$large_dir"
cleanup() {
  rm -f "$prefix/dosdevices/k:" "$prefix/dosdevices/l:" "$prefix/dosdevices/q:"
  mountpoint -q "$fill_dir" && umount "$fill_dir"
  mountpoint -q "$medium_dir" && umount "$medium_dir"
  mountpoint -q "$large_dir" && umount "$large_dir"
  rm -rf "$work"
}
trap cleanup EXIT

mount -t tmpfs -o size=8m tmpfs "$fill_dir" 2>/dev/null || skip_machine "cannot mount a tmpfs here"
truncate -s 64M "$image"
mkfs.ext4 -q -F "$image" >/dev/null 2>&1 || { echo "FAILED: mkfs.ext4 cannot format $image"; exit 1; }
mount -o loop "$image" "$medium_dir" 2>/dev/null || skip_machine "cannot loop-mount an ext4 image here"
# Pages of a tmpfs are taken only as they are written: a fill that stops halfway
# costs half of this in memory, for a moment.
mount -t tmpfs -o size=8g tmpfs "$large_dir" 2>/dev/null || skip_machine "cannot mount a tmpfs here"
ln -sfn "$fill_dir" "$prefix/dosdevices/k:"
ln -sfn "$medium_dir" "$prefix/dosdevices/l:"
ln -sfn "$large_dir" "$prefix/dosdevices/q:"

marker="quorvane-e2e-marker-$(od -An -N8 -tx8 /dev/urandom | tr -d ' ')"
# The file to shred, on the medium for real before the program sees it.
for _ in $(seq 8192); do echo "$marker"; done >"$medium_dir/secret.txt"
sync
if [ "$(grep -c -a "$marker" "$image" || true)" = 0 ]; then
  echo "FAILED: the file to shred never reached the image, so the check would prove nothing"; exit 1
fi
program_win=$(WINEPREFIX=$prefix "$run" winepath -w "$program" 2>/dev/null | tr -d '\r')
QUORVANE_FILL_ROOT='K:\' QUORVANE_MEDIUM_ROOT='L:\' QUORVANE_LARGE_FILL_ROOT='Q:\' QUORVANE_EXE=$program_win \
  "$run" "$test_exe"
status=$?
[ $status -eq 0 ] || exit $status

sync
umount "$medium_dir"
left=$(grep -c -a "$marker" "$image" || true)
if [ "$left" != 0 ]; then
  echo "FAILED: $left lines of the shredded file are still on the ext4 medium"
  exit 1
fi
echo "the ext4 medium holds none of the shredded file's lines"
