# Sourced: can_run_32bit tells whether this machine runs 32-bit Linux programs, which
# the 32-bit Wine loader is. Kernels built or booted without IA-32 emulation refuse
# them (execve fails with ENOEXEC), and then no 32-bit Windows program runs either.
cannot_run_32bit_reason="this kernel runs no 32-bit programs (IA-32 emulation is off), so the 32-bit Wine cannot start; the i686 build was built but its tests did not run (the x86_64 build of the same sources ran them)"
can_run_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}
