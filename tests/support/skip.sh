# Sourced by the shell tests: how a test says it cannot run, and what it needs.
# Only what no install can bring is a reason to skip: no root, no loop devices, no
# FUSE device, a kernel that runs no 32-bit programs. Such a skip says so with
# skip_machine; scripts/test.sh lets no other skip pass under CI (CI=true).

# skip_machine REASON: this machine cannot do what the test needs.
skip_machine() { echo "SKIP (machine): $*"; exit 77; }

# skip_here REASON: any other reason not to run (too little free disk, ...): a
# skip by hand, a failure of the run under CI.
skip_here() { echo "SKIP: $*"; exit 77; }

# need_tools PACKAGE TOOL...: fails, naming the package, unless every TOOL is there.
# After the install step a missing tool is a broken install, not a machine's limit.
need_tools() {
  local package=$1 tool; shift
  for tool in "$@"; do
    command -v "$tool" >/dev/null && continue
    echo "FAIL: $tool is missing: install the package $package (scripts/install-deps.sh installs it)" >&2
    exit 1
  done
}
