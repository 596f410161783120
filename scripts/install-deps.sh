#!/usr/bin/env bash
# Installs, on Debian 12, whatever the build and the tests need and is not there yet.
set -euo pipefail

need=(cmake make g++ g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64
      wine wine32:i386 wine64 xvfb x11-apps x11-utils imagemagick googletest
      fonts-wine fonts-ocr-a e2fsprogs xfsprogs coreutils util-linux time python3
      ntfs-3g exfat-fuse exfatprogs fusefat dosfstools fuse3 sleuthkit)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
