#!/usr/bin/env python3
"""Draws the plug-in's icons from the pixel rows below and writes them as .ico files.

    make_icons.py [RES_DIR]           writes vemo_main.ico and vemo_tray.ico
    make_icons.py --check [RES_DIR]   exit 1 when the files there differ from the drawing

An .ico file: a 6-byte directory header (reserved 0, type 1, image count), one 16-byte
entry per image (width, height, palette size or 0 for 256, reserved, planes, bits per
pixel, byte count, offset), then each image as a bitmap without its file header: a
40-byte BITMAPINFOHEADER whose height counts both masks, the palette as blue, green,
red, 0, the colour (XOR) rows and then the 1-bit transparency (AND) rows, both bottom
row first and each row padded to 4 bytes. A transparent pixel is colour 0 with its AND
bit set.
"""
import os
import struct
import sys

TRANSPARENT = "."

# The module's own icon: a rounded blue tile with a white V.
MAIN_COLOURS = {
    "k": (0x1B, 0x35, 0x60),  # outline
    "l": (0x3F, 0x86, 0xD0),  # upper half
    "b": (0x2F, 0x6D, 0xB5),  # lower half
    "d": (0x1F, 0x4C, 0x85),  # shadow of the V
    "w": (0xFF, 0xFF, 0xFF),
}

MAIN_32 = [
    ".....kkkkkkkkkkkkkkkkkkkkkk.....",
    "...kkllllllllllllllllllllllkk...",
    "..kllllllllllllllllllllllllllk..",
    ".kllllllllllllllllllllllllllllk.",
    ".kllllllllllllllllllllllllllllk.",
    "kllllllllllllllllllllllllllllllk",
    "klllllwwwwwwdlllllllwwwwwwdllllk",
    "klllllwwwwwwdlllllllwwwwwwdllllk",
    "kllllllwwwwwwdlllllwwwwwwdlllllk",
    "kllllllwwwwwwdlllllwwwwwwdlllllk",
    "klllllllwwwwwwdlllwwwwwwdllllllk",
    "klllllllwwwwwwdlllwwwwwwdllllllk",
    "kllllllllwwwwwwdlwwwwwwdlllllllk",
    "kllllllllwwwwwwdlwwwwwwdlllllllk",
    "klllllllllwwwwwwwwwwwwdllllllllk",
    "kbbbbbbbbbwwwwwwwwwwwwdbbbbbbbbk",
    "kbbbbbbbbbbwwwwwwwwwwdbbbbbbbbbk",
    "kbbbbbbbbbbwwwwwwwwwwdbbbbbbbbbk",
    "kbbbbbbbbbbbwwwwwwwwdbbbbbbbbbbk",
    "kbbbbbbbbbbbwwwwwwwwdbbbbbbbbbbk",
    "kbbbbbbbbbbbbwwwwwwdbbbbbbbbbbbk",
    "kbbbbbbbbbbbbwwwwwwdbbbbbbbbbbbk",
    "kbbbbbbbbbbbbbwwwwdbbbbbbbbbbbbk",
    "kbbbbbbbbbbbbbwwwwdbbbbbbbbbbbbk",
    "kbbbbbbbbbbbbbbwwdbbbbbbbbbbbbbk",
    "kbbbbbbbbbbbbbbwwdbbbbbbbbbbbbbk",
    "kbbbbbbbbbbbbbbddbbbbbbbbbbbbbbk",
    ".kbbbbbbbbbbbbbbbbbbbbbbbbbbbbk.",
    ".kbbbbbbbbbbbbbbbbbbbbbbbbbbbbk.",
    "..kbbbbbbbbbbbbbbbbbbbbbbbbbbk..",
    "...kkbbbbbbbbbbbbbbbbbbbbbbkk...",
    ".....kkkkkkkkkkkkkkkkkkkkkk.....",
]

MAIN_16 = [
    "..kkkkkkkkkkkk..",
    ".kkllllllllllkk.",
    "kkllllllllllllkk",
    "kllwwwdlllwwwdlk",
    "kllwwwdlllwwwdlk",
    "klllwwwdlwwwdllk",
    "klllwwwdlwwwdllk",
    "kllllwwwwwwdlllk",
    "kbbbbwwwwwwdbbbk",
    "kbbbbbwwwwdbbbbk",
    "kbbbbbwwwwdbbbbk",
    "kbbbbbbwwdbbbbbk",
    "kbbbbbbwwdbbbbbk",
    "kkbbbbbbddbbbbkk",
    ".kkbbbbbbbbbbkk.",
    "..kkkkkkkkkkkk..",
]

# The tray button: VEMO in black above previous (left) and next (right) double arrows.
# Its 16 colours are the standard ones, so that any display shows them exactly.
STANDARD_16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
TRAY_COLOURS = {"K": (0x00, 0x00, 0x00), "N": (0x00, 0x00, 0x80)}

TRAY_16 = [
    "................",
    "K.K.KK.K...K.KKK",
    "K.K.K..KK.KK.K.K",
    "K.K.KK.K.K.K.K.K",
    "K.K.K..K...K.K.K",
    ".K..KK.K...K.KKK",
    "................",
    "................",
    "...N..N..N..N...",
    "..NN.NN..NN.NN..",
    ".NNNNNN..NNNNNN.",
    "NNNNNNN..NNNNNNN",
    ".NNNNNN..NNNNNN.",
    "..NN.NN..NN.NN..",
    "...N..N..N..N...",
    "................",
]

# The same design drawn again at the small-icon sizes of 125 % and 150 %: a stretched
# 16-pixel picture would blur there. The letters keep one-pixel strokes; the arrows grow
# to nine rows.
TRAY_20 = [
    "....................",
    "K...K.KKK.K...K..KK.",
    "K...K.K...KK.KK.K..K",
    "K...K.K...K.K.K.K..K",
    ".K.K..KK..K.K.K.K..K",
    ".K.K..K...K...K.K..K",
    ".K.K..K...K...K.K..K",
    "..K...KKK.K...K..KK.",
    "....................",
    "....................",
    "....N...N..N...N....",
    "...NN..NN..NN..NN...",
    "..NNN.NNN..NNN.NNN..",
    ".NNNNNNNN..NNNNNNNN.",
    "NNNNNNNNN..NNNNNNNNN",
    ".NNNNNNNN..NNNNNNNN.",
    "..NNN.NNN..NNN.NNN..",
    "...NN..NN..NN..NN...",
    "....N...N..N...N....",
    "....................",
]

TRAY_24 = [
    "........................",
    "........................",
    "K...K.KKKK.K.....K..KKK.",
    "K...K.K....KK...KK.K...K",
    "K...K.K....K.K.K.K.K...K",
    ".K.K..KKK..K..K..K.K...K",
    ".K.K..K....K.....K.K...K",
    ".K.K..K....K.....K.K...K",
    "..K...KKKK.K.....K..KKK.",
    "........................",
    "........................",
    "........................",
    ".....N...N....N...N.....",
    "....NN..NN....NN..NN....",
    "...NNN.NNN....NNN.NNN...",
    "..NNNNNNNN....NNNNNNNN..",
    ".NNNNNNNNN....NNNNNNNNN.",
    "..NNNNNNNN....NNNNNNNN..",
    "...NNN.NNN....NNN.NNN...",
    "....NN..NN....NN..NN....",
    ".....N...N....N...N.....",
    "........................",
    "........................",
    "........................",
]


def doubled(rows):
    """Each pixel as two by two: the 200 % picture, whose scale is whole."""
    return [row for row in ("".join(c * 2 for c in line) for line in rows) for row in (row, row)]


BITMAPINFOHEADER_SIZE = 40
DIRECTORY_HEADER_SIZE = 6
DIRECTORY_ENTRY_SIZE = 16


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def pack_bits(values, bits):
    """Packs pixel values (each below 2**bits) into bytes, leftmost pixel in the high bits."""
    out = bytearray()
    per_byte = 8 // bits
    for start in range(0, len(values), per_byte):
        byte = 0
        for i, value in enumerate(values[start:start + per_byte]):
            byte |= value << (8 - bits * (i + 1))
        out.append(byte)
    return bytes(out)


def image(rows, colours, palette, bits):
    """One icon image: header, palette, colour rows and mask rows (bottom row first)."""
    size = len(rows)
    if any(len(row) != size for row in rows):
        raise ValueError("icon rows must form a square")
    index = {char: palette.index(rgb) for char, rgb in colours.items()}
    xor_rows, and_rows = [], []
    for row in reversed(rows):
        xor_rows.append(padded(pack_bits([0 if c == TRANSPARENT else index[c] for c in row], bits)))
        and_rows.append(padded(pack_bits([1 if c == TRANSPARENT else 0 for c in row], 1)))
    pixels = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", BITMAPINFOHEADER_SIZE, size, 2 * size, 1, bits, 0, len(pixels), 0, 0,
                         len(palette), 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + table + pixels


def main_palette():
    """The tile's colours first, black at index 0 for transparent pixels, the rest black."""
    used = [(0, 0, 0)] + [rgb for rgb in MAIN_COLOURS.values() if rgb != (0, 0, 0)]
    return used + [(0, 0, 0)] * (256 - len(used))


def icon_file(images):
    """images: (size, palette entries, bits per pixel, image bytes), in directory order."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = DIRECTORY_HEADER_SIZE + DIRECTORY_ENTRY_SIZE * len(images)
    for size, entries, bits, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, entries % 256, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, _, data in images)


def drawings():
    palette = main_palette()
    main = icon_file([
        (16, 256, 8, image(MAIN_16, MAIN_COLOURS, palette, 8)),
        (32, 256, 8, image(MAIN_32, MAIN_COLOURS, palette, 8)),
    ])
    # One picture for each small-icon size the shell asks for: 100, 125, 150 and 200 %.
    tray = icon_file([(len(rows), 16, 4, image(rows, TRAY_COLOURS, STANDARD_16, 4))
                      for rows in (TRAY_16, TRAY_20, TRAY_24, doubled(TRAY_16))])
    return {"vemo_main.ico": main, "vemo_tray.ico": tray}


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    res = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
    stale = []
    for name, data in drawings().items():
        path = os.path.join(res, name)
        if check:
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        stale.append(name)
            except OSError:
                stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
    for name in stale:
        print(f"{name}: differs from scripts/make_icons.py; run it and commit the result")
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
