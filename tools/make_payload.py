#!/usr/bin/env python3
"""Fills a payload folder with one file for every entry of the payload manifest.

  make_payload.py demo --manifest M --out DIR --program EXE --uninstaller EXE
                       --upgrade EXE --library DLL --licence TXT
      The demo payload: the demo programs under their product names, the licence text
      with CR LF line ends, and small valid pictures, a sound and placeholders for the rest.

  make_payload.py full --manifest M --out DIR
      A full-size synthetic payload for benchmarks: every file of its product size, with
      deterministic content that does not compress.

The folder is rebuilt from scratch, so no file of an earlier run survives into the payload.
"""
import argparse
import hashlib
import math
import os
import shutil
import struct
import sys
import zlib

FULL_SIZES = {
    "Data\\avcodec-54.dll": 13_000_000,
    "Data\\avformat-54.dll": 2_500_000,
    "Data\\avfilter-3.dll": 1_500_000,
    "Stampwell.exe": 4_000_000,
    "Data\\OldFilm.Dat": 1_500_000,
    "Help.CHM": 1_000_000,
    "Upgrade.exe": 500_000,
    "unin00000.exe": 400_000,
    "Data\\swscale-2.dll": 400_000,
    "Data\\avutil-52.dll": 300_000,
    "Data\\SDL.dll": 300_000,
    "Complete.wav": 200_000,
    "Data\\swresample-0.dll": 100_000,
    "Data\\avdevice-54.dll": 100_000,
    "Updata.dat": 20_000,
}
GIF_SIZE = 20_000
PNG_SIZE = 8_000


def read_manifest(path):
    with open(path, "rb") as f:
        text = f.read().decode("latin-1")
    return [line.rstrip("\r") for line in text.split("\n") if line.rstrip("\r") != ""]


def local_path(out, entry):
    return os.path.join(out, *entry.split("\\"))


# Pictures ----------------------------------------------------------------------------------

def picture(seed, width, height):
    """Rows of (r, g, b): a diagonal gradient with a disc, different for every seed."""
    h = hashlib.sha256(seed.encode()).digest()
    base = (h[0], h[1], h[2])
    accent = (255 - h[0], h[3], 255 - h[2])
    cx, cy, radius = width * (0.3 + h[4] / 640), height * (0.3 + h[5] / 640), min(width, height) * 0.3
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            t = (x + y) / (width + height)
            colour = tuple(int(b * (1 - t) + 255 * t * 0.5) for b in base)
            if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                colour = accent
            row.append(colour)
        rows.append(row)
    return rows


def png(seed, width=96, height=72):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in picture(seed, width, height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def gif_frame_data(indices):
    """Image data with 7-bit codes: a clear code before every 126 literals keeps the code
    width at 8 bits, which every decoder reads and which needs no dictionary."""
    min_code, clear, end = 7, 128, 129
    codes = []
    for i, index in enumerate(indices):
        if i % 126 == 0:
            codes.append(clear)
        codes.append(index)
    codes.append(end)
    data = bytes(codes)  # 8-bit codes pack to whole bytes
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255))
    return bytes([min_code]) + blocks + b"\0"


def gif(seed, width=80, height=60, frames=3):
    palette = []
    for i in range(128):  # 5 levels of red and green, 5 of blue (125 colours)
        r, g, b = (i // 25) % 5, (i // 5) % 5, i % 5
        palette.append((r * 63, g * 63, b * 63))
    out = b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF6, 0, 0)
    out += bytes(c for p in palette for c in p)
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for f in range(frames):
        rows = picture("%s/%d" % (seed, f), width, height)
        indices = [min(124, (r * 5 // 256) * 25 + (g * 5 // 256) * 5 + b * 5 // 256) for row in rows for r, g, b in row]
        out += b"\x21\xF9\x04\x04" + struct.pack("<H", 30) + b"\x00\x00"  # 0.3 s a frame
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0) + gif_frame_data(indices)
    return out + b"\x3B"


def wav(seconds=0.4, rate=22050):
    count = int(seconds * rate)
    samples = bytes(128 + int(90 * math.sin(2 * math.pi * f * n / rate) * (1 - n / count))
                    for n in range(count) for f in [880 if n < count // 2 else 1320])
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(samples)) + samples
    return b"RIFF" + struct.pack("<I", len(body)) + body


def quicktime():
    """A QuickTime file that holds only a file-type atom and a free atom: well formed, no tracks."""
    ftyp = b"qt  " + struct.pack(">I", 0x20050300) + b"qt  "
    free = b"Quendra Stampwell demo film".ljust(64, b"\0")
    return struct.pack(">I", 8 + len(ftyp)) + b"ftyp" + ftyp + struct.pack(">I", 8 + len(free)) + b"free" + free


def crlf_text(path):
    with open(path, "rb") as f:
        text = f.read().replace(b"\r\n", b"\n")
    return text.replace(b"\n", b"\r\n")


def demo_content(entry, args):
    name = entry.lower()
    programs = {"stampwell.exe": args.program, "unin00000.exe": args.uninstaller, "upgrade.exe": args.upgrade}
    if name in programs:
        with open(programs[name], "rb") as f:
            return f.read()
    if name == "updata.dat":
        return crlf_text(args.licence)
    if name.endswith(".dll"):
        with open(args.library, "rb") as f:
            return f.read()
    if name.endswith(".gif"):
        return gif(entry)
    if name.endswith(".png"):
        return png(entry)
    if name.endswith(".wav"):
        return wav()
    if name.endswith("oldfilm.dat"):
        return quicktime()
    # The help file of the demo product is a placeholder text.
    return ("Quendra Stampwell demo payload: %s\r\n" % entry).encode("ascii")


def full_size(entry):
    if entry in FULL_SIZES:
        size = FULL_SIZES[entry]
    elif entry.lower().endswith(".gif"):
        size = GIF_SIZE
    elif entry.lower().endswith(".png"):
        size = PNG_SIZE
    else:
        sys.exit("make_payload: no full size for %s" % entry)
    return hashlib.shake_256(b"Quendra Stampwell payload\0" + entry.encode("latin-1")).digest(size)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("kind", choices=["demo", "full"])
    parser.add_argument("--manifest", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--stamp")
    for option in ["program", "uninstaller", "upgrade", "library", "licence"]:
        parser.add_argument("--" + option)
    args = parser.parse_args()
    if args.kind == "demo":
        missing = [o for o in ["program", "uninstaller", "upgrade", "library", "licence"] if not getattr(args, o)]
        if missing:
            parser.error("demo needs --" + ", --".join(missing))

    shutil.rmtree(args.out, ignore_errors=True)
    for entry in read_manifest(args.manifest):
        path = local_path(args.out, entry)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(demo_content(entry, args) if args.kind == "demo" else full_size(entry))
    if args.stamp:
        with open(args.stamp, "w") as f:
            f.write("done\n")


if __name__ == "__main__":
    main()
