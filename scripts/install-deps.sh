#!/usr/bin/env bash
# Installs, on Debian 12, whatever the build and the tests need and is not there yet.
# Every tool a test calls comes from one of these packages: a test that finds a tool
# missing fails and names its package, it never skips.
set -euo pipefail

need=(cmake make g++ binutils g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64
      wine wine32:i386 wine64 xvfb x11-apps x11-utils imagemagick googletest fonts-wine fonts-ocr-a
      coreutils util-linux mount procps findutils grep sed tar xz-utils git time python3
      e2fsprogs xfsprogs ntfs-3g exfat-fuse exfatprogs fusefat dosfstools fuse3 sleuthkit)

# A Debian mirror that is being synced serves index files that do not match its
# Release file for a while ("File has unexpected size ... Mirror sync in progress?").
# Such a failure passes: the update and the install are tried again after a pause, a
# bounded number of times.
tries=${QUORVANE_APT_TRIES:-6}
pause=${QUORVANE_APT_PAUSE:-30}

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# One try: the lists, then the packages. An index that fails to update is left out
# (apt keeps what it had): the others may hold all that is missing, so the install
# is tried regardless, and its failure is what counts.
try_install() {  # LOG
  $sudo apt-get update -qq >"$1" 2>&1 || true
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >>"$1" 2>&1
}

log=$(mktemp)
trap 'rm -f "$log" "$log".index*' EXIT
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
# A list that apt cannot read (a broken download, or one written by an older copy of
# this script) stops every apt call until it is fetched again: it is removed.
drop_unreadable_lists() {  # LOG
  local lists list
  eval "$(apt-config shell lists Dir::State::lists/d)"
  sed -n 's/^E: Problem with MergeList \(.*\)$/\1/p' "$1" | sort -u | while read -r list; do
    [ -n "${lists:-}" ] && [ "${list#"$lists"}" != "$list" ] && $sudo rm -f -- "$list"
  done
  return 0
}
for ((try = 1; ; try++)); do
  try_install "$log" && exit 0
  drop_unreadable_lists "$log"
  ((try < tries)) || break
  echo "install-deps: installing ${missing[*]} failed (try $try of $tries):" >&2
  grep -m 2 '^E:' "$log" >&2 || tail -n 2 "$log" >&2
  echo "install-deps: trying again in $pause s (a Debian mirror may be in the middle of a sync)" >&2
  sleep "$pause"
done

# A mirror that still serves an index of another size than its signed Release file
# says, after all those tries, is not syncing: it holds a copy of its own (measured:
# the i386 security index, the same wrong size for hours). As a last resort such an
# index is used as the mirror serves it, so that the packages that only it lists
# (the 32-bit libraries of the security updates, which wine32:i386 must match) can
# be had. The packages are still checked against it; it is not checked against
# the Release file, and the script says so.
take_served_indexes() {  # LOG
  local helper=${QUORVANE_APT_HELPER:-/usr/lib/apt/apt-helper} lists url list index taken=1
  eval "$(apt-config shell lists Dir::State::lists/d)"
  [ -n "${lists:-}" ] || return 1
  while read -r url; do
    list=$lists/$(sed -E 's|^[a-z]+://||; s|/|_|g' <<<"${url%.*}")
    # apt-helper unpacks what it reads by the file's extension: the download keeps it.
    index=$log.index.${url##*.}
    if $sudo "$helper" download-file "$url" "$index" >/dev/null 2>&1 &&
      "$helper" cat-file "$index" | $sudo tee "$list" >/dev/null; then
      echo "install-deps: WARNING: $url does not match the mirror's signed Release file; using it as served" >&2
      taken=0
    fi
  done < <(sed -n 's/^E: Failed to fetch \([a-z]*:[^ ]*\)  File has unexpected size.*/\1/p' "$log" | sort -u)
  $sudo rm -f "$log".index*
  return $taken
}
if take_served_indexes && $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >>"$log" 2>&1; then
  exit 0
fi
echo "install-deps: ERROR: cannot install ${missing[*]} after $tries tries; the last one said:" >&2
grep -E '^E:|Depends:' "$log" | head -n 12 >&2 || tail -n 12 "$log" >&2
echo "install-deps: the build and the tests need these packages: run this script again once the mirror answers" >&2
exit 1
