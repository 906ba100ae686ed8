#!/usr/bin/env python3
"""Draws the tool's icon and writes app/relvanta.ico.

The picture: a monitor (dark bezel, blue screen, grey stand) with a white
diagonal double-headed arrow on the screen, the mark of a screen size.
Both sizes are drawn pixel by pixel below; neither is scaled from the other.

The file holds four images, in this order: 16x16 at 4 bits per pixel,
16x16 at 8, 32x32 at 4, 32x32 at 8. Each is a device-independent bitmap
(BITMAPINFOHEADER with the height doubled, palette, XOR pixels bottom-up)
followed by its 1-bit AND mask, 1 marking a transparent pixel.

Standard library only. Run: python3 app/make_icon.py
"""

import os
import struct

# The 16 colours of the standard Windows/VGA palette, in their usual order.
VGA = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# The picture's colours by letter, each with its 4-bpp (VGA) stand-in and its
# own 8-bpp colour. "." is transparent.
#   letter: (VGA index, (r, g, b) for 8 bpp)
INKS = {
    "o": (0, (0x1A, 0x1C, 0x21)),   # bezel outline
    "b": (0, (0x3A, 0x3F, 0x48)),   # bezel
    "h": (8, (0x5C, 0x63, 0x6E)),   # bezel light edge
    "1": (12, (0x3D, 0x8E, 0xE8)),  # screen, top
    "2": (12, (0x2A, 0x74, 0xD2)),  # screen, upper middle
    "3": (12, (0x1D, 0x5C, 0xB8)),  # screen, lower middle
    "4": (12, (0x14, 0x46, 0x96)),  # screen, bottom
    "w": (15, (0xFF, 0xFF, 0xFF)),  # arrow
    "g": (10, (0x4C, 0xD9, 0x64)),  # power light
    "s": (7, (0xA8, 0xAE, 0xB6)),   # stand
    "d": (8, (0x6C, 0x72, 0x7C)),   # stand shadow
}

# 16x16, drawn by hand. The screen is 12 x 8 pixels (x 2..13, y 3..10); the
# arrow runs corner to corner at 45 degrees, tips at (5, 9) and (10, 4), with
# an L-shaped head of three pixels a side at each end.
ICON_16 = [
    "................",
    ".oooooooooooooo.",
    "obhhhhhhhhhhhhbo",
    "ob111111111111bo",
    "ob111111www111bo",
    "ob2222222ww222bo",
    "ob222222w2w222bo",
    "ob333w3w333333bo",
    "ob333ww3333333bo",
    "ob444www444444bo",
    "ob444444444444bo",
    "obbbbbbbbbbbgbbo",
    ".oooooooooooooo.",
    "......dssd......",
    "....ssssssss....",
    "....dddddddd....",
]


def icon_32():
    """The 32x32 picture, laid out from a few shapes, pixel exact."""
    w, h = 32, 32
    px = [["."] * w for _ in range(h)]

    def put(x, y, ink):
        if 0 <= x < w and 0 <= y < h:
            px[y][x] = ink

    # Monitor body: outline x 1..30, y 2..24, corners cut by one pixel.
    top, bottom, left, right = 2, 24, 1, 30
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = y in (top, bottom) or x in (left, right)
            corner = (y in (top, bottom)) and (x in (left, right))
            if corner:
                continue
            put(x, y, "o" if edge else "b")
    # A lighter line along the top of the bezel.
    for x in range(left + 1, right):
        put(x, top + 1, "h")
    # Screen: x 4..27, y 5..20 (24 x 16), darker towards the bottom.
    s_left, s_top, s_right, s_bottom = 4, 5, 27, 20
    bands = "1111222233334444"
    for y in range(s_top, s_bottom + 1):
        for x in range(s_left, s_right + 1):
            put(x, y, bands[y - s_top])
    # A thin dark rim around the screen, as glass set into the bezel.
    for x in range(s_left - 1, s_right + 2):
        put(x, s_top - 1, "o")
        put(x, s_bottom + 1, "o")
    for y in range(s_top - 1, s_bottom + 2):
        put(s_left - 1, y, "o")
        put(s_right + 1, y, "o")
    # Power light on the chin.
    put(26, 22, "g")
    put(27, 22, "g")

    # The arrow, 2 pixels thick, at 45 degrees from lower left to upper right,
    # with an L-shaped head of 6 pixels a side at each tip.
    x0, y0 = 8, 18      # lower-left tip
    length = 11         # steps along the diagonal
    for t in range(length + 1):
        put(x0 + t, y0 - t, "w")
        put(x0 + t + 1, y0 - t, "w")
    x1, y1 = x0 + length + 1, y0 - length  # upper-right tip (x 20, y 7)
    arm = 6
    for i in range(arm):
        # upper-right head: along the top and down the right side
        put(x1 - i, y1, "w")
        put(x1 - i, y1 + 1, "w")
        put(x1, y1 + i, "w")
        put(x1 - 1, y1 + i, "w")
        # lower-left head: along the bottom and up the left side
        put(x0 + i, y0, "w")
        put(x0 + i, y0 - 1, "w")
        put(x0, y0 - i, "w")
        put(x0 + 1, y0 - i, "w")

    # Stand: neck, then a base with a shadow under it.
    for y in (25, 26):
        for x in range(13, 19):
            put(x, y, "s" if 14 <= x <= 17 else "d")
    for x in range(9, 23):
        put(x, 27, "s")
    for x in range(8, 24):
        put(x, 28, "s")
    for x in range(8, 24):
        put(x, 29, "d")
    return ["".join(row) for row in px]


def palette_8bpp():
    """256 entries: the 16 VGA colours, then the picture's own, then black."""
    colours = list(VGA)
    index = {}
    for letter, (_, rgb) in INKS.items():
        if rgb not in colours[16:]:
            colours.append(rgb)
        index[letter] = colours.index(rgb, 16)
    colours += [(0, 0, 0)] * (256 - len(colours))
    return colours, index


def dib(picture, bpp):
    """One icon image: BITMAPINFOHEADER, palette, XOR pixels, AND mask."""
    size = len(picture)
    assert all(len(row) == size for row in picture), "picture is not square"
    if bpp == 4:
        colours = VGA
        index = {letter: vga for letter, (vga, _) in INKS.items()}
    else:
        colours, index = palette_8bpp()
    index["."] = 0  # transparent pixels are black under a set mask bit

    xor_stride = (size * bpp + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(picture):  # bottom-up
        values = [index[c] for c in row]
        line = bytearray()
        if bpp == 8:
            line += bytes(values)
        else:
            for i in range(0, size, 2):
                line.append(values[i] << 4 | values[i + 1])
        line += bytes(xor_stride - len(line))
        xor += line
        bits = bytearray(and_stride)
        for x, c in enumerate(row):
            if c == ".":
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits

    header = struct.pack(
        "<IiiHHIIiiII",
        40,                      # biSize
        size,                    # biWidth
        size * 2,                # biHeight: XOR and AND halves
        1,                       # biPlanes
        bpp,                     # biBitCount
        0,                       # biCompression: BI_RGB
        len(xor) + len(mask),    # biSizeImage
        0, 0,                    # pixels per metre
        0, 0,                    # biClrUsed (all 2^bpp), biClrImportant
    )
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)
    assert len(colours) == 1 << bpp
    return header + pal + bytes(xor) + bytes(mask)


def ico(images):
    """An .ico file from (size, bpp, dib bytes) in the given order."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, bpp, data in images:
        entries += struct.pack(
            "<BBBBHHII",
            size % 256, size % 256,
            (1 << bpp) if bpp < 8 else 0,  # colours; 0 means 256 or more
            0, 1, bpp, len(data), offset)
        blobs += data
        offset += len(data)
    return out + entries + blobs


def main():
    pictures = {16: ICON_16, 32: icon_32()}
    images = [(size, bpp, dib(pictures[size], bpp))
              for size, bpp in ((16, 4), (16, 8), (32, 4), (32, 8))]
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "relvanta.ico")
    with open(path, "wb") as f:
        f.write(ico(images))
    print(f"wrote {path}")


if __name__ == "__main__":
    main()
