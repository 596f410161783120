#!/usr/bin/env python3
"""Fails when a test skipped for anything but what the machine cannot do.

usage: check-skips.py JUNIT_XML   (the file `ctest --output-junit` wrote)

A skip is a fact about the machine only when no install can change it: no root, no
loop devices, no FUSE device, a kernel that runs no 32-bit programs. Such a test says
so in a line of its output that starts with "SKIP (machine): ". Every other skip (a
missing tool, too little free disk, a GTEST_SKIP) is listed, with the lines that say
why, and the exit status is 1. The check reads ctest's own record of the run, so it
holds for every test however it skipped: a script's exit code 77 or GoogleTest's
"[  SKIPPED ]".
"""
import sys
import xml.etree.ElementTree as ElementTree

MACHINE = "SKIP (machine): "


def reasons(output):
    """The lines of a test's output that say why it skipped."""
    lines = [line.strip() for line in output.splitlines()]
    said = [line for line in lines if line.startswith("SKIP") or "Skipped" in line]
    # GoogleTest prints the message on the lines after "file:line: Skipped".
    for index, line in enumerate(lines):
        if line.endswith(": Skipped") and index + 1 < len(lines):
            said.append(lines[index + 1])
    return said or ["(the test printed no reason)"]


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    cases = ElementTree.parse(argv[1]).getroot().iter("testcase")
    refused = []
    for case in cases:
        if case.find("skipped") is None:
            continue
        output = case.findtext("system-out") or ""
        if any(line.strip().startswith(MACHINE) for line in output.splitlines()):
            continue
        refused.append((case.get("name"), reasons(output)))
    for name, said in refused:
        print(f"FAIL: {name} skipped, and a skip under CI is only for what the machine cannot do:")
        for line in said:
            print(f"    {line}")
    if refused:
        print(f"FAIL: {len(refused)} tests skipped for a reason an install or the machine's set-up can mend")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
