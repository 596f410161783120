#!/usr/bin/env bash
# Builds the release packages from scratch: Quorvane-<version>-win32.zip (i686) and
# Quorvane-<version>-win64.zip (x86_64), each with Quorvane.exe, README.txt,
# LICENSE.txt and NOTICE.txt, and SHA256SUMS beside them.
#
# The same commit gives the same bytes wherever and whenever it is built: the
# entries are dated SOURCE_DATE_EPOCH, the commit's time unless it is set, and
# nothing of the build folders or the clock goes into the program.
#
# usage: scripts/package.sh [OUTDIR]          (default: dist/ in the source tree)
# QUORVANE_PACKAGE_WORK=DIR builds in DIR (emptied first) and keeps it; by default
# the builds go to a temporary folder that is removed afterwards.
# QUORVANE_PACKAGE_ARCHS="x86_64" builds only the named architectures.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$here/dist}")
archs=(${QUORVANE_PACKAGE_ARCHS:-i686 x86_64})

"$here/scripts/install-deps.sh"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  if ! SOURCE_DATE_EPOCH=$(git -C "$here" log -1 --format=%ct 2>/dev/null) || [ -z "$SOURCE_DATE_EPOCH" ]; then
    echo "package.sh: no git history here: set SOURCE_DATE_EPOCH to the sources' time" >&2
    exit 1
  fi
fi
export SOURCE_DATE_EPOCH
# Packages of a tree with changes are nobody's commit: say so, but build them (that
# is how the packaging itself is tried out).
if git -C "$here" rev-parse --git-dir >/dev/null 2>&1 &&
   [ -n "$(git -C "$here" status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "package.sh: NOTE: the working tree has uncommitted changes; these packages are not $(git -C "$here" rev-parse --short HEAD)'s" >&2
fi

if [ -n "${QUORVANE_PACKAGE_WORK:-}" ]; then
  work=$(realpath -m "$QUORVANE_PACKAGE_WORK")
  mkdir -p "$work"
else
  work=$(mktemp -d /tmp/qv-pkg-XXXXXX)
  trap 'rm -rf "$work"' EXIT
fi

zips=()
for arch in "${archs[@]}"; do
  build="$work/$arch"
  rm -rf "$build"
  echo "== building the $arch package in $build"
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-$arch-w64-mingw32.cmake" >/dev/null
  cmake --build "$build" -j"$(nproc)" --target quorvane_package -- --no-print-directory >/dev/null
  zips+=("$(ls "$build"/package/Quorvane-*-win*.zip)")
done

mkdir -p "$out"
rm -f "$out"/Quorvane-*-win*.zip "$out/SHA256SUMS"
names=()
for zip in "${zips[@]}"; do
  cp "$zip" "$out/"
  names+=("$(basename "$zip")")
done
(cd "$out" && sha256sum "${names[@]}" >SHA256SUMS)
echo "== packages in $out (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
cat "$out/SHA256SUMS"
