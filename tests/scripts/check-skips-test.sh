#!/usr/bin/env bash
# scripts/check-skips.py on a real ctest run: under CI only a skip for what the
# machine cannot do passes; a script's skip for anything else and a GoogleTest skip
# fail the run, and are named with their reasons.
# usage: check-skips-test.sh SOURCE_DIR
set -uo pipefail
source_dir=${1:?source dir}
work=$(mktemp -d /tmp/quorvane-check-skips.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# project NAME TEST...: runs a ctest project whose tests are bash commands, each
# given as KIND:COMMAND, declared as the real tests are: a script that exits 77
# (KIND script), a GoogleTest case that prints its skip (KIND gtest), or plain.
project() {
  local dir=$work/$1 i=0 test; shift
  mkdir -p "$dir"
  {
    echo 'cmake_minimum_required(VERSION 3.25)'
    echo 'project(skips NONE)'
    echo 'enable_testing()'
    for test in "$@"; do
      echo "add_test(NAME case$i COMMAND bash -c [[${test#*:}]])"
      case ${test%%:*} in
        script) echo "set_tests_properties(case$i PROPERTIES SKIP_RETURN_CODE 77)" ;;
        gtest) echo "set_tests_properties(case$i PROPERTIES SKIP_REGULAR_EXPRESSION [=[\\[  SKIPPED \\]]=])" ;;
      esac
      i=$((i + 1))
    done
  } >"$dir/CMakeLists.txt"
  cmake -S "$dir" -B "$dir/build" >/dev/null || fail "cannot configure $dir"
  (cd "$dir/build" && ctest --output-junit results.xml >/dev/null 2>&1) || fail "a test of $1 failed"
}
check() { python3 "$source_dir/scripts/check-skips.py" "$work/$1/build/results.xml"; }

machine=". $source_dir/tests/support/skip.sh; skip_machine 'needs root for mounts'"
here=". $source_dir/tests/support/skip.sh; skip_here 'needs 3 GiB free'"
gtest="printf '[ RUN      ] Large.File\nLargeTest.cpp:71: Skipped\nneeds 3.5 GiB free\n[  SKIPPED ] Large.File\n'"

project allowed "script:$machine" "plain:true"
out=$(check allowed) || fail "a skip for the machine failed the check: $out"

project refused "script:$machine" "script:$here" "gtest:$gtest" "plain:true"
[ "$(grep -c '<skipped' "$work/refused/build/results.xml")" = 3 ] || fail "the project did not skip three tests"
out=$(check refused) && fail "skips for a disk and a GoogleTest skip passed the check"
for said in "case1 skipped" "needs 3 GiB free" "case2 skipped" "needs 3.5 GiB free" "2 tests skipped"; do
  [[ $out == *"$said"* ]] || fail "the check does not say '$said':
$out"
done
[[ $out != *case0* && $out != *case3* ]] || fail "the check names a test that may skip or passed:
$out"
echo "ok: under CI only the machine's skips pass"
