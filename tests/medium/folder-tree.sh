#!/usr/bin/env bash
# A folder shredded whole on a RAM drive under Wine: a tree three levels deep with a
# read-only file, an empty folder and a symbolic link to a folder outside the tree.
# Every file is shredded as itself and gone, and so is every folder but the ones that
# hold a link or a file with another name. One file has a second name outside the
# tree: that name sees the file cut to nothing (the run worked on that file, not on a
# copy) and remains, told in the row, and the file's folder stays. The links stay: Wine opens what a folder link points to even
# when asked for the link, so the link cannot be removed as itself there, and stays,
# told in the row. What it points to (a folder with a file, and an empty one, which a
# removal through the link's path would take) and a file beside the tree are
# unchanged, and the drive's root is refused.
# usage: folder-tree.sh WINE_RUN SHREDRUN_EXE WINEPREFIX
set -uo pipefail
. "$(dirname "$0")/medium-lib.sh"

# Wine's drive M: is /dev/shm, a RAM drive; the test works in a folder of its own there.
[ "$(readlink "$PREFIX_DIR/dosdevices/m:")" = /dev/shm ] || fail "drive M: of $PREFIX_DIR is not /dev/shm"
base=$(mktemp -d /dev/shm/quorvane-tree.XXXXXX)
trap 'rm -rf "$base"; medium_cleanup' EXIT
drive="M:\\${base#/dev/shm/}"
tree=$base/tree
mkdir -p "$tree/one/two/three" "$tree/one/empty" "$base/outside" "$base/empty-outside" "$base/watch"
printf 'outside\n' >"$base/outside/keep.txt"
printf 'beside\n' >"$base/beside.txt"
n=0
for file in a.txt one/b.txt one/two/c.txt one/two/three/d.txt one/ro.txt; do
  head -c $((20000 + n * 1000)) /dev/urandom >"$tree/$file"
  n=$((n + 1))
done
ln "$tree/one/two/three/d.txt" "$base/watch/d.txt"
chmod a-w "$tree/one/ro.txt"  # Wine shows it read-only
ln -s "$base/outside" "$tree/one/link"
ln -s "$base/empty-outside" "$tree/one/two/link"
before_outside=$(sha256sum "$base/outside/keep.txt" "$base/beside.txt")

output=$(shredrun "$drive\\tree" "M:\\") || fail "shredrun exited with $?"
link_reason="a link (or a cloud file's placeholder) that could not be removed as itself; what it points to is not touched"
# The folder's listing order is the file system's: the two links come in either order.
first=$(head -n 1 <<<"$output")
names_reason="its data is overwritten with zeros and this name is gone, but the file had 1 other name, which remains as an empty file"
[[ $first == "NOT SHREDDED (3 items in it were left, so it stays: "*") ... $drive\\tree" ]] \
  && [[ $first == *"one\\link ($link_reason)"* ]] && [[ $first == *"one\\two\\link ($link_reason)"* ]] \
  && [[ $first == *"one\\two\\three\\d.txt ($names_reason)"* ]] \
  || fail "the tree's row does not name both links and the file with another name: $first"
[ "$(tail -n +2 <<<"$output")" = "NOT SHREDDED (it names a drive or a volume as a whole; list a name that is not there in it to wipe its free space) ... M:\\" ] \
  || fail "the drive's root was not refused: $output"

left=$(cd "$tree" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$left" = "./one ./one/link ./one/two ./one/two/link ./one/two/three " ] \
  || fail "the tree holds more than the folders of the links and of the file with another name: $left"
[ -L "$tree/one/link" ] && [ -L "$tree/one/two/link" ] || fail "a link is no longer a link"
[ -d "$base/empty-outside" ] || fail "the empty folder a link points to was removed"
[ "$(stat -c %s "$base/watch/d.txt")" = 0 ] \
  || fail "the file with another name was not cut to nothing in place: $(stat -c %s "$base/watch/d.txt") bytes"
[ "$(sha256sum "$base/outside/keep.txt" "$base/beside.txt")" = "$before_outside" ] \
  || fail "what the link points to, or the file beside the tree, changed"
[ "$(ls -A "$base/outside")" = keep.txt ] || fail "the link's folder changed: $(ls -A "$base/outside")"
echo "ok: $n files shredded in place and gone, one leaving its other name; the tree gone but for the folders" \
  "of the links and that file; the links' targets, the file beside and the drive root untouched"
