#!/usr/bin/env python3
"""make_bench_pack.py [--pack-only] FOLDER: writes FOLDER/bench.vpk (20,000
entries, 256 MiB of entry data, laid out as the game's packs) and, unless
--pack-only, FOLDER/tree/, the same entries as plain files, for building the
tar the bench compares with."""
import argparse
import os
import struct
import sys

ENTRIES = 20000
TOTAL = 256 * 1024 * 1024
TYPES = ["vmt", "ttz", "tth", "mdl", "dlg", "lip", "txt", "py"]


def main(argv):
    parser = argparse.ArgumentParser(prog="make_bench_pack.py", description=__doc__)
    parser.add_argument("folder", metavar="FOLDER", help="where bench.vpk and tree/ are written")
    parser.add_argument("--pack-only", action="store_true", help="write bench.vpk only, no tree/")
    args = parser.parse_args(argv[1:])
    root = args.folder
    tree = None if args.pack_only else os.path.join(root, "tree")
    os.makedirs(tree or root, exist_ok=True)
    # Sizes vary from about 1 KiB to 26 KiB; the last entry takes what is left.
    average = TOTAL // ENTRIES
    sizes = [average // 12 + (i * 7919) % (average * 11 // 6) for i in range(ENTRIES - 1)]
    sizes.append(TOTAL - sum(sizes))
    assert sizes[-1] > 0
    source = os.urandom(1024 * 1024 + 64 * 1024)
    directory = bytearray()
    offset = 0
    made = set()
    with open(os.path.join(root, "bench.vpk"), "wb") as pack:
        for i, size in enumerate(sizes):
            folder = "materials/set %02d/group%03d" % (i % 37, i % 211)
            name = "%s/entry%05d.%s" % (folder, i, TYPES[i % len(TYPES)])
            start = (i * 4099) % (len(source) - 64 * 1024)
            chunks = []
            left = size
            while left > 0:
                piece = source[start:start + min(left, 1024 * 1024)]
                chunks.append(piece)
                left -= len(piece)
            data = b"".join(chunks)
            pack.write(data)
            if tree is not None:
                if folder not in made:
                    os.makedirs(os.path.join(tree, folder), exist_ok=True)
                    made.add(folder)
                with open(os.path.join(tree, name), "wb") as out:
                    out.write(data)
            raw = name.encode("ascii")
            directory += struct.pack("<I", len(raw)) + raw + struct.pack("<II", offset, size)
            offset += size
        pack.write(directory)
        pack.write(struct.pack("<IIB", ENTRIES, offset, 0))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
