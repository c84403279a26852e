#!/usr/bin/env python3
"""Draws the glyphs of the folder browse window's two small buttons (new folder, delete).

    python3 tools/make_browse_pictures.py

Writes, with nothing but the standard library:
  resources/pictures/ptscp_newfolder16_8bpp.bmp  32 x 16, 256 colours: normal and disabled glyph
  resources/pictures/ptscp_delete16_8bpp.bmp     32 x 16, 256 colours: normal and disabled glyph
and puts the 16-colour pictures into the window's form resource
(resources/forms/PTFrmFolderBrowseDlg.form) as the buttons' Glyph.Data: the new-folder strip of
32 x 16 (normal, disabled) and the delete glyph of 16 x 16. The results are committed, so the
build never runs this script.

The bottom-left pixel of every strip is the transparent colour (fuchsia), as the button reads it.
The 256-colour glyphs are shaded; the 16-colour ones keep to the standard 16 colours.
"""
import os
import re
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PICTURES = os.path.join(ROOT, "resources", "pictures")
FORM = os.path.join(ROOT, "resources", "forms", "PTFrmFolderBrowseDlg.form")

CLEAR = (255, 0, 255)
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
         (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def blank(w=16, h=16):
    return [[CLEAR] * w for _ in range(h)]


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def folder_shape():
    """(outline, inside) pixel sets of a folder with a tab, lower left of the glyph."""
    left, right, top, bottom = 1, 13, 6, 14
    outline = {(x, y) for x in range(left, right + 1) for y in (top, bottom)}
    outline |= {(x, y) for x in (left, right) for y in range(top, bottom + 1)}
    outline |= {(x, top - 1) for x in range(left + 1, 6)}  # the tab
    inside = {(x, y) for y in range(top + 1, bottom) for x in range(left + 1, right)}
    return outline, inside


def star_shape():
    cx, cy = 12, 3
    rays = {(cx, cy)}
    for d in (1, 2):
        rays |= {(cx + d, cy), (cx - d, cy), (cx, cy + d), (cx, cy - d)}
    rays |= {(cx + 1, cy + 1), (cx - 1, cy - 1), (cx + 1, cy - 1), (cx - 1, cy + 1)}
    return rays


def cross_shape():
    """The two strokes of an X, two pixels thick, kept clear of the bottom-left corner."""
    strokes = set()
    for i in range(2, 13):
        for t in (0, 1):
            strokes.add((i + t, i))
            strokes.add((14 - i - t, i))
    return strokes


def new_folder_glyph(shaded):
    img = blank()
    outline, inside = folder_shape()
    for (x, y) in inside:
        if shaded:
            img[y][x] = lerp((255, 232, 130), (226, 170, 36), (y - 6) / 8)
        else:
            img[y][x] = (255, 255, 0)
    for (x, y) in outline:
        img[y][x] = (128, 96, 24) if shaded else (0, 0, 0)
    for (x, y) in star_shape():
        if shaded:
            img[y][x] = (255, 255, 255) if (x, y) == (12, 3) else (255, 214, 0)
        else:
            img[y][x] = (255, 255, 255) if (x, y) == (12, 3) else (255, 255, 0)
    return img


def delete_glyph(shaded):
    img = blank()
    for (x, y) in cross_shape():
        if shaded:
            img[y][x] = lerp((236, 70, 56), (168, 18, 18), (y - 2) / 11)
        else:
            img[y][x] = (255, 0, 0)
    return img


def disabled(img):
    """Grey shape with a white copy one pixel down-right, as disabled glyphs look."""
    out = blank()
    shape = {(x, y) for y, row in enumerate(img) for x, c in enumerate(row) if c != CLEAR}
    for (x, y) in shape:
        if x + 1 < 16 and y + 1 < 16 and (x + 1, y + 1) not in shape:
            out[y + 1][x + 1] = (255, 255, 255)
    for (x, y) in shape:
        out[y][x] = (128, 128, 128)
    return out


def strip(*glyphs):
    return [sum((g[y] for g in glyphs), []) for y in range(16)]


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
    os.makedirs(PICTURES, exist_ok=True)
    for name, glyph in (("ptscp_newfolder16_8bpp", new_folder_glyph), ("ptscp_delete16_8bpp", delete_glyph)):
        normal = glyph(True)
        with open(os.path.join(PICTURES, name + ".bmp"), "wb") as f:
            f.write(bmp_bytes(strip(normal, disabled(normal)), 8))
    with open(FORM) as f:
        form = f.read()
    plain_folder = new_folder_glyph(False)
    form = put_glyph(form, "CreateNewFolderBtn", bmp_bytes(strip(plain_folder, disabled(plain_folder)), 4))
    form = put_glyph(form, "DeleteFolderBtn", bmp_bytes(delete_glyph(False), 4))
    with open(FORM, "w") as f:
        f.write(form)


if __name__ == "__main__":
    main()
