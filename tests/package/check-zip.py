#!/usr/bin/env python3
"""Checks a release zip as a Windows user gets it.

usage: check-zip.py ZIP SOURCE_DIR [EXE]
Checks the entries (names, order, times, attributes), README.txt (for Windows
users: CRLF, the sections on use, no Linux set-up), LICENSE.txt (MIT, the About
box's copyright line), NOTICE.txt, and Quorvane.exe (a PE file for the zip's
architecture, no link time stamp, the project's version; the same bytes as EXE).
Prints every fault and exits 1 when there is one.
"""

import os
import re
import struct
import sys
import time
import zipfile

ENTRIES = ["Quorvane.exe", "README.txt", "LICENSE.txt", "NOTICE.txt"]
MACHINES = {"win32": 0x14C, "win64": 0x8664}
faults = []


def expect(condition, fault):
    if not condition:
        faults.append(fault)


def project_version(source):
    with open(os.path.join(source, "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"project\(Quorvane VERSION (\S+)", f.read()).group(1)


def maker_copyright(source):
    with open(os.path.join(source, "ui", "Maker.h"), encoding="utf-8") as f:
        return re.search(r'kCopyright\[\] = "([^"]*)"', f.read()).group(1)


def check_entries(archive, platform, version):
    infos = archive.infolist()
    expect([i.filename for i in infos] == ENTRIES,
           f"entries are {[i.filename for i in infos]}, not {ENTRIES}")
    stamps = {i.date_time for i in infos}
    expect(len(stamps) == 1, f"entries have different times: {sorted(stamps)}")
    if os.environ.get("SOURCE_DATE_EPOCH"):
        want = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
        want = want[:5] + (want[5] // 2 * 2,)  # zip times count in steps of two seconds
        expect(stamps == {want}, f"entries are dated {sorted(stamps)}, not SOURCE_DATE_EPOCH {want}")
    for info in infos:
        expect(info.create_system == 0 and info.external_attr == 0x20,
               f"{info.filename} carries the builder's file mode ({info.create_system}, {info.external_attr:#x})")
        expect(not info.extra, f"{info.filename} has extra fields (times, owners): {info.extra!r}")


def check_text(name, data):
    text = data.decode("utf-8")
    expect("\n" not in text.replace("\r\n", ""), f"{name} has line ends other than CRLF")
    return text.replace("\r\n", "\n")


def check_readme(text, version):
    expect(text.startswith(f"Quorvane {version}\n"), "README.txt does not start with the name and version")
    for heading in ("Using Quorvane", "What overwriting in place cannot reach"):
        expect(re.search(rf"^{re.escape(heading)}\n[=-]+\n", text, re.M) is not None,
               f"README.txt has no section {heading!r}")
    expect("Shred NOW!" in text, "README.txt does not say how to shred")
    for linux in ("./scripts", "apt-get", "cmake", "Debian", "Xvfb", "toolchain"):
        expect(linux not in text, f"README.txt speaks of the Linux set-up ({linux!r})")
    for markup in ("**", "`", "## "):
        expect(markup not in text, f"README.txt holds Markdown ({markup!r})")
    expect(all(len(line) <= 78 for line in text.splitlines()), "README.txt has lines over 78 characters")


def check_license(text, source):
    expect(text.startswith("MIT License\n"), "LICENSE.txt is not the MIT License")
    expect(f"\n{maker_copyright(source)}\n" in text, "LICENSE.txt lacks the About box's copyright line")
    expect("Permission is hereby granted, free of charge" in text, "LICENSE.txt lacks the MIT terms")


def check_notice(text):
    for part in ("OCR-A", "GCC RUNTIME LIBRARY EXCEPTION", "libstdc++", "libgcc", "mingw-w64", "winpthreads"):
        expect(part in text, f"NOTICE.txt does not name {part}")


def check_exe(exe, platform, version, built):
    expect(exe[:2] == b"MZ", "Quorvane.exe is not a Windows program")
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    expect(exe[pe:pe + 4] == b"PE\0\0", "Quorvane.exe has no PE header")
    machine, _, stamp = struct.unpack_from("<HHI", exe, pe + 4)
    expect(machine == MACHINES[platform], f"Quorvane.exe is for machine {machine:#x}, not {platform}")
    expect(stamp == 0, f"Quorvane.exe carries a link time stamp ({stamp})")
    expect(f"ProductVersion\0".encode("utf-16-le") in exe and f"{version}\0".encode("utf-16-le") in exe,
           f"Quorvane.exe's version resource does not say {version}")
    if built is not None:
        with open(built, "rb") as f:
            expect(f.read() == exe, f"Quorvane.exe in the zip is not {built}")


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    path, source = sys.argv[1], sys.argv[2]
    built = sys.argv[3] if len(sys.argv) == 4 else None
    version = project_version(source)
    match = re.fullmatch(r"Quorvane-(.+)-(win32|win64)\.zip", os.path.basename(path))
    expect(match is not None and match.group(1) == version,
           f"{os.path.basename(path)} is not named Quorvane-{version}-win32.zip or -win64.zip")
    platform = match.group(2) if match else "win64"
    with zipfile.ZipFile(path) as archive:
        check_entries(archive, platform, version)
        names = archive.namelist()
        if "README.txt" in names:
            check_readme(check_text("README.txt", archive.read("README.txt")), version)
        if "LICENSE.txt" in names:
            check_license(check_text("LICENSE.txt", archive.read("LICENSE.txt")), source)
        if "NOTICE.txt" in names:
            check_notice(check_text("NOTICE.txt", archive.read("NOTICE.txt")))
        if "Quorvane.exe" in names:
            check_exe(archive.read("Quorvane.exe"), platform, version, built)
    for fault in faults:
        print(f"{os.path.basename(path)}: {fault}")
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
