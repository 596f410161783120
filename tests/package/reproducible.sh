#!/usr/bin/env bash
# Two builds of the same sources give byte-identical programs and packages, though
# they are made in folders of different names and depths, with different build
# folders, time zones and umasks: anyone who rebuilds a commit can check our
# download against theirs.
# The first build is the one under test, made as scripts/test.sh makes it; the
# second is made here by scripts/package.sh from a copy of the sources, in a
# deeper folder, at another time zone and umask. Its zip is compared with one
# packed here from the first build's program, as package.sh packs it.
# usage: reproducible.sh SOURCE_DIR ARCH BUILD_DIR   (ARCH i686 or x86_64)
set -euo pipefail
source=$(realpath "$1") arch=$2 first=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d /tmp/qv-pkg-repro-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
[ -f "$first/ui/Quorvane.exe" ] || { echo "FAIL: no Quorvane.exe in $first: build it first"; exit 1; }

# The commit's time unless given; the copy has no history of its own.
: "${SOURCE_DATE_EPOCH:=$(git -C "$source" log -1 --format=%ct)}"
export SOURCE_DATE_EPOCH

# The tree as it is now, committed or not: tracked and new files that exist.
copy_sources() {  # destination
  mkdir -p "$1"
  (cd "$source" && git ls-files -z --cached --others --exclude-standard |
     while IFS= read -r -d '' file; do [ -f "$file" ] && printf '%s\0' "$file"; done |
     tar -cf - --null --no-recursion -T -) | tar -xf - -C "$1"
}
two=$tmp/second-place/with/a-longer-path/quorvane-source
copy_sources "$two"

echo "== second build ($arch)"
(umask 077 && QUORVANE_PACKAGE_WORK=$tmp/second-place/build-here QUORVANE_PACKAGE_ARCHS=$arch \
   TZ=Pacific/Kiritimati "$two/scripts/package.sh" "$tmp/second-place/dist")

faults=0
if ! cmp "$first/ui/Quorvane.exe" "$tmp/second-place/build-here/$arch/ui/Quorvane.exe"; then
  echo "the $arch Quorvane.exe differs between the two builds"
  faults=1
fi
second_zip=$(ls "$tmp"/second-place/dist/Quorvane-*-win*.zip)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$first/CMakeCache.txt")
first_zip=$tmp/first/$(basename "$second_zip")
mkdir -p "$tmp/first"
TZ=UTC python3 "$source/package/make-package.py" --source "$source" --exe "$first/ui/Quorvane.exe" \
  --version "$version" --output "$first_zip"
if ! cmp "$first_zip" "$second_zip"; then
  echo "$(basename "$second_zip") differs between the two builds"
  faults=1
fi
python3 "$here/check-zip.py" "$second_zip" "$source" || faults=1
(cd "$tmp/second-place/dist" && sha256sum -c SHA256SUMS) || faults=1
[ "$faults" -eq 0 ] && echo "both builds gave the same bytes:" && cat "$tmp/second-place/dist/SHA256SUMS"
exit "$faults"
