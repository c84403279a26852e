#!/usr/bin/env python3
"""Draws every picture of the wizard window into resources/pictures/ as 24-bit BMP files.

    python3 tools/make_pictures.py [output-folder]

Needs Pillow (Debian: python3-pil) and the DejaVu fonts (fonts-dejavu-core). The results are
committed, so the build never runs this script.

The window draws its pictures opaque, one over the other: a button or the logo covers the
page background under it completely. So every foreground picture is composed here over the
very pixels of the page background that it will cover, which gives smooth rounded corners
and soft shadows without any transparency at run time. The positions below are therefore the
ones of the window's layout (resources/forms/Form1.txt); a change there needs a change here.
"""
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

W, H = 600, 350
SS = 4  # supersampling factor for shapes

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
    """A coverage mask of `size`, drawn by `paint(draw, scale)` at SS times the size."""
    w, h = size
    big = Image.new("L", (w * SS, h * SS), 0)
    paint(ImageDraw.Draw(big), SS)
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


def soft_shadow(base, box, radius, blur=5, strength=70, offset=2):
    x0, y0, x1, y1 = box
    mask = Image.new("L", base.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle([x0, y0 + offset, x1 - 1, y1 - 1 + offset],
                                           radius=radius, fill=strength)
    mask = mask.filter(ImageFilter.GaussianBlur(blur))
    paint_through(base, (60, 90, 120), mask)


# ---------------------------------------------------------------------------------------
# Page backgrounds


def page_base():
    img = vertical_gradient((W, H), (255, 255, 255), (238, 244, 250))
    # Two large, faint rings in the upper right: a quiet nod to a film reel.
    rings = smooth_mask((W, H), lambda d, s: (
        d.ellipse([430 * s, -120 * s, 700 * s, 150 * s], outline=255, width=26 * s),
        d.ellipse([505 * s, -45 * s, 625 * s, 75 * s], outline=255, width=10 * s)))
    paint_through(img, (226, 238, 250), rings.point(lambda v: v * 0.55))
    # A soft glow behind the logo.
    glow = Image.new("L", (W, H), 0)
    ImageDraw.Draw(glow).ellipse([229, 42, 369, 152], fill=120)
    paint_through(img, (214, 232, 249), glow.filter(ImageFilter.GaussianBlur(22)))
    # Header rule under the title.
    draw = ImageDraw.Draw(img)
    draw.line([(10, 33), (W - 10, 33)], fill=(221, 229, 238))
    # The band, with a lighter edge and a gentle wave of lighter blue along its top.
    band = vertical_gradient((W, H - BAND_TOP), (48, 146, 218), BLUE)
    img.paste(band, (0, BAND_TOP))
    wave = smooth_mask((W, H), lambda d, s: d.polygon(
        [(x * s, (BAND_TOP - 6 + 5 * ((x / 600.0) ** 2) * 2) * s) for x in range(0, 601, 20)]
        + [(600 * s, BAND_TOP * s), (0, BAND_TOP * s)], fill=255))
    paint_through(img, (170, 207, 238), wave)
    draw.line([(0, BAND_TOP), (W, BAND_TOP)], fill=(110, 178, 232))
    # Check boxes and labels in the band paint their own background in the plain band
    # blue: keep the rows they occupy flat so that no edge shows around them.
    draw.rectangle([0, 311, W, H], fill=BLUE)
    return img


def outline_slot(img, box, radius):
    """The drawn place of a button or field: a shadow and a faint ring just outside it."""
    x0, y0, x1, y1 = box
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
    draw.text((44, 139), "Destination folder", font=bold(11), fill=INK)
    outline_slot(img, (206, 240, 206 + 188, 240 + 52), 10)
    outline_slot(img, (395, 251, 395 + 56, 251 + 30), 6)
    return img


def page_progress():
    img = page_base()
    # The grey track under the progress fill (Image14, 392 x 5 at 105, 185).
    x0, y0, x1, y1 = 105, 185, 105 + 392, 185 + 5
    paint_through(img, (196, 206, 216), rounded_mask(img.size, (x0 - 2, y0 - 2, x1 + 2, y1 + 2), 4))
    ImageDraw.Draw(img).rectangle([x0, y0, x1 - 1, y1 - 1], fill=(222, 228, 234))
    ImageDraw.Draw(img).text((105, 164), "Installing, please wait...", font=bold(11), fill=INK)
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
    top, bottom, ink = style[state]
    img = background.copy()
    body = (0, 0, w, h)
    border = (22, 101, 170) if style is PRIMARY else (150, 182, 214)
    if state == "disabled":
        border = (190, 197, 204)
    paint_through(img, border, rounded_mask((w, h), body, radius))
    fill = vertical_gradient((w, h), top, bottom)
    paint_through(img, fill, rounded_mask((w, h), (1, 1, w - 1, h - 1), radius - 1))
    if state != "pressed":
        # A light sheen on the upper half.
        sheen = rounded_mask((w, h), (2, 2, w - 2, h // 2), max(1, radius - 2))
        paint_through(img, (255, 255, 255), sheen.point(lambda v: v * 0.14))
    big = img.resize((w * SS, h * SS), Image.LANCZOS)
    draw = ImageDraw.Draw(big)
    fnt = bold(font_size * SS)
    tw, th, tl, tt = text_size(draw, label, fnt)
    shift = SS if state == "pressed" else 0
    icon_w = 0
    if icon:
        icon_w = round(font_size * 1.5) * SS
    total = tw + icon_w
    x = (w * SS - total) // 2 + icon_w
    lines_h = th
    sub_fnt = None
    if subtitle:
        sub_fnt = regular(round(font_size * 0.5) * SS)
        sw, sh, sl, st = text_size(draw, subtitle, sub_fnt)
        lines_h = th + sh + 3 * SS
    y = (h * SS - lines_h) // 2 - tt + shift
    draw.text((x - tl, y), label, font=fnt, fill=ink)
    if subtitle:
        sub_ink = lerp(ink, top, 0.22)
        draw.text(((w * SS - sw) // 2 - sl, y + tt + th + 3 * SS - st), subtitle,
                  font=sub_fnt, fill=sub_ink)
    if icon:
        draw_arrow(draw, x - icon_w // 2 - 2 * SS, y + tt + th // 2, font_size * SS, ink)
    return big.resize((w, h), Image.LANCZOS)


def close_frame(background, state):
    w, h = background.size
    img = background.copy()
    if state in ("hover", "pressed"):
        colour = (226, 60, 60) if state == "hover" else (178, 34, 34)
        paint_through(img, colour, rounded_mask((w, h), (0, 0, w, h), 4))
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
    return page.crop((x, y, x + w, y + h))


def image_button(page, x, y, w, h, style, label, font_size, radius, **extra):
    bg = crop(page, x, y, w, h)
    return strip([button_frame(bg, style, s, label, font_size, radius, **extra) for s in STATES])


# ---------------------------------------------------------------------------------------
# Logo, folder icon, caption pictures, progress fill


def logo(background):
    size = 80
    img = background.copy()
    soft = Image.new("L", (size, size), 0)
    ImageDraw.Draw(soft).rounded_rectangle([8, 10, 72, 75], radius=16, fill=110)
    paint_through(img, (40, 80, 130), soft.filter(ImageFilter.GaussianBlur(4)))
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
    size = 24
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
    """The largest face that fits every caption into its box, so that both read alike."""
    probe = ImageDraw.Draw(Image.new("RGB", (1, 1)))
    for size in (12, 11, 10, 9):
        for face in (regular, condensed):
            fnt = face(size)
            if all(text_size(probe, text, fnt)[0] <= width - 1 for text, width in texts):
                return fnt
    raise SystemExit(f"make_pictures: the captions {texts} do not fit their boxes")


def caption(text, width, fnt, height=14):
    img = Image.new("RGB", (width, height), PANEL)
    draw = ImageDraw.Draw(img)
    tw, th, tl, tt = text_size(draw, "Ag", fnt)
    draw.text((-text_size(draw, text, fnt)[2], (height - th) // 2 - tt), text, font=fnt, fill=INK)
    return img


def progress_fill():
    return Image.new("RGB", (2, 2), BLUE)


# ---------------------------------------------------------------------------------------


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "pictures")
    os.makedirs(out, exist_ok=True)

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
        for box in ((576, 10, 590, 24), (259, 57, 339, 137)):
            if name == "page_licence" and box[0] == 259:
                continue
            if ImageChops.difference(page.crop(box), choice.crop(box)).getbbox():
                raise SystemExit(f"make_pictures: {name} differs from page_choice at {box}")

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

    for name, img in pictures.items():
        img.convert("RGB").save(os.path.join(out, name + ".bmp"))
    print(f"make_pictures: {len(pictures)} pictures in {out}")


if __name__ == "__main__":
    main()
