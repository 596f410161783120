#!/usr/bin/env bash
# Installs, on Debian 12, whatever the build and the tests need and is not there yet.
# Every tool a test calls comes from one of these packages: a test that finds a tool
# missing fails and names its package, it never skips.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-arch.sh"

need=(cmake make g++ binutils g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64
      wine "$wine32_package" wine64 xvfb x11-apps x11-utils imagemagick googletest fonts-wine fonts-ocr-a
      coreutils util-linux mount procps findutils grep sed tar xz-utils git time python3
      e2fsprogs xfsprogs ntfs-3g exfat-fuse exfatprogs fusefat dosfstools fuse3 sleuthkit)

# A Debian mirror that is being synced serves index files that do not match its
# Release file for a while ("File has unexpected size ... Mirror sync in progress?").
# Such a failure passes: the update and the install are tried again after a pause, a
# bounded number of times.
tries=${QUORVANE_APT_TRIES:-6}
pause=${QUORVANE_APT_PAUSE:-30}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
log=$tmp/log

# The 32-bit Wine is never started where the kernel runs no 32-bit programs: there it
# is not installed, nor the i386 architecture it needs. An unclear answer keeps it, so
# that the tests later say what is wrong. QUORVANE_KERNEL_32BIT_ANSWER gives the answer
# instead (for the tests of this script).
kernel_refuses_32bit() {
  [ "${QUORVANE_KERNEL_32BIT_ANSWER:-$(kernel_32bit_answer "$tmp")}" = refused ]
}
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' && continue
  [ "$p" = "$wine32_package" ] && kernel_refuses_32bit && continue
  missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# One try: the lists, then the packages. An index that fails to update is left out
# (see drop_unverified_lists): the others may hold all that is missing, so the install
# is tried regardless, and its failure is what counts.
try_install() {  # LOG
  $sudo apt-get update -qq >"$1" 2>&1 || true
  drop_unverified_lists "$1"
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >>"$1" 2>&1
}

if [[ " ${missing[*]} " == *" $wine32_package "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

# unverified_indexes LOG: the index files an update fetched that do not match the
# mirror's signed Release file, one URL a line.
unverified_indexes() {
  sed -n -E 's/^[EW]: Failed to fetch ([^ ]+)  (File has unexpected size|Hash Sum mismatch).*/\1/p' "$1" | sort -u
}
# apt leaves out an index that does not match and reads the list it had of it
# instead. That list may be one apt never verified (older copies of this script wrote
# the index there as the mirror served it), and neither apt nor this script can tell
# it from a verified one: it is removed, so that apt installs only from lists it verified.
drop_unverified_lists() {  # LOG
  local urls uri list url
  urls=$(unverified_indexes "$1")
  [ -n "$urls" ] || return 0
  apt-get indextargets --format '$(URI) $(FILENAME)' 2>/dev/null | while read -r uri list; do
    while read -r url; do
      case $url in
        "$uri" | "$uri".* | "${uri%/*}"/by-hash/*)
          # with the copies apt may keep of it, packed another way
          list=$(sed -E 's/\.(gz|xz|bz2|lzma|lz4|zst)$//' <<<"$list")
          $sudo rm -f -- "$list" "$list".* ;;
      esac
    done <<<"$urls"
  done
}
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

# A mirror that still serves an index that does not match its signed Release file
# after all those tries is not syncing: it holds a copy of its own (measured: the i386
# index of the security updates, the same wrong size for hours). What only that index
# lists cannot be had, and without it apt finds no install: it takes the updates'
# versions of the 64-bit libraries, and their 32-bit copies must match them. The
# release's own suite, whose indexes apt verified, lists both at one version: one more
# install takes the versions of that suite. Where that fails too, nothing is installed.
unverified=$(unverified_indexes "$log")
codename=$( (. /etc/os-release && echo "${VERSION_CODENAME:-}") 2>/dev/null || true)
fault="" again="once the mirror answers"
if [ -n "$unverified" ]; then
  if [ -n "$codename" ] &&
    $sudo apt-get install -y -qq --no-install-recommends -t "$codename" "${missing[@]}" >>"$log" 2>&1; then
    echo "install-deps: the mirror serves ${unverified//$'\n'/ } unlike its signed Release file: installed ${missing[*]} in the versions that $codename itself lists" >&2
    exit 0
  fi
  fault=": the mirror still serves ${unverified//$'\n'/ }, which does not match its signed Release file, and nothing is installed from an index apt has not verified"
  again="once the mirror serves that index as signed, or with another Debian mirror in apt's sources"
fi
echo "install-deps: ERROR: cannot install ${missing[*]} after $tries tries$fault; the last one said:" >&2
grep -E '^E:|Depends:' "$log" | head -n 12 >&2 || tail -n 12 "$log" >&2
echo "install-deps: the build and the tests need these packages: run this script again $again" >&2
exit 1
