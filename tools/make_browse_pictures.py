#!/usr/bin/env python3
"""Draws the glyphs of the folder browse window's two small buttons (new folder, delete).

    python3 tools/make_browse_pictures.py

Writes, with nothing but the standard library:
  resources/pictures/ptscp_newfolder16_8bpp.bmp  32 x 16, 256 colours: normal and disabled glyph
  resources/pictures/ptscp_delete16_8bpp.bmp     32 x 16, 256 colours: normal and disabled glyph
  resources/pictures/2x/ptscp_newfolder16_8bpp.png, resources/pictures/2x/ptscp_delete16_8bpp.png
                                                 the same at 200 %: 64 x 32, 24-bit PNG
and puts the 16-colour pictures into the window's form resource
(resources/forms/PTFrmFolderBrowseDlg.form) as the buttons' Glyph.Data: the new-folder strip of
32 x 16 (normal, disabled) and the delete glyph of 16 x 16. The results are committed, so the
build never runs this script.

The bottom-left pixel of every strip is the transparent colour (fuchsia), as the button reads it.
The 256-colour glyphs are shaded; the 16-colour ones keep to the standard 16 colours.

The shapes are described in the glyph's 16-unit grid and each pixel is tested at its centre, so
that at 200 % the diagonals and the shading are drawn at the finer grid rather than enlarged,
while at 100 % every pixel is what it always was.
"""
import os
import re
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PICTURES = os.path.join(ROOT, "resources", "pictures")
PICTURES_2X = os.path.join(PICTURES, "2x")
SIZE = 16  # the glyph's side in units
FORM = os.path.join(ROOT, "resources", "forms", "PTFrmFolderBrowseDlg.form")

CLEAR = (255, 0, 255)
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
         (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def blank(k=1):
    return [[CLEAR] * (SIZE * k) for _ in range(SIZE * k)]


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def centres(k):
    """Every pixel (x, y) of a glyph drawn at k pixels per unit, with its centre (u, v) in units."""
    for y in range(SIZE * k):
        for x in range(SIZE * k):
            yield x, y, (x + 0.5) / k, (y + 0.5) / k


def in_box(u, v, left, top, right, bottom):
    return left <= u < right and top <= v < bottom


def folder_part(u, v):
    """'outline', 'inside' or None: a folder with a tab, lower left of the glyph."""
    left, right, top, bottom = 1, 13, 6, 14
    if in_box(u, v, left + 1, top + 1, right, bottom):
        return "inside"
    if in_box(u, v, left, top, right + 1, bottom + 1) or in_box(u, v, left + 1, top - 1, 6, top):
        return "outline"  # the frame, and the tab
    return None


def star_part(u, v):
    """'centre', 'ray' or None: a small star in the upper right, a plus and a short cross."""
    du, dv = u - 12.5, v - 3.5
    if abs(du) < 0.5 and abs(dv) < 0.5:
        return "centre"
    plus = (abs(du) < 0.5 and abs(dv) < 2.5) or (abs(dv) < 0.5 and abs(du) < 2.5)
    cross = max(abs(du), abs(dv)) < 1.5 and (abs(du - dv) < 0.5 or abs(du + dv) < 0.5)
    return "ray" if plus or cross else None


def in_cross(u, v):
    """The two strokes of an X, two units thick, kept clear of the bottom-left corner."""
    return 2 <= v < 13 and (-0.5 <= u - v < 1.5 or 13.5 <= u + v < 15.5)


def new_folder_glyph(shaded, k=1):
    img = blank(k)
    for x, y, u, v in centres(k):
        part, ray = folder_part(u, v), star_part(u, v)
        if ray:
            if shaded:
                img[y][x] = (255, 255, 255) if ray == "centre" else (255, 214, 0)
            else:
                img[y][x] = (255, 255, 255) if ray == "centre" else (255, 255, 0)
        elif part == "inside":
            img[y][x] = lerp((255, 232, 130), (226, 170, 36), (v - 0.5 - 6) / 8) if shaded else (255, 255, 0)
        elif part == "outline":
            img[y][x] = (128, 96, 24) if shaded else (0, 0, 0)
    return img


def delete_glyph(shaded, k=1):
    img = blank(k)
    for x, y, u, v in centres(k):
        if in_cross(u, v):
            img[y][x] = lerp((236, 70, 56), (168, 18, 18), (v - 0.5 - 2) / 11) if shaded else (255, 0, 0)
    return img


def disabled(img, k=1):
    """Grey shape with a white copy one unit down-right, as disabled glyphs look."""
    out = blank(k)
    n = SIZE * k
    shape = {(x, y) for y, row in enumerate(img) for x, c in enumerate(row) if c != CLEAR}
    for (x, y) in shape:
        if x + k < n and y + k < n and (x + k, y + k) not in shape:
            out[y + k][x + k] = (255, 255, 255)
    for (x, y) in shape:
        out[y][x] = (128, 128, 128)
    return out


def strip(*glyphs):
    return [sum((g[y] for g in glyphs), []) for y in range(len(glyphs[0]))]


def bmp_bytes(img, bits):
    h, w = len(img), len(img[0])
    if bits == 4:
        palette = VGA16
    else:
        palette = []
        for row in img:
            for c in row:
                if c not in palette:
                    palette.append(c)
        assert len(palette) <= 256
        palette += [(0, 0, 0)] * (256 - len(palette))
    index = {c: i for i, c in enumerate(palette)}
    stride = ((w * bits + 31) // 32) * 4
    rows = []
    for row in reversed(img):
        data = bytearray()
        if bits == 8:
            data.extend(index[c] for c in row)
        else:
            for x in range(0, w, 2):
                data.append((index[row[x]] << 4) | (index[row[x + 1]] if x + 1 < w else 0))
        data.extend(b"\0" * (stride - len(data)))
        rows.append(bytes(data))
    pixels = b"".join(rows)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(pixels), 3780, 3780, len(palette), 0)
    return header + info + colours + pixels


def png_bytes(img):
    """A 24-bit PNG, as tightly packed as zlib can."""
    h, w = len(img), len(img[0])
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in img)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def form_hex(data, indent):
    text = data.hex().upper()
    lines = [text[i:i + 64] for i in range(0, len(text), 64)]
    return "{\n" + "\n".join(indent + line for line in lines) + "}"


def put_glyph(form, control, data):
    pattern = re.compile(r"(object %s: TSpeedButton\n(?:(?!  end\n).)*?Glyph\.Data = )\{[^}]*\}" % control, re.S)
    new, count = pattern.subn(lambda m: m.group(1) + form_hex(data, "      "), form)
    if count != 1:
        sys.exit("make_browse_pictures: no Glyph.Data of %s in %s" % (control, FORM))
    return new


def main():
    os.makedirs(PICTURES_2X, exist_ok=True)
    for name, glyph in (("ptscp_newfolder16_8bpp", new_folder_glyph), ("ptscp_delete16_8bpp", delete_glyph)):
        normal = glyph(True)
        with open(os.path.join(PICTURES, name + ".bmp"), "wb") as f:
            f.write(bmp_bytes(strip(normal, disabled(normal)), 8))
        large = glyph(True, 2)
        with open(os.path.join(PICTURES_2X, name + ".png"), "wb") as f:
            f.write(png_bytes(strip(large, disabled(large, 2))))
    with open(FORM) as f:
        form = f.read()
    plain_folder = new_folder_glyph(False)
    form = put_glyph(form, "CreateNewFolderBtn", bmp_bytes(strip(plain_folder, disabled(plain_folder)), 4))
    form = put_glyph(form, "DeleteFolderBtn", bmp_bytes(delete_glyph(False), 4))
    with open(FORM, "w") as f:
        f.write(form)


if __name__ == "__main__":
    main()
