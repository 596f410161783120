#!/usr/bin/env python3
"""Packs one release zip: Quorvane.exe, README.txt, LICENSE.txt and NOTICE.txt.

The zip's bytes depend only on its inputs and on SOURCE_DATE_EPOCH: entries in a
fixed order, each with the same time (the commit's), fixed attributes and fixed
compression, so that anyone who rebuilds the commit gets the same file and can
compare its checksum with ours.

README.txt is made from README.md at packing time, so that what a Windows user
reads is what the project's README says: its introduction, "Using Quorvane" and
"What overwriting in place cannot reach", as plain text with CRLF line ends
(Notepad). The set-up on Linux and the building are left out.
"""

import argparse
import os
import re
import subprocess
import sys
import textwrap
import time
import zipfile

WIDTH = 78
# The sections of README.md that a user of the program needs, with their subsections.
USER_SECTIONS = ("Using Quorvane", "What overwriting in place cannot reach")
# Zip times cannot go before 1980.
DOS_EPOCH = 315532800


def source_date_epoch(source):
    """The commit's time: SOURCE_DATE_EPOCH when set, else the last commit's."""
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "-C", source, "log", "-1", "--format=%ct"],
                             check=True, capture_output=True, text=True).stdout
        return int(out.strip())
    except (OSError, subprocess.CalledProcessError, ValueError):
        print("make-package: no SOURCE_DATE_EPOCH and no git history; dating the "
              "entries 1980-01-01", file=sys.stderr)
        return DOS_EPOCH


def sections(markdown):
    """Splits README.md into (level, title, lines) by its headings; level 0 is the
    text before the first heading."""
    result = [(0, "", [])]
    fenced = False
    for line in markdown.splitlines():
        if line.startswith("```"):
            fenced = not fenced
        heading = None if fenced else re.match(r"^(#{1,6})\s+(.*?)\s*#*\s*$", line)
        if heading:
            result.append((len(heading.group(1)), heading.group(2), []))
        else:
            result[-1][2].append(line)
    return result


def pick(all_sections, titles):
    """The sections with the given titles, each with its subsections, in README order."""
    picked, found = [], set()
    until_level = None
    for level, title, lines in all_sections:
        if until_level is not None and level > until_level:
            found.add(title)
            picked.append((level, title, lines))
            continue
        until_level = None
        if title in titles:
            found.add(title)
            until_level = level
            picked.append((level, title, lines))
    missing = [t for t in titles if t not in found]
    if missing:
        sys.exit("make-package: README.md has no section " + ", ".join(repr(t) for t in missing))
    return picked


def inline(text):
    """Markdown inline markup to plain text."""
    text = re.sub(r"\[([^\]]+)\]\(([^)]+)\)", r"\1 (\2)", text)
    text = re.sub(r"`([^`]*)`", r"\1", text)
    text = re.sub(r"(\*\*|__)(.+?)\1", r"\2", text)
    text = re.sub(r"(?<![\w*])\*(?!\s)(.+?)(?<!\s)\*(?![\w*])", r"\1", text)
    return text


def blocks(lines):
    """Paragraphs, list items (with their depth) and code lines of a section body."""
    out, current = [], None
    for line in lines + [""]:
        item = re.match(r"^(\s*)[-*+]\s+(.*)$", line)
        if not line.strip():
            if current:
                out.append(current)
            current = None
        elif item:
            if current:
                out.append(current)
            current = ("item", len(item.group(1)) // 2, [item.group(2).strip()])
        elif current is None and line.startswith("    "):
            out.append(("code", 0, [line[4:]]))
        elif current is None:
            current = ("para", 0, [line.strip()])
        else:
            current[2].append(line.strip())
    return out


def heading(title, level):
    rule = "=" if level <= 2 else "-"
    return [title, rule * len(title)]


def plain_text(level, title, lines):
    text = []
    if title:
        text += heading(inline(title), level) + [""]
    for kind, depth, words in blocks(lines):
        body = inline(" ".join(words))
        if kind == "code":
            text.append("    " + body)
            continue
        if kind == "item":
            indent = "  " * depth
            text += textwrap.wrap(body, WIDTH, initial_indent=indent + "- ",
                                  subsequent_indent=indent + "  ", break_on_hyphens=False)
        else:
            text += textwrap.wrap(body, WIDTH, break_on_hyphens=False)
        text.append("")
    return text


def readme_txt(markdown, version):
    all_sections = sections(markdown)
    intro = next((s for s in all_sections if s[0] == 1), None)
    if intro is None:
        sys.exit("make-package: README.md has no title")
    text = heading(f"Quorvane {version}", 1) + [""]
    text += plain_text(0, "", intro[2])
    for section in pick(all_sections, USER_SECTIONS):
        text += plain_text(*section)
    text += heading("License", 2) + [""]
    text += textwrap.wrap("Quorvane is free software under the MIT License: see LICENSE.txt. "
                          "NOTICE.txt lists the parts of other projects that Quorvane.exe "
                          "holds, and their terms.", WIDTH)
    while text and not text[-1]:
        text.pop()
    return "\r\n".join(text) + "\r\n"


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def write_zip(path, entries, epoch):
    stamp = time.gmtime(max(epoch, DOS_EPOCH))[:6]
    temporary = path + ".part"
    with zipfile.ZipFile(temporary, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            # MS-DOS attributes (archive) as Windows' own zipper writes them: no Unix
            # mode bits, which would come from the builder's umask.
            info.create_system = 0
            info.external_attr = 0x20
            archive.writestr(info, data, compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", required=True, help="the source tree (README.md, LICENSE, NOTICE)")
    parser.add_argument("--exe", required=True, help="the Quorvane.exe to pack")
    parser.add_argument("--version", required=True)
    parser.add_argument("--output", required=True, help="the zip to write")
    args = parser.parse_args()

    def read(name):
        with open(os.path.join(args.source, name), encoding="utf-8") as f:
            return f.read()

    with open(args.exe, "rb") as f:
        exe = f.read()
    entries = [
        ("Quorvane.exe", exe),
        ("README.txt", readme_txt(read("README.md"), args.version).encode("utf-8")),
        ("LICENSE.txt", crlf(read("LICENSE")).encode("utf-8")),
        ("NOTICE.txt", crlf(read("NOTICE")).encode("utf-8")),
    ]
    write_zip(args.output, entries, source_date_epoch(args.source))


if __name__ == "__main__":
    main()
