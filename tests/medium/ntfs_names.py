#!/usr/bin/env python3
"""Folders of files for the NTFS index test, and the search of an image for their names.

  ntfs_names.py make DIR    makes the fixed layouts under DIR and prints, one a line,
                            the folder, a tab and a name to shred in it, in the order
                            to shred them; in the folders for the ends of index blocks
                            the name to shred is not made yet (no line is printed)
  ntfs_names.py block-ends IMAGE
                            prints a line for each of those folders: the folder, a tab
                            and a name that sorts as the last entry of an index block,
                            to be made there next
  ntfs_names.py find IMAGE NAME...
                            prints, for each name, a line: the name, how many times it is
                            on the image whole as UTF-16, how many of its pieces (of 16
                            characters, or the whole of a shorter name) are there, and
                            how many times it is there whole as 8-bit text

The layouts are fixed, names and all (each drawn from a seed of its own), so every run
makes the same folders and the same index blocks. The files to shred are made last:
they are the names no earlier change in their folder has copied, so before the shred
the image holds each exactly twice, in its own record and in its folder's index.
"""
import itertools
import os
import random
import re
import struct
import subprocess
import sys

FILES = (2, 20, 200)      # per folder: the index in the folder's record; one block; many
LENGTHS = (8, 40, 200)    # of every name in the folder
PLACES = ('first', 'middle', 'last')  # where the name to shred sorts among them
# and, in folders of more than one index block, the last name of a block that is not
# the folder's last: the entry whose name NTFS leaves most of when it is removed
BLOCK_END_FOLDERS = ((20, 200), (200, 8), (200, 40), (200, 200))
# and folders of which several files are shredded in the one run: each deletion closes
# up the entries behind it, among them files the run shreds next
# (files, length, shredded, and a seed with which making the folder copies none of the
# names to shred: making a file can split an index block, and that copies names; no
# two alike, or the longer names would hold the shorter ones)
SEVERAL = ((20, 40, 5, 4000), (200, 8, 50, 4004), (200, 40, 10, 4001), (200, 200, 10, 4011))
PIECE = 16                # a piece this long of a random name is nowhere else by chance
ALPHABET = 'abcdefghijklmnopqrstuvwxyz0123456789'


def random_names(rnd, count, length):
    """A set of count different names of the length."""
    names = set()
    while len(names) < count:
        names.add(''.join(rnd.choice(ALPHABET) for _ in range(length)))
    return names


def layouts():
    for index, (files, length, place) in enumerate(itertools.product(FILES, LENGTHS, PLACES)):
        rnd = random.Random(1000 + index)
        names = random_names(rnd, files, length)
        ordered = sorted(names, key=str.upper)
        target = ordered[{'first': 0, 'middle': files // 2, 'last': files - 1}[place]]
        others = [n for n in ordered if n != target]
        rnd.shuffle(others)
        yield f'{files}-files-of-{length}-{place}', others + [target], [target]
    for index, (files, length) in enumerate(BLOCK_END_FOLDERS):
        rnd = random.Random(2000 + index)
        names = random_names(rnd, files - 1, length)
        yield f'{files}-files-of-{length}-block-end', sorted(names), []
    for files, length, shredded, seed in SEVERAL:
        rnd = random.Random(seed)
        names = random_names(rnd, files, length)
        names = sorted(names, key=str.upper)
        rnd.shuffle(names)
        # In the order the program's list shows them, which is the order of the run.
        targets = sorted(names[:shredded], key=str.upper)
        yield f'{files}-files-of-{length}-{shredded}-shredded', names[shredded:] + targets, targets


def make(root):
    for folder, names, targets in layouts():
        os.mkdir(os.path.join(root, folder))
        for name in names:
            with open(os.path.join(root, folder, name), 'w') as f:
                f.write('x')
        for target in targets:
            print(f'{folder}\t{target}')


def read_record(image, volume, number):
    """MFT record `number`, its sector check values undone. The MFT grows in pieces
    wherever there is room: record 0's data runs say where each record is."""
    at = number * 1024
    image.seek(volume['mft'][at // volume['cluster']] * volume['cluster'] + at % volume['cluster'])
    return undo_fixups(image.read(1024) + bytes(1024))[:1024]


def attributes(record):
    at = struct.unpack_from('<H', record, 0x14)[0]
    while at + 8 <= len(record):
        kind, length = struct.unpack_from('<II', record, at)
        if kind == 0xFFFFFFFF or length == 0:
            return
        yield kind, record[at:at + length]
        at += length


def runs(attribute):
    """The clusters of a non-resident attribute, in order."""
    data = attribute[struct.unpack_from('<H', attribute, 0x20)[0]:]
    clusters, at, lcn = [], 0, 0
    while data[at]:
        size, offset = data[at] & 15, data[at] >> 4
        count = int.from_bytes(data[at + 1:at + 1 + size], 'little')
        lcn += int.from_bytes(data[at + 1 + size:at + 1 + size + offset], 'little', signed=True)
        clusters += range(lcn, lcn + count)
        at += 1 + size + offset
    return clusters


def block_names(block):
    """The names in an index block, in order, and whether it is a leaf."""
    header = 0x18
    first, used = struct.unpack_from('<II', block, header)
    names, at = [], header + first
    while at < header + used:
        length, key, flags = struct.unpack_from('<HHH', block, at + 8)
        if flags & 2:
            break
        count = block[at + 16 + 64]
        names.append(block[at + 16 + 66:at + 16 + 66 + 2 * count].decode('utf-16-le'))
        at += length
    return names, not block[header + 12] & 1, header + used


def block_ends(image_path):
    with open(image_path, 'rb') as image:
        boot = image.read(512)
        cluster = struct.unpack_from('<H', boot, 11)[0] * boot[13]
        volume = {'cluster': cluster, 'mft': [struct.unpack_from('<q', boot, 0x30)[0]]}
        volume['mft'] = runs(next(a for kind, a in attributes(read_record(image, volume, 0)) if kind == 0x80))
        for index, (files, length) in enumerate(BLOCK_END_FOLDERS):
            folder = f'{files}-files-of-{length}-block-end'
            number = int(subprocess.run(['ifind', '-n', '/' + folder, image_path], capture_output=True, text=True,
                                        check=True).stdout)
            allocation = next(a for kind, a in attributes(read_record(image, volume, number)) if kind == 0xA0)
            every = []
            leaves = []
            clusters = runs(allocation)
            for at in range(0, len(clusters) * cluster, 4096):
                image.seek(clusters[at // cluster] * cluster)
                block = undo_fixups(image.read(4096))
                if block[:4] != b'INDX':
                    continue
                names, leaf, used = block_names(block)
                every += names
                if leaf and names and used + 16 + 66 + 2 * length + 8 <= 4096 - 24:
                    leaves.append(names[-1])
            every.sort(key=str.upper)
            # The last name of the first leaf, in sorted order, that has room for one more
            # entry: the new name sorts between it and the next name, the one above it.
            rnd = random.Random(3000 + index)
            for last in sorted(leaves, key=str.upper):
                following = every[every.index(last) + 1:]
                name = following and between(last, following[0], length, rnd)
                if name:
                    print(f'{folder}\t{name}')
                    break
            else:
                sys.exit(f'no block in {folder} ends where a name fits')


def between(low, high, length, rnd):
    """A random name of `length` that sorts after `low` and before `high`, or nothing."""
    shared = 0
    while low[shared].upper() == high[shared].upper():
        shared += 1
    for at, above, below in ((shared, low[shared], high[shared]), (shared + 1, low[shared + 1], '~')):
        choices = [c for c in ALPHABET if above.upper() < c.upper() < below.upper()]
        if choices:
            name = low[:at] + rnd.choice(choices)
            return name + ''.join(rnd.choice(ALPHABET) for _ in range(length - len(name)))
    return None


def undo_fixups(data):
    """The image as a reader of its records sees it: NTFS replaces the last two bytes of
    every 512-byte sector of an MFT record or index block with a check value, which
    would break a name that spans the sector's end."""
    buf = bytearray(data)
    for at in range(0, len(buf) - 1024, 512):
        if buf[at:at + 4] not in (b'FILE', b'INDX'):
            continue
        offset, count = struct.unpack_from('<HH', buf, at + 4)
        if not 2 <= count <= 17 or offset + 2 * count > 512 or at + (count - 1) * 512 > len(buf):
            continue
        check = buf[at + offset:at + offset + 2]
        if any(buf[at + i * 512 - 2:at + i * 512] != check for i in range(1, count)):
            continue
        for i in range(1, count):
            buf[at + i * 512 - 2:at + i * 512] = buf[at + offset + 2 * i:at + offset + 2 * i + 2]
    return bytes(buf)


def find(image, names):
    raw = open(image, 'rb').read()
    fixed = undo_fixups(raw)
    # Every run of printable UTF-16 on the image, upper-cased as NTFS compares names.
    text = '\n'.join(m.group().decode('utf-16-le') for m in re.finditer(rb'(?:[\x20-\x7e]\x00){4,}', fixed)).upper()
    for name in names:
        upper = name.upper()
        pieces = {upper[i:i + PIECE] for i in range(max(1, len(upper) - PIECE + 1))}
        print(name, text.count(upper), sum(1 for piece in pieces if piece in text), raw.count(name.encode()))


if __name__ == '__main__':
    if len(sys.argv) == 3 and sys.argv[1] == 'make':
        make(sys.argv[2])
    elif len(sys.argv) == 3 and sys.argv[1] == 'block-ends':
        block_ends(sys.argv[2])
    elif len(sys.argv) >= 3 and sys.argv[1] == 'find':
        find(sys.argv[2], sys.argv[3:])
    else:
        sys.exit(__doc__)
