#!/usr/bin/env python3
"""make_texture_pack.py FOLDER: writes FOLDER/textures.vpk, a file pack of
1,000 textures as the game stores them: each a .tth/.ttz pair cut from a VTF
7.1 file of 256x256 DXT5 with its 9 mips (256x256 down to 1x1). The blocks
are drawn from a small set per texture, so the pixel data compresses about as
a real texture's does, and every texture differs."""
import os
import random
import struct
import sys
import zlib

TEXTURES = 1000
SIDE = 256
MIPS = 9
CHUNK = 128  # the .tth holds the 64-byte header and the first pixel bytes


def vtf_file(rng):
    header = struct.pack("<4sIIIHHIHH4x3f4xfiBiBB", b"VTF\0", 7, 1, 64, SIDE, SIDE, 0x2000, 1, 0,
                         0.5, 0.5, 0.5, 1.0, 15, MIPS, 13, 0, 0)
    header = header.ljust(64, b"\0")
    palette = [bytes(rng.getrandbits(8) for _ in range(16)) for _ in range(24)]
    data = bytearray()
    for mip in reversed(range(MIPS)):  # smallest first
        side = max(1, SIDE >> mip)
        blocks = ((side + 3) // 4) ** 2
        data += b"".join(palette[(i * 7 + i // 9) % len(palette)] if i % 5 else palette[rng.randrange(len(palette))]
                         for i in range(blocks))
    return header + bytes(data)


def tth(vtf):
    rest = zlib.compress(vtf[CHUNK:], 9)
    head = b"TTH\0" + struct.pack("<HBBI", 1, MIPS, 0, CHUNK) + struct.pack("<Q", 0x40) * MIPS
    head += struct.pack("<II", len(vtf), len(rest)) + vtf[:CHUNK]
    return head, rest


def main(argv):
    if len(argv) != 2:
        print("usage: make_texture_pack.py FOLDER", file=sys.stderr)
        return 2
    os.makedirs(argv[1], exist_ok=True)
    rng = random.Random(1)
    entries = []
    for i in range(TEXTURES):
        head, rest = tth(vtf_file(rng))
        name = "materials/set%02d/texture%04d" % (i % 20, i)
        entries += [(name + ".tth", head), (name + ".ttz", rest)]
    directory = bytearray()
    offset = 0
    with open(os.path.join(argv[1], "textures.vpk"), "wb") as pack:
        for name, data in entries:
            pack.write(data)
            encoded = name.encode()
            directory += struct.pack("<I", len(encoded)) + encoded + struct.pack("<II", offset, len(data))
            offset += len(data)
        pack.write(directory)
        pack.write(struct.pack("<IIB", len(entries), offset, 0))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
