#!/usr/bin/env bash
# scripts/wine-arch.sh: only a kernel that refuses 32-bit programs lets the i686
# tests go unrun; a 32-bit Wine that is missing or broken fails the run and names
# the package.
# usage: wine-arch-test.sh SOURCE_DIR
set -uo pipefail
source_dir=${1:?source dir}
work=$(mktemp -d /tmp/quorvane-wine-arch.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$source_dir/scripts/wine-arch.sh"

# The probe is a 32-bit x86 program, and the kernel either runs it or refuses it.
write_i386_probe "$work/probe"
[ "$(od -An -tu1 -j4 -N1 "$work/probe" | tr -d ' ')" = 1 ] || fail "the probe is no 32-bit ELF file"
[ "$(od -An -tu2 -j18 -N2 "$work/probe" | tr -d ' ')" = 3 ] || fail "the probe is not for the i386"
answer=$(exec_answer "$work/probe")
[[ $answer == runs || $answer == refused ]] || fail "the kernel's answer for the probe is $answer"
# Where the real 32-bit Wine starts, this kernel runs 32-bit programs for certain.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  [ "$answer" = runs ] || fail "the 32-bit Wine starts, yet the probe says the kernel $answer 32-bit programs"
fi

# A program for a machine no kernel runs is refused; a file that is not allowed to
# run, or a program that runs and fails, is no refusal.
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xff\xff' >"$work/alien"
chmod +x "$work/alien"
[ "$(exec_answer "$work/alien")" = refused ] || fail "a program for an unknown machine: $(exec_answer "$work/alien")"
printf '#!/bin/sh\nexit 42\n' >"$work/no-exec"
[[ $(exec_answer "$work/no-exec") == "unknown: "*"Permission denied"* ]] \
  || fail "a file without the right to run: $(exec_answer "$work/no-exec")"
printf '#!/bin/sh\necho broken >&2\nexit 1\n' >"$work/fails" && chmod +x "$work/fails"
[[ $(exec_answer "$work/fails") == "unknown: "*"status 1 (broken)" ]] \
  || fail "a program that fails: $(exec_answer "$work/fails")"

# The 32-bit Wine: missing or broken, it fails and names the package.
printf '#!/bin/sh\necho "wine: could not load ntdll.so" >&2\nexit 1\n' >"$work/broken-wine"
printf '#!/bin/sh\necho wine-8.0\n' >"$work/good-wine"
chmod +x "$work/broken-wine" "$work/good-wine"
for loader in "$work/missing-wine" "$work/broken-wine"; do
  out=$(wine32_loader=$loader check_32bit_wine 2>&1) && fail "$loader passed the check"
  [[ $out == *"install the package wine32:i386"* ]] || fail "the check of $loader does not name the package: $out"
done
[[ $(wine32_loader=$work/broken-wine check_32bit_wine 2>&1) == *"could not load ntdll.so"* ]] \
  || fail "the check does not show what the 32-bit Wine said"
wine32_loader=$work/good-wine check_32bit_wine || fail "a 32-bit Wine that starts failed the check"

# The decision, with the kernel's answer made either way: a refusing kernel skips
# quietly, whatever the Wine; a kernel that runs 32-bit programs with a broken Wine
# ends the calling script with the package's name.
refusing() { write_i386_probe() { cp "$work/alien" "$1" && chmod +x "$1"; }; can_run_32bit "$work"; }
running() { write_i386_probe() { printf '#!/bin/sh\nexit 42\n' >"$1" && chmod +x "$1"; }; can_run_32bit "$work"; }
out=$( (wine32_loader=$work/missing-wine refusing) 2>&1; echo "status $?")
[ "$out" = "status 1" ] || fail "a refusing kernel: $out"
out=$( (wine32_loader=$work/missing-wine running) 2>&1; echo "status $?")
[[ $out == *"install the package wine32:i386"*"status 1" ]] || fail "a running kernel, Wine missing: $out"
out=$( (wine32_loader=$work/good-wine running) 2>&1; echo "status $?")
[ "$out" = "status 0" ] || fail "a running kernel, Wine there: $out"
# A kernel whose answer is unclear is no refusal either.
out=$( (write_i386_probe() { : >"$1"; }; wine32_loader=$work/good-wine can_run_32bit "$work") 2>&1; echo "status $?")
[[ $out == *"cannot tell whether this kernel runs 32-bit programs"*"status 1" ]] || fail "an unclear answer: $out"
echo "ok: a refusing kernel skips, a missing or broken 32-bit Wine fails naming wine32:i386"
