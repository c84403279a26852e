#!/usr/bin/env python3
"""Draws every picture of the wizard window at 100 % and at 200 %.

    python3 tools/make_pictures.py [--scale 1|2] [output-folder]

Without --scale it draws both sets: the 100 % pictures into resources/pictures/ as 24-bit BMP
files, and the 200 % ones into resources/pictures/2x/ as PNG files (the program shrinks them
for the scales between). With --scale only that set is drawn, into output-folder if one is
given.

Needs Pillow (Debian: python3-pil) and the DejaVu fonts (fonts-dejavu-core). The results are
committed, so the build never runs this script.

The window draws its pictures opaque, one over the other: a button or the logo covers the
page background under it completely. So every foreground picture is composed here over the
very pixels of the page background that it will cover, which gives smooth rounded corners
and soft shadows without any transparency at run time. The positions below are therefore the
ones of the window's layout (resources/forms/Form1.txt); a change there needs a change here.

Every position, length, radius, blur and font size below is in the layout's 96-dpi units. The
drawing primitives multiply them by K, the scale being drawn, so that the 200 % pictures are
drawn at twice the resolution (shapes, text and shadows alike) rather than enlarged, and a
button strip's frames at 200 % are exactly twice the size of those at 100 %.
"""
import argparse
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

W, H = 600, 350
SS = 4  # supersampling factor for shapes
K = 1   # the scale being drawn: pixels per layout unit (set once by main)

BLUE = (38, 135, 208)        # the band and the product colour
BLUE_LIGHT = (86, 170, 236)
BLUE_DARK = (22, 101, 170)
PANEL = (232, 236, 239)      # the shortcut panel of the folder page; its check boxes share it
INK = (33, 43, 54)
MUTED = (120, 132, 146)
BAND_TOP = 306               # the blue band runs from here to the bottom

FONT_DIR = "/usr/share/fonts/truetype/dejavu"


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def bold(size):
    return font("DejaVuSans-Bold.ttf", size)


def regular(size):
    return font("DejaVuSans.ttf", size)


def condensed(size):
    return font("DejaVuSansCondensed.ttf", size)


def px(v):
    """A length in layout units, in pixels of the scale being drawn."""
    return v * K


def box(x0, y0, x1, y1):
    """An inclusive pixel box in layout units, in pixels: its last pixel grows to K pixels."""
    return [x0 * K, y0 * K, (x1 + 1) * K - 1, (y1 + 1) * K - 1]


def hline(draw, x0, x1, y, fill):
    """A one-unit rule from x0 to x1 inclusive."""
    draw.rectangle(box(x0, y, x1, y), fill=fill)


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def vertical_gradient(size, top, bottom):
    w, h = size
    img = Image.new("RGB", size)
    draw = ImageDraw.Draw(img)
    for y in range(h):
        draw.line([(0, y), (w, y)], fill=lerp(top, bottom, y / max(1, h - 1)))
    return img


def smooth_mask(size, paint):
    """A coverage mask of `size` pixels, drawn by `paint(draw, scale)` at SS times the size;
    `paint` gives layout units, which `scale` turns into pixels of the supersampled mask."""
    w, h = size
    big = Image.new("L", (w * SS, h * SS), 0)
    paint(ImageDraw.Draw(big), SS * K)
    return big.resize(size, Image.LANCZOS)


def rounded_mask(size, box, radius):
    x0, y0, x1, y1 = box
    return smooth_mask(size, lambda d, s: d.rounded_rectangle(
        [x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], radius=radius * s, fill=255))


def paint_through(base, colour_or_image, mask):
    """Paints a colour or a same-sized image onto `base` through a coverage mask."""
    if isinstance(colour_or_image, tuple):
        colour_or_image = Image.new("RGB", base.size, colour_or_image)
    base.paste(colour_or_image, (0, 0), mask)


def soft_shadow(base, area, radius, blur=5, strength=70, offset=2):
    x0, y0, x1, y1 = area
    mask = Image.new("L", base.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(box(x0, y0 + offset, x1 - 1, y1 - 1 + offset),
                                           radius=px(radius), fill=strength)
    mask = mask.filter(ImageFilter.GaussianBlur(px(blur)))
    paint_through(base, (60, 90, 120), mask)


# ---------------------------------------------------------------------------------------
# Page backgrounds


def page_base():
    img = vertical_gradient((px(W), px(H)), (255, 255, 255), (238, 244, 250))
    # Two large, faint rings in the upper right: a quiet nod to a film reel.
    rings = smooth_mask(img.size, lambda d, s: (
        d.ellipse([430 * s, -120 * s, 700 * s, 150 * s], outline=255, width=26 * s),
        d.ellipse([505 * s, -45 * s, 625 * s, 75 * s], outline=255, width=10 * s)))
    paint_through(img, (226, 238, 250), rings.point(lambda v: v * 0.55))
    # A soft glow behind the logo.
    glow = Image.new("L", img.size, 0)
    ImageDraw.Draw(glow).ellipse(box(229, 42, 369, 152), fill=120)
    paint_through(img, (214, 232, 249), glow.filter(ImageFilter.GaussianBlur(px(22))))
    # Header rule under the title.
    draw = ImageDraw.Draw(img)
    hline(draw, 10, W - 10, 33, (221, 229, 238))
    # The band, with a lighter edge and a gentle wave of lighter blue along its top.
    band = vertical_gradient((px(W), px(H - BAND_TOP)), (48, 146, 218), BLUE)
    img.paste(band, (0, px(BAND_TOP)))
    wave = smooth_mask(img.size, lambda d, s: d.polygon(
        [(x * s, (BAND_TOP - 6 + 5 * ((x / 600.0) ** 2) * 2) * s) for x in range(0, 601, 20)]
        + [(600 * s, BAND_TOP * s), (0, BAND_TOP * s)], fill=255))
    paint_through(img, (170, 207, 238), wave)
    hline(draw, 0, W, BAND_TOP, (110, 178, 232))
    # Check boxes and labels in the band paint their own background in the plain band
    # blue: keep the rows they occupy flat so that no edge shows around them.
    draw.rectangle(box(0, 311, W, H), fill=BLUE)
    return img


def outline_slot(img, area, radius):
    """The drawn place of a button or field: a shadow and a faint ring just outside it."""
    x0, y0, x1, y1 = area
    soft_shadow(img, (x0, y0, x1, y1), radius, blur=6, strength=90, offset=3)
    ring = rounded_mask(img.size, (x0 - 3, y0 - 3, x1 + 3, y1 + 3), radius + 3)
    inner = rounded_mask(img.size, (x0 - 2, y0 - 2, x1 + 2, y1 + 2), radius + 2)
    paint_through(img, (205, 219, 234), ring)
    paint_through(img, (246, 249, 252), inner)


def page_choice():
    img = page_base()
    outline_slot(img, (158, 160, 158 + 288, 160 + 71), 10)
    outline_slot(img, (245, 247, 245 + 120, 247 + 30), 6)
    return img


def page_licence():
    img = page_base()
    # Frame of the licence memo.
    x0, y0, x1, y1 = 22, 32, 22 + 553, 32 + 257
    soft_shadow(img, (x0, y0, x1, y1), 4, blur=5, strength=60)
    paint_through(img, (205, 219, 234), rounded_mask(img.size, (x0 - 3, y0 - 3, x1 + 3, y1 + 3), 6))
    return img


def page_folder():
    img = page_base()
    panel = (28, 156, 572, 224)
    soft_shadow(img, panel, 8, blur=6, strength=50)
    paint_through(img, (214, 222, 230), rounded_mask(img.size, (panel[0] - 1, panel[1] - 1,
                                                                panel[2] + 1, panel[3] + 1), 9))
    paint_through(img, PANEL, rounded_mask(img.size, panel, 8))
    draw = ImageDraw.Draw(img)
    # The folder field: Edit1 is borderless, so the picture gives it its frame.
    field = (67, 169, 451, 193)
    paint_through(img, (176, 192, 208), rounded_mask(img.size, field, 4))
    paint_through(img, (255, 255, 255), rounded_mask(img.size, (field[0] + 1, field[1] + 1,
                                                                field[2] - 1, field[3] - 1), 3))
    draw.text((px(44), px(139)), "Destination folder", font=bold(px(11)), fill=INK)
    outline_slot(img, (206, 240, 206 + 188, 240 + 52), 10)
    outline_slot(img, (395, 251, 395 + 56, 251 + 30), 6)
    return img


def page_progress():
    img = page_base()
    # The grey track under the progress fill (Image14, 392 x 5 at 105, 185).
    x0, y0, x1, y1 = 105, 185, 105 + 392, 185 + 5
    paint_through(img, (196, 206, 216), rounded_mask(img.size, (x0 - 2, y0 - 2, x1 + 2, y1 + 2), 4))
    ImageDraw.Draw(img).rectangle(box(x0, y0, x1 - 1, y1 - 1), fill=(222, 228, 234))
    ImageDraw.Draw(img).text((px(105), px(164)), "Installing, please wait...", font=bold(px(11)), fill=INK)
    return img


def page_finish():
    img = page_base()
    outline_slot(img, (206, 210, 206 + 188, 210 + 52), 10)
    return img


# ---------------------------------------------------------------------------------------
# Image buttons: four frames (normal, hover, pressed, disabled) over the page's pixels.

PRIMARY = {
    "normal": ((78, 168, 236), (30, 121, 197), (255, 255, 255)),
    "hover": ((110, 190, 248), (44, 142, 219), (255, 255, 255)),
    "pressed": ((26, 108, 180), (40, 128, 204), (232, 242, 252)),
    "disabled": ((212, 218, 224), (196, 203, 210), (246, 248, 250)),
}
SECONDARY = {
    "normal": ((255, 255, 255), (233, 240, 247), BLUE_DARK),
    "hover": ((255, 255, 255), (217, 234, 250), BLUE),
    "pressed": ((214, 228, 242), (236, 242, 248), BLUE_DARK),
    "disabled": ((240, 242, 244), (232, 235, 238), (170, 178, 186)),
}
STATES = ["normal", "hover", "pressed", "disabled"]


def text_size(draw, text, fnt):
    left, top, right, bottom = draw.textbbox((0, 0), text, font=fnt)
    return right - left, bottom - top, left, top


def draw_arrow(draw, cx, cy, size, colour):
    """A download arrow into a tray, the sign of 'install'."""
    s = size
    w = max(2, round(s * 0.16))
    draw.line([(cx, cy - s * 0.55), (cx, cy + s * 0.2)], fill=colour, width=w)
    draw.polygon([(cx - s * 0.32, cy - s * 0.05), (cx + s * 0.32, cy - s * 0.05),
                  (cx, cy + s * 0.32)], fill=colour)
    draw.line([(cx - s * 0.5, cy + s * 0.3), (cx - s * 0.5, cy + s * 0.5),
               (cx + s * 0.5, cy + s * 0.5), (cx + s * 0.5, cy + s * 0.3)], fill=colour, width=w)


def button_frame(background, style, state, label, font_size, radius, icon=None, subtitle=None):
    w, h = background.size
    lw, lh = w // K, h // K  # in layout units
    u = SS * K  # pixels of the supersampled frame per layout unit
    top, bottom, ink = style[state]
    img = background.copy()
    body = (0, 0, lw, lh)
    border = (22, 101, 170) if style is PRIMARY else (150, 182, 214)
    if state == "disabled":
        border = (190, 197, 204)
    paint_through(img, border, rounded_mask((w, h), body, radius))
    fill = vertical_gradient((w, h), top, bottom)
    paint_through(img, fill, rounded_mask((w, h), (1, 1, lw - 1, lh - 1), radius - 1))
    if state != "pressed":
        # A light sheen on the upper half.
        sheen = rounded_mask((w, h), (2, 2, lw - 2, lh // 2), max(1, radius - 2))
        paint_through(img, (255, 255, 255), sheen.point(lambda v: v * 0.14))
    big = img.resize((w * SS, h * SS), Image.LANCZOS)
    draw = ImageDraw.Draw(big)
    fnt = bold(font_size * u)
    tw, th, tl, tt = text_size(draw, label, fnt)
    shift = u if state == "pressed" else 0
    icon_w = 0
    if icon:
        icon_w = round(font_size * 1.5) * u
    total = tw + icon_w
    x = (w * SS - total) // 2 + icon_w
    lines_h = th
    sub_fnt = None
    if subtitle:
        sub_fnt = regular(round(font_size * 0.5) * u)
        sw, sh, sl, st = text_size(draw, subtitle, sub_fnt)
        lines_h = th + sh + 3 * u
    y = (h * SS - lines_h) // 2 - tt + shift
    draw.text((x - tl, y), label, font=fnt, fill=ink)
    if subtitle:
        sub_ink = lerp(ink, top, 0.22)
        draw.text(((w * SS - sw) // 2 - sl, y + tt + th + 3 * u - st), subtitle,
                  font=sub_fnt, fill=sub_ink)
    if icon:
        draw_arrow(draw, x - icon_w // 2 - 2 * u, y + tt + th // 2, font_size * u, ink)
    return big.resize((w, h), Image.LANCZOS)


def close_frame(background, state):
    w, h = background.size
    img = background.copy()
    if state in ("hover", "pressed"):
        colour = (226, 60, 60) if state == "hover" else (178, 34, 34)
        paint_through(img, colour, rounded_mask((w, h), (0, 0, w // K, h // K), 4))
        ink = (255, 255, 255)
    else:
        ink = (96, 108, 122) if state == "normal" else (196, 202, 208)
    cross = smooth_mask((w, h), lambda d, s: (
        d.line([(4 * s, 4 * s), (10 * s, 10 * s)], fill=255, width=int(1.6 * s)),
        d.line([(10 * s, 4 * s), (4 * s, 10 * s)], fill=255, width=int(1.6 * s))))
    paint_through(img, ink, cross)
    return img


def strip(frames):
    w, h = frames[0].size
    out = Image.new("RGB", (w * 4, h))
    for k, frame in enumerate(frames):
        out.paste(frame, (k * w, 0))
    return out


def crop(page, x, y, w, h):
    return page.crop((px(x), px(y), px(x + w), px(y + h)))


def image_button(page, x, y, w, h, style, label, font_size, radius, **extra):
    bg = crop(page, x, y, w, h)
    return strip([button_frame(bg, style, s, label, font_size, radius, **extra) for s in STATES])


# ---------------------------------------------------------------------------------------
# Logo, folder icon, caption pictures, progress fill


def logo(background):
    size = px(80)
    img = background.copy()
    soft = Image.new("L", (size, size), 0)
    ImageDraw.Draw(soft).rounded_rectangle(box(8, 10, 72, 75), radius=px(16), fill=110)
    paint_through(img, (40, 80, 130), soft.filter(ImageFilter.GaussianBlur(px(4))))
    body = rounded_mask((size, size), (6, 5, 74, 73), 17)
    paint_through(img, vertical_gradient((size, size), (96, 182, 244), (26, 110, 188)), body)
    sheen = rounded_mask((size, size), (8, 7, 72, 38), 15)
    paint_through(img, (255, 255, 255), sheen.point(lambda v: v * 0.16))
    # Film perforations along the bottom edge.
    holes = smooth_mask((size, size), lambda d, s: [
        d.rounded_rectangle([(14 + 11 * i) * s, 61 * s, (20 + 11 * i) * s, 66 * s],
                            radius=1 * s, fill=255) for i in range(5)])
    paint_through(img, (210, 233, 252), holes)
    # A white play triangle with a round stamp behind it: video, stamped.
    ring = smooth_mask((size, size), lambda d, s: d.ellipse(
        [20 * s, 14 * s, 60 * s, 54 * s], outline=255, width=3 * s))
    paint_through(img, (225, 240, 253), ring)
    play = smooth_mask((size, size), lambda d, s: d.polygon(
        [(34 * s, 23 * s), (34 * s, 45 * s), (52 * s, 34 * s)], fill=255))
    paint_through(img, (255, 255, 255), play)
    return img


def folder_icon(background):
    size = px(24)
    img = background.copy()
    back = smooth_mask((size, size), lambda d, s: (
        d.rounded_rectangle([2 * s, 5 * s, 11 * s, 10 * s], radius=1.5 * s, fill=255),
        d.rounded_rectangle([2 * s, 7 * s, 22 * s, 20 * s], radius=2 * s, fill=255)))
    paint_through(img, (214, 154, 32), back)
    front = smooth_mask((size, size), lambda d, s: d.polygon(
        [(3 * s, 10 * s), (23 * s, 10 * s), (22 * s, 20 * s), (2 * s, 20 * s)], fill=255))
    paint_through(img, vertical_gradient((size, size), (255, 214, 102), (244, 176, 40)), front)
    return img


def caption_font(texts):
    """The largest face that fits every caption into its box, so that both read alike. It is
    chosen at 100 % and kept at every scale, so that a caption reads the same at each."""
    probe = ImageDraw.Draw(Image.new("RGB", (1, 1)))
    for size in (12, 11, 10, 9):
        for face in (regular, condensed):
            fnt = face(size)
            if all(text_size(probe, text, fnt)[0] <= width - 1 for text, width in texts):
                return face(px(size))
    raise SystemExit(f"make_pictures: the captions {texts} do not fit their boxes")


def caption(text, width, fnt, height=14):
    img = Image.new("RGB", (px(width), px(height)), PANEL)
    draw = ImageDraw.Draw(img)
    tw, th, tl, tt = text_size(draw, "Ag", fnt)
    left, _, right, _ = draw.textbbox((0, 0), text, font=fnt)
    if right - left > img.width - 1:
        raise SystemExit(f"make_pictures: the caption {text!r} does not fit its box at scale {K}")
    draw.text((-left, (img.height - th) // 2 - tt), text, font=fnt, fill=INK)
    return img


def progress_fill():
    return Image.new("RGB", (px(2), px(2)), BLUE)


# ---------------------------------------------------------------------------------------


def draw_pictures(scale):
    """Every picture of the window, drawn at `scale` (1: 100 %, 2: 200 %), by name."""
    global K
    K = scale
    pages = {
        "page_choice": page_choice(),
        "page_licence": page_licence(),
        "page_folder": page_folder(),
        "page_progress": page_progress(),
        "page_finish": page_finish(),
    }
    choice, folder, finish = pages["page_choice"], pages["page_folder"], pages["page_finish"]

    # One close strip and one logo serve every page: their places look the same everywhere.
    for name, page in pages.items():
        for area in ((576, 10, 590, 24), (259, 57, 339, 137)):
            if name == "page_licence" and area[0] == 259:
                continue
            pixels = tuple(px(v) for v in area)
            if ImageChops.difference(page.crop(pixels), choice.crop(pixels)).getbbox():
                raise SystemExit(f"make_pictures: {name} differs from page_choice at {area}")

    pictures = dict(pages)
    pictures["button_quick_install"] = image_button(
        choice, 158, 160, 288, 71, PRIMARY, "Quick Install", 22, 10, icon=True,
        subtitle="Recommended for most users")
    pictures["button_custom_install"] = image_button(
        choice, 245, 247, 120, 30, SECONDARY, "Custom Install", 11, 6)
    pictures["button_browse"] = image_button(folder, 455, 169, 74, 24, SECONDARY, "Browse", 11, 5)
    pictures["button_install"] = image_button(folder, 206, 240, 188, 52, PRIMARY, "Install", 20, 10,
                                              icon=True)
    pictures["button_back"] = image_button(folder, 395, 251, 56, 30, SECONDARY, "Back", 11, 6)
    pictures["button_finish"] = image_button(finish, 206, 210, 188, 52, PRIMARY, "Finish", 20, 10)
    pictures["button_close"] = strip([close_frame(crop(choice, 576, 10, 14, 14), s) for s in STATES])
    pictures["logo"] = logo(crop(choice, 259, 57, 80, 80))
    pictures["folder_icon"] = folder_icon(crop(folder, 41, 169, 24, 24))
    captions = [("Create a desktop icon", 111), ("Start Menu shortcuts", 92)]
    fnt = caption_font(captions)
    pictures["caption_desktop_icon"] = caption(*captions[0], fnt)
    pictures["caption_start_menu"] = caption(*captions[1], fnt)
    pictures["progress_fill"] = progress_fill()
    return pictures


def save_pictures(pictures, scale, out):
    """100 %: 24-bit BMP files, as the program reads them from its bitmap resources. 200 %:
    PNG files, packed as tightly as Pillow can, to keep the program small."""
    os.makedirs(out, exist_ok=True)
    for name, img in pictures.items():
        if scale == 1:
            img.convert("RGB").save(os.path.join(out, name + ".bmp"))
        else:
            img.convert("RGB").save(os.path.join(out, name + ".png"), optimize=True)
    print(f"make_pictures: {len(pictures)} pictures at {scale * 100} % in {out}")


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    pictures_dir = os.path.join(root, "resources", "pictures")
    parser = argparse.ArgumentParser(description="Draws the wizard window's pictures.")
    parser.add_argument("--scale", type=int, choices=(1, 2), help="draw only this set")
    parser.add_argument("out", nargs="?", help="the folder for the set given by --scale")
    args = parser.parse_args()
    if args.out and not args.scale:
        parser.error("an output folder needs --scale")
    for scale in (args.scale,) if args.scale else (1, 2):
        out = args.out or (pictures_dir if scale == 1 else os.path.join(pictures_dir, "2x"))
        save_pictures(draw_pictures(scale), scale, out)


if __name__ == "__main__":
    main()
