#!/usr/bin/env bash
# scripts/install-deps.sh against a Debian mirror in the middle of a sync, which no
# test can order from the real one: apt-get, dpkg and dpkg-query are stand-ins that
# answer as Debian's do (messages taken from a real failed update) and log each call.
# usage: install-deps-test.sh SOURCE_DIR
set -uo pipefail
source_dir=${1:?source dir}
work=$(mktemp -d /tmp/quorvane-install-deps.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir "$work/bin"
# dpkg-query: every package is missing, unless $work/installed exists.
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
[ -e "$STUB_DIR/installed" ] && printf 'install ok installed'
exit 0
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/bin/sh
echo "dpkg $*" >>"$STUB_DIR/calls"
STUB
cat >"$work/bin/sudo" <<'STUB'
#!/bin/sh
exec "$@"
STUB
# apt-get: the mirror serves a bad i386 index for the first $STUB_BAD_UPDATES
# updates. wine32:i386 resolves only after an update has gone through, from a list of
# that index (which nothing has verified while its update fails), or, where
# $STUB_SUITE_RESOLVES is set, with the release's own suite as the target.
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/bash
echo "$*" >>"$STUB_DIR/calls"
# A list apt cannot read fails every call until it is gone.
if [ -e "$STUB_DIR/lists/broken_Packages" ]; then
  echo "E: Encountered a section with no Package: header"
  echo "E: Problem with MergeList $STUB_DIR/lists/broken_Packages"
  exit 100
fi
i386_list=$STUB_DIR/lists/deb.debian.org_debian-security_dists_bookworm-security_main_binary-i386_Packages
case $1 in
  update)
    n=$(grep -c '^update' "$STUB_DIR/calls")
    if [ "$n" -le "$STUB_BAD_UPDATES" ]; then
      echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]"
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
      exit 100
    fi
    touch "$STUB_DIR/updated" ;;
  indextargets)
    [ ! -e "$i386_list" ] || echo "http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages $i386_list" ;;
  install)
    if [[ " $* " == *" wine32:i386 "* ]] && [ ! -e "$STUB_DIR/updated" ] && [ ! -e "$i386_list" ] &&
      ! { [ -n "${STUB_SUITE_RESOLVES:-}" ] && [[ " $* " == *" -t "* ]]; }; then
      echo " libc6:i386 : Depends: libgcc-s1:i386 but it is not going to be installed"
      echo "E: Unable to correct problems, you have held broken packages."
      exit 100
    fi ;;
esac
exit 0
STUB
# apt-config names the stand-in lists folder.
cat >"$work/bin/apt-config" <<'STUB'
#!/bin/sh
echo "lists='$STUB_DIR/lists/'"
STUB
chmod +x "$work/bin"/*
mkdir "$work/lists"

# run_install TRIES BAD_UPDATES [LIST]: runs the script in a fresh state, with LIST in
# apt's lists if given; its output is in $work/out.
run_install() {
  rm -f "$work/calls" "$work/updated" "$work/lists"/*
  [ -z "${3:-}" ] || printf '\375' >"$work/lists/$3"
  touch "$work/calls"
  PATH=$work/bin:$PATH STUB_DIR=$work STUB_BAD_UPDATES=$2 QUORVANE_APT_TRIES=$1 QUORVANE_APT_PAUSE=0 \
    QUORVANE_KERNEL_32BIT_ANSWER=${kernel:-runs} \
    bash "$source_dir/scripts/install-deps.sh" >"$work/out" 2>&1
}
calls() { grep -c "^$1" "$work/calls"; }

# The mirror is out of step for two updates, then in step again.
run_install 6 2 || fail "the install failed although the mirror came back:
$(cat "$work/out")"
[ "$(calls update)" = 3 ] && [ "$(calls install)" = 3 ] || fail "expected 3 updates and 3 installs: $(cat "$work/calls")"
grep -q 'Mirror sync in progress' "$work/out" || fail "the retries do not say what failed: $(cat "$work/out")"
grep -q -- '--no-install-recommends .*wine32:i386' "$work/calls" || fail "wine32:i386 was not installed: $(cat "$work/calls")"

# It stays out of step, and a list of the bad index, as an older copy of this script
# wrote it, is there: no install reads it; after the tries, the release's own suite,
# whose indexes apt verified, has what is missing.
served=deb.debian.org_debian-security_dists_bookworm-security_main_binary-i386_Packages
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
STUB_SUITE_RESOLVES=1 run_install 4 99 "$served" || fail "the install from the release's suite failed:
$(cat "$work/out")"
[ "$(calls update)" = 4 ] && [ "$(calls install)" = 5 ] || fail "expected 4 tries and a last install: $(cat "$work/calls")"
tail -n 1 "$work/calls" | grep -q -- "-t $codename .*wine32:i386" || fail "the last install is not from $codename: $(cat "$work/calls")"
[ -z "$(ls "$work/lists")" ] && ! grep -q 'as served' "$work/out" || fail "an unverified index was used: $(ls "$work/lists"; cat "$work/out")"

# A list left unreadable (by an older copy of this script, say) is fetched again.
run_install 6 0 broken_Packages || fail "an unreadable list was not dropped: $(cat "$work/out")"
[ ! -e "$work/lists/broken_Packages" ] && [ "$(calls update)" = 2 ] || fail "expected the list gone and 2 tries: $(cat "$work/calls")"

# Where not even the suite has it, it gives up and names the mirror's fault; a kernel
# whose answer is unclear still needs the 32-bit Wine.
kernel="unknown: no answer" run_install 4 99 && fail "the install passed although no package could be installed"
[ "$(calls update)" = 4 ] || fail "expected 4 tries, made $(calls update)"
for said in "cannot install" "wine32:i386" "Mirror sync in progress" "Unable to correct problems" \
  "serves http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz, which does not match its signed Release file"; do
  grep -q -F "$said" "$work/out" || fail "the final error does not say '$said':
$(cat "$work/out")"
done

# A kernel that runs no 32-bit programs needs no i386 index: the install goes through at once.
kernel=refused run_install 6 99 || fail "the install without the 32-bit Wine failed: $(cat "$work/out")"
[ "$(calls install)" = 1 ] && ! grep -q i386 "$work/calls" || fail "expected one install without i386: $(cat "$work/calls")"

# Nothing missing: no apt at all.
touch "$work/installed"
run_install 6 0 || fail "the script failed with everything installed: $(cat "$work/out")"
[ ! -s "$work/calls" ] || fail "apt-get was called with everything installed: $(cat "$work/calls")"
echo "ok: install-deps.sh waits out a mirror sync, then installs from the release's verified suite, or gives up and says why"
