#!/usr/bin/env bash
# Two builds of the same sources give byte-identical programs and packages, though
# they are made from copies in folders of different names and depths, with
# different build folders, time zones and umasks, one after the other: anyone who
# rebuilds a commit can check our download against theirs.
# usage: reproducible.sh SOURCE_DIR
# QUORVANE_PACKAGE_ARCHS limits the architectures (default: i686 and x86_64).
set -euo pipefail
source=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d /tmp/qv-pkg-repro-XXXXXX)
trap 'rm -rf "$tmp"' EXIT

# The commit's time unless given; the copies have no history of their own.
: "${SOURCE_DATE_EPOCH:=$(git -C "$source" log -1 --format=%ct)}"
export SOURCE_DATE_EPOCH

# The tree as it is now, committed or not: tracked and new files that exist.
copy_sources() {  # destination
  mkdir -p "$1"
  (cd "$source" && git ls-files -z --cached --others --exclude-standard |
     while IFS= read -r -d '' file; do [ -f "$file" ] && printf '%s\0' "$file"; done |
     tar -cf - --null --no-recursion -T -) | tar -xf - -C "$1"
}
one=$tmp/a/src
two=$tmp/second-place/with/a-longer-path/quorvane-source
copy_sources "$one"
copy_sources "$two"

echo "== first build"
QUORVANE_PACKAGE_WORK=$tmp/a/b TZ=UTC "$one/scripts/package.sh" "$tmp/a/dist"
echo "== second build"
(umask 077 && QUORVANE_PACKAGE_WORK=$tmp/second-place/build-here TZ=Pacific/Kiritimati \
   "$two/scripts/package.sh" "$tmp/second-place/dist")

faults=0
for exe in "$tmp"/a/b/*/ui/Quorvane.exe; do
  arch=$(basename "$(dirname "$(dirname "$exe")")")
  if ! cmp "$exe" "$tmp/second-place/build-here/$arch/ui/Quorvane.exe"; then
    echo "the $arch Quorvane.exe differs between the two builds"
    faults=1
  fi
done
for file in "$tmp"/a/dist/*; do
  if ! cmp "$file" "$tmp/second-place/dist/$(basename "$file")"; then
    echo "$(basename "$file") differs between the two builds"
    faults=1
  fi
done
for zip in "$tmp"/a/dist/*.zip; do
  python3 "$here/check-zip.py" "$zip" "$one" || faults=1
done
(cd "$tmp/a/dist" && sha256sum -c SHA256SUMS) || faults=1
[ "$faults" -eq 0 ] && echo "both builds gave the same bytes:" && cat "$tmp/a/dist/SHA256SUMS"
exit "$faults"
