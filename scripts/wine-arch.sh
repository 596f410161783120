# Sourced: tells whether the 32-bit build's tests can run here, and if not, whether
# that is a fact about the machine or a fault of the install.
#
# The 32-bit Wine loader is a 32-bit Linux program. A kernel built or booted without
# IA-32 emulation refuses every such program (execve fails with ENOEXEC, "Exec format
# error"); no install can change that. Anything else that keeps the loader from
# starting (the package missing, half installed, a library of it missing) is mended
# by installing it, so it must fail the run, not skip it. The two are told apart
# without Wine: by a 32-bit program of a few bytes, made here and run.

cannot_run_32bit_reason="this kernel runs no 32-bit programs (IA-32 emulation is off), so the 32-bit Wine cannot start; the i686 build was built but its tests did not run (the x86_64 build of the same sources ran them)"
wine32_loader=${QUORVANE_WINE32_LOADER:-/usr/lib/wine/wine}
wine32_package=wine32:i386

# write_i386_probe FILE: a static i386 ELF program that only exits with status 42
# (one program header loading the file itself; code: exit(42) through int 0x80).
write_i386_probe() {
  local header program code
  # ELF header: 32-bit, little-endian, executable, EM_386, entry 0x08048054.
  header='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  header+='\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
  header+='\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
  # PT_LOAD of the first 96 bytes at 0x08048000, readable and executable.
  program='\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  program+='\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  # mov eax, 1 (exit); mov ebx, 42; int 0x80
  code='\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'
  printf "$header$program$code" >"$1" && chmod +x "$1"
}

# exec_answer FILE: how the kernel answers a request to run FILE, which exits 42
# when it runs: "runs", "refused" (ENOEXEC) or "unknown: <what happened>".
exec_answer() {
  local out status
  # The program runs in a subshell of its own, so that bash's own message on a
  # refused exec is caught too.
  out=$( ("$1") 2>&1) && status=0 || status=$?
  if [ "$status" -eq 42 ]; then
    echo runs
  elif [ "$status" -eq 126 ] && [[ $out == *"Exec format error"* ]]; then
    echo refused
  else
    echo "unknown: running $1 gave status $status${out:+ ($out)}"
  fi
}

# kernel_32bit_answer DIR: the kernel's answer ("runs", "refused" or "unknown: ...")
# for a 32-bit program made in DIR (a folder that allows running programs).
kernel_32bit_answer() {
  local probe
  probe=$(mktemp "$1/i386-probe.XXXXXX") || { echo "unknown: cannot make a file in $1"; return 0; }
  write_i386_probe "$probe" && exec_answer "$probe"
  rm -f "$probe"
}

# check_32bit_wine: succeeds when the 32-bit Wine starts; otherwise says what it did
# and which package to install, and fails.
check_32bit_wine() {
  local out
  if out=$("$wine32_loader" --version 2>&1); then return 0; fi
  echo "ERROR: this kernel runs 32-bit programs, but the 32-bit Wine ($wine32_loader) does not start: ${out:-no output}" >&2
  echo "ERROR: install the package $wine32_package (scripts/install-deps.sh installs it)" >&2
  return 1
}

# can_run_32bit DIR: true where the 32-bit build's tests can run, false (quietly)
# where the kernel refuses 32-bit programs. Where the kernel runs them but the
# 32-bit Wine does not start, or the kernel's answer is unclear, it says so and
# exits the calling script.
can_run_32bit() {
  local answer
  answer=$(kernel_32bit_answer "$1")
  case $answer in
    runs) check_32bit_wine || exit 1 ;;
    refused) return 1 ;;
    *)
      echo "ERROR: cannot tell whether this kernel runs 32-bit programs: ${answer#unknown: }" >&2
      exit 1
      ;;
  esac
}
