#!/usr/bin/env python3
"""Writes a demo installation of the game for trying Tessaro out.

    python3 tools/make_demo.py FOLDER

FOLDER receives a placeholder "vampire.exe" and a "Vampire" folder with packs
laid out as the game's own: the entries' bytes from offset 0, then the
directory (name length, name without terminator, data offset, data size), then
the 9-byte footer (entry count, directory offset, pack type).

  pack000.vpk  dialogue (.dlg), lip sync (.lip) and data tables (.txt)
  pack001.vpk  materials (.vmt, .tth, .ttz) and models (.mdl)
  pack002.vpk  scripts (.py) and settings (.txt)
  pack003.vpk  a directory pack: folders only
  pack004.vpk  an empty pack: nine zero bytes

With --entries DIR, each file pack's entries are also written as plain files
below DIR/packNNN.vpk/, for checking an extraction against the bytes put in.

The output is the same on every run. Text is ANSI (Windows-1252) with CRLF
line ends, as the game's own text files are.
"""
import argparse
import os
import struct
import sys
import zlib

ANSI = "cp1252"


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode(ANSI)


def pack_bytes(entries, pack_type=0):
    """entries: list of (name, bytes). Returns the whole pack."""
    data = bytearray()
    directory = bytearray()
    for name, payload in entries:
        raw_name = name.encode(ANSI)
        directory += struct.pack("<I", len(raw_name)) + raw_name
        directory += struct.pack("<II", len(data), len(payload))
        data += payload
    directory_offset = len(data)
    return bytes(data + directory + struct.pack("<IIB", len(entries), directory_offset, pack_type))


# Lines of dialogue: (speaker's line, reply options).
DIALOGUE = {
    "dlg/hollywood/velvet.dlg": [
        ("Ah, a new face at the club. Care for a dance, darling?", ["Maybe later.", "Who are you?"]),
        ("They call me Velvet. Everyone who matters comes through here.", ["I need information."]),
        ("Information costs. Everything in Hollywood does, sweetie.", ["Name your price.", "Forget it."]),
    ],
    "dlg/hollywood/dealer.dlg": [
        ("You buyin' or just window shoppin'?", ["Show me what you've got.", "Just looking."]),
        ("Café crème, Señor? No? Then what do you want?", ["Ammunition.", "Nothing."]),
    ],
    "dlg/main characters/archivist.dlg": [
        ("The séance is over. You may speak, fledgling.", ["What did you see?", "Goodbye."]),
        ("The façade of the Camarilla hides older things than you know.", ["Tell me more."]),
        ("Not tonight. Return when the moon is naïve no longer.", ["I will."]),
    ],
    "dlg/main characters/fixer.dlg": [
        ("Kid, you look like you've seen a ghost. Déjà vu?", ["Something like that."]),
        ("Listen: the package goes to the warehouse by dawn.", ["Consider it done.", "Why me?"]),
    ],
    "dlg/santa monica/surfer.dlg": [
        ("Whoa, dude, the pier's, like, totally haunted.", ["Haunted how?", "Sure it is."]),
        ("Lights in the water, man. Crème brûlée colored lights.", ["I'll check it out."]),
    ],
    "dlg/downtown/bartender.dlg": [
        ("Last call was an hour ago. What'll it be?", ["Whiskey.", "Just talk."]),
        ("Talk's cheap. Drinks ain't. Pick one.", ["Whiskey, then."]),
    ],
}


def dialogue_file(script):
    lines = []
    number = 1
    for text, replies in script:
        lines.append("{ %d }{ %s }{ %s }{ }{ }{ }{ }{ }{ }{ }{ }{ }" % (number, text, text))
        number += 1
        for reply in replies:
            lines.append("{ %d }{ %s }{ %s }{ %d }{ }{ }{ }{ }{ }{ }{ }{ }" % (number, reply, reply, number + 1))
            number += 1
    return crlf(lines)


def lip_file(seed, frames):
    # Phoneme key frames: a time and a mouth shape per line.
    lines = ["VERSION 1.0", "PHONEMES %d" % frames]
    for i in range(frames):
        lines.append("%.3f\t%d\t%.2f" % (i * 0.085, (seed * 7 + i * 13) % 42, ((seed + i) % 10) / 10.0))
    return crlf(lines)


def table_file(title, rows):
    lines = ["// " + title, "// name\tvalue\tcomment"]
    lines += ["%s\t%d\t%s" % row for row in rows]
    return crlf(lines)


def material_file(base_texture, surface):
    return crlf([
        '"VertexLitGeneric"',
        "{",
        '\t"$basetexture" "%s"' % base_texture,
        '\t"$surfaceprop" "%s"' % surface,
        '\t"$model" "1"',
        "}",
    ])


def texture_vtf(width, height, seed):
    """A VTF 7.1 file of one BGRA8888 image: coloured rings on a disc that
    fades to transparent towards the corners, a bright cross through the
    middle."""
    header = b"VTF\x00" + struct.pack("<III", 7, 1, 64)
    header += struct.pack("<HHIHH", width, height, 0, 1, 0) + bytes(4)
    header += struct.pack("<fff", 0.5, 0.5, 0.5) + bytes(4) + struct.pack("<fiBiBB", 1.0, 12, 1, 13, 0, 0)
    header = header.ljust(64, b"\x00")
    palette = [(200, 30, 30), (230, 180, 40), (60, 120, 220), (40, 180, 90)]
    pixels = bytearray()
    cx, cy = (width - 1) / 2.0, (height - 1) / 2.0
    for y in range(height):
        for x in range(width):
            dx, dy = (x - cx) / (width / 2.0), (y - cy) / (height / 2.0)
            distance = (dx * dx + dy * dy) ** 0.5
            r, g, b = palette[(int(distance * 8) + seed) % len(palette)]
            if abs(x - cx) < width / 32.0 or abs(y - cy) < height / 32.0:
                r, g, b = 240, 240, 240
            alpha = 255 if distance < 0.7 else max(0, int(255 * (1.0 - (distance - 0.7) / 0.6)))
            pixels += bytes((b, g, r, alpha))
    return header + bytes(pixels)


def texture_pair(width, height, seed):
    """The .tth and .ttz the game cuts a VTF file into: the header and the
    file's first bytes, then the rest as one zlib stream."""
    vtf = texture_vtf(width, height, seed)
    chunk = 64 + 256  # the header and the first pixels, as the game's own files hold
    body = zlib.compress(vtf[chunk:], 9)
    tth = b"TTH\x00" + struct.pack("<HBBI", 1, 1, 0, chunk) + struct.pack("<Q", 0x40)
    tth += struct.pack("<II", len(vtf), len(body)) + vtf[:chunk]
    return tth, body


def model_file(name, bones):
    header = b"IDST" + struct.pack("<I", 37) + name.encode(ANSI).ljust(64, b"\x00")
    body = b"".join(struct.pack("<Ifff", i, i * 1.5, -i * 0.25, 3.0) for i in range(bones))
    return header + struct.pack("<I", len(header) + 8 + len(body)) + struct.pack("<I", bones) + body


def python_file(module, body):
    lines = ["# %s: level script" % module, "import __main__", "from __main__ import Character, FindEntityByName", ""]
    return crlf(lines + body)


def file_pack_0():
    entries = []
    for name, script in DIALOGUE.items():
        entries.append((name, dialogue_file(script)))
    for seed, (name, _) in enumerate(DIALOGUE.items()):
        character = name.split("/")[-1].rsplit(".", 1)[0]
        folder = name.split("/")[1]
        for line in range(1, 4):
            entries.append(("sound/character/dlg/%s/%s/line%d_col_e.lip" % (folder, character, line),
                            lip_file(seed * 10 + line, 12 + line * 4)))
    entries.append(("vdata/system/strings.txt", table_file("strings", [
        ("MenuNewGame", 1, "Nouvelle partie / Neues Spiel"),
        ("MenuLoad", 2, "Chargé"),
        ("MenuQuit", 3, "Beenden – quit"),
    ])))
    entries.append(("vdata/hackterminals/clinic_pc.txt", table_file("clinic terminal", [
        ("login", 0, "dr_mcfly"), ("password", 0, "señorita"), ("email", 1, "Re: blood bank inventory"),
    ])))
    entries.append(("vdata/system/infobartypes.txt", table_file("info bar", [
        ("quest", 1, "journal entry"), ("xp", 2, "experience"), ("money", 3, "dollars"),
    ])))
    return entries


def file_pack_1():
    entries = []
    textures = [
        ("materials/models/character/pc/male/brujah/brujah_body", 256, 256, "flesh"),
        ("materials/models/character/pc/female/toreador/toreador_dress", 256, 128, "cloth"),
        ("materials/models/weapons/melee/katana/katana", 128, 128, "metal"),
        ("materials/hollywood/asylum/wall_brick 01", 128, 256, "brick"),
    ]
    for seed, (base, width, height, surface) in enumerate(textures):
        entries.append((base + ".vmt", material_file(base.split("/", 1)[1], surface)))
        tth, ttz = texture_pair(width, height, seed)
        entries.append((base + ".tth", tth))
        entries.append((base + ".ttz", ttz))
    for bones, model in enumerate(["models/character/pc/male/brujah/brujah.mdl",
                                   "models/character/npc/unique/hollywood/velvet/velvet.mdl",
                                   "models/weapons/katana/katana.mdl"], start=3):
        entries.append((model, model_file(model, bones * 4)))
    return entries


def file_pack_2():
    return [
        ("python/hollywood/hollywood.py", python_file("hollywood", [
            "def velvetDialog():",
            "    velvet = FindEntityByName(\"velvet\")",
            "    if velvet:",
            "        velvet.SetRelationship(\"player D_LI 5\")",
            "",
        ])),
        ("python/santamonica/santamonica.py", python_file("santamonica", [
            "def pierLights(state):",
            "    # Le café on the pier closes at dawn.",
            "    __main__.G.Pier_Lights = state",
            "",
        ])),
        ("python/vamputil.py", python_file("vamputil", [
            "def giveXP(amount):",
            "    __main__.FindPlayer().AwardExperience(amount)",
            "",
        ])),
        ("scripts/game_sounds.txt", crlf(['"Weapon_Katana.Swing"', "{", '\t"wave" "weapons/katana/swing.wav"', "}"])),
        ("cfg/autoexec.cfg", crlf(["// Réglages de démonstration", "bind F5 quicksave", "bind F9 quickload"])),
    ]


DIRECTORY_PACK = [
    "maps",
    "maps/graphs",
    "save",
    "sound/character/dlg",
    "dlg/main characters",
    "materials/models/character",
    "python/hollywood",
]


def main(argv):
    parser = argparse.ArgumentParser(prog="make_demo.py", description=__doc__.splitlines()[0])
    parser.add_argument("folder", metavar="FOLDER", help="where the demo installation is written")
    parser.add_argument("--entries", metavar="DIR", help="also write the file packs' entries below DIR")
    args = parser.parse_args(argv[1:])
    root = args.folder
    packs = os.path.join(root, "Vampire")
    os.makedirs(packs, exist_ok=True)
    with open(os.path.join(root, "vampire.exe"), "wb") as exe:
        exe.write(b"MZ" + bytes(58) + b"\x40\x00\x00\x00" + b"Tessaro demo installation: not a program.\r\n")
    file_packs = [file_pack_0(), file_pack_1(), file_pack_2()]
    if args.entries:
        for number, entries in enumerate(file_packs):
            for name, data in entries:
                path = os.path.join(args.entries, "pack%03d.vpk" % number, name)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "wb") as out:
                    out.write(data)
    contents = [
        pack_bytes(file_packs[0]),
        pack_bytes(file_packs[1]),
        pack_bytes(file_packs[2]),
        pack_bytes([(name, b"") for name in DIRECTORY_PACK], pack_type=1),
        bytes(9),
    ]
    for number, content in enumerate(contents):
        with open(os.path.join(packs, "pack%03d.vpk" % number), "wb") as out:
            out.write(content)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
