#!/usr/bin/env bash
# Creates and prepares a private Wine prefix for tests: no window-manager delays,
# no crash debugger, and the font names the windows ask for.
# usage: wine-prefix.sh PREFIX win32|win64
set -euo pipefail
prefix=$(realpath -m "$1") arch=$2

# Drive M: is a tmpfs, whose free space differs from C:'s, for tests that must
# tell two drives apart. Made on every call, so that older prefixes get it too.
map_test_drives() {
  [ -d /dev/shm ] && ln -sfn /dev/shm "$prefix/dosdevices/m:"
  return 0
}
if [ -f "$prefix/.quorvane-ready" ]; then map_test_drives; exit 0; fi
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
loader=/usr/lib/wine/wine
[ "$arch" = win64 ] && loader=/usr/lib/wine/wine64
# Without address randomisation, as the tests run Wine: see cmake/wine-run.in.
setarch "$(uname -m)" -R "$loader" wineboot -i >/dev/null 2>&1
reg="$prefix/drive_c/quorvane-test.reg"
{
  printf 'REGEDIT4\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"OCR A Extended"="OCRA"\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\r\n"Debugger"=""\r\n"Auto"="0"\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\r\n"Debugger"=""\r\n"Auto"="0"\r\n\r\n'
} >"$reg"
setarch "$(uname -m)" -R "$loader" regedit /S 'C:\quorvane-test.reg' >/dev/null 2>&1
wineserver -w
# A network share for tests of UNC paths: \\quorvane\share is C:\unc-share.
mkdir -p "$prefix/drive_c/unc-share" "$prefix/dosdevices/unc/quorvane"
ln -sfn ../../../drive_c/unc-share "$prefix/dosdevices/unc/quorvane/share"
map_test_drives
touch "$prefix/.quorvane-ready"
