#!/usr/bin/env python3
"""Regenerates the PNG samples and fixture themes of the theme tests.

png/      one small PNG per colour type, bit depth and feature, plus damaged ones
themes/   tiny theme folders (theme file, Controls/, Icons/)
params/   seed inputs of the parameter fuzzer
draw/     seed inputs of the image drawing fuzzer: ten little-endian int32 (margins, target,
          context translation) followed by a PNG
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def pack_row(samples, depth):
    """Packs a row of integer samples at the given bit depth."""
    if depth == 8:
        return bytes(samples)
    if depth == 16:
        return b"".join(struct.pack(">H", s) for s in samples)
    out, acc, bits = bytearray(), 0, 0
    for s in samples:
        acc = (acc << depth) | s
        bits += depth
        if bits == 8:
            out.append(acc)
            acc, bits = 0, 0
    if bits:
        out.append(acc << (8 - bits))
    return bytes(out)


ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def png(width, height, color_type, depth, pixel, palette=None, trns=None, interlace=False):
    """pixel(x, y) gives the list of samples of one pixel."""
    raw = bytearray()
    passes = ADAM7 if interlace else [(0, 0, 1, 1)]
    for x0, y0, dx, dy in passes:
        xs = list(range(x0, width, dx))
        if not xs:
            continue
        for y in range(y0, height, dy):
            samples = [s for x in xs for s in pixel(x, y)]
            raw += b"\0" + pack_row(samples, depth)
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, color_type, 0, 0, int(interlace)))
    if palette:
        data += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    if trns is not None:
        data += chunk(b"tRNS", trns)
    data += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    data += chunk(b"IEND", b"")
    return data


def write(path, data):
    path = os.path.join(HERE, path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def quadrants(w, h, colors):
    """RGBA pixel function: four quadrant colours (top-left, top-right, bottom-left, bottom-right)."""
    def pixel(x, y):
        return colors[(2 if y >= h // 2 else 0) + (1 if x >= w // 2 else 0)]
    return pixel


def samples():
    red, green, blue, clear = (255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255), (255, 255, 255, 0)
    write("png/rgba8.png", png(4, 4, 6, 8, quadrants(4, 4, [red, green, blue, (255, 255, 255, 128)])))
    write("png/rgba16.png", png(2, 2, 6, 16, lambda x, y: [65535, 0, 0, 65535] if x == 0 else [0, 0, 65535, 32768]))
    write("png/rgb8.png", png(3, 2, 2, 8, lambda x, y: [10 * x, 20 * y, 200]))
    write("png/rgb16.png", png(2, 1, 2, 16, lambda x, y: [65535, 32896, 0]))
    write("png/gray1.png", png(9, 2, 0, 1, lambda x, y: [(x + y) % 2]))
    write("png/gray4.png", png(3, 1, 0, 4, lambda x, y: [x * 7]))
    write("png/gray-alpha8.png", png(2, 1, 4, 8, lambda x, y: [200, 255 if x == 0 else 0]))
    write("png/gray16-trns.png", png(2, 1, 0, 16, lambda x, y: [x * 65535], trns=struct.pack(">H", 0)))
    write("png/rgb8-trns.png", png(2, 1, 2, 8, lambda x, y: [0, 255, 0] if x == 0 else [1, 2, 3], trns=struct.pack(">HHH", 1, 2, 3)))
    write("png/palette2-trns.png", png(4, 1, 3, 2, lambda x, y: [x % 3], palette=[(255, 0, 0), (0, 0, 255), (0, 255, 0)], trns=bytes([255, 64])))
    write("png/palette8.png", png(2, 2, 3, 8, lambda x, y: [x], palette=[(0, 0, 0), (255, 255, 0)]))
    write("png/interlaced.png", png(9, 9, 6, 8, lambda x, y: [x * 28, y * 28, 90, 255], interlace=True))
    whole = png(4, 4, 6, 8, quadrants(4, 4, [red, green, blue, clear]))
    write("png/truncated.png", whole[: len(whole) - 30])
    bad_crc = bytearray(whole)
    bad_crc[29] ^= 0xFF  # inside the IHDR CRC
    write("png/bad-crc.png", bytes(bad_crc))
    # Claims 30000 x 30000 pixels with a few bytes of data: refused before anything is allocated.
    write("png/huge-claim.png", b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 30000, 30000, 8, 6, 0, 0, 0))
          + chunk(b"IDAT", zlib.compress(b"\0" * 64)) + chunk(b"IEND", b""))


def nine_slice_image():
    """40 x 40: 8-pixel corners red, green, blue, yellow (TL, TR, BL, BR), edges grey, centre white."""
    corners = {(0, 0): (255, 0, 0, 255), (1, 0): (0, 255, 0, 255), (0, 1): (0, 0, 255, 255), (1, 1): (255, 255, 0, 255)}

    def pixel(x, y):
        col = 0 if x < 8 else (1 if x >= 32 else None)
        row = 0 if y < 8 else (1 if y >= 32 else None)
        if col is not None and row is not None:
            return corners[(col, row)]
        if col is not None or row is not None:
            return (128, 128, 128, 255)
        return (255, 255, 255, 255)
    return png(40, 40, 6, 8, pixel)


def themes():
    slice40 = nine_slice_image()
    gradient = png(4, 1, 6, 8, lambda x, y: [x * 85, 0, 0, 255])
    solid = png(2, 2, 6, 8, lambda x, y: [0, 128, 255, 255])
    base = "themes/basic/"
    write(base + "Controls/Panel.png", slice40)
    write(base + "Controls/Panel.Offset.png", slice40)
    write(base + "Controls/EmptyMargins.png", slice40)
    write(base + "Controls/ControlBar.Back.png", gradient)
    write(base + "Controls/Upper.PNG.png", solid)
    write(base + "Controls/Hostile.png", solid)
    write(base + "Controls/Broken.png", b"not a png")
    write(base + "Controls/NotAnImage.txt", b"skipped: no .png in the name")
    write(base + "Controls/Folder.png/Inner.png", solid)
    write(base + "Icons/Button.Play.64.png", solid)
    write(base + "ThemeData.qxs", (
        "[#Info]\n"
        "Name=Basic\n"
        "\n"
        "[Controls]\n"
        "Panel=Margins(Left[8] Top[8] Right[8] Bottom[8])\n"
        "Panel.Offset=Margins(Left[8] Top[8] Right[8] Bottom[8]) Offset(Left[4] Top[2] Right[4] Bottom[6])\n"
        "EmptyMargins=Margins()\n"
        "NoImage=Margins(Left[3])\n"
        "Hostile=Margins(Left[2147483647] Top[-2147483648] Right[5] Bottom[$FFFFFFFF]) "
        "Offset(Left[2147483647] Top[-2147483648] Right[2147483647] Bottom[0])\n"
        "\n"
        "[Fonts]\n"
        "Item.Title=Name(Open Sans) Size(14) Color($00FF0000) Bold(1)\n"
        "Plain=\n"
        "\n"
        "[Colors]\n"
        "Playlist.Back=Color($FF202020)\n"
        "Bad=Color(12x)\n"
        "Grün.Back=Color($FF00AA00)\n"
    ).encode())
    alt = "themes/alt/"
    write(alt + "Controls/ControlBar.Back.png", solid)
    write(alt + "ThemeData.qxs", b"[#Info]\nAuthor=Someone\n\n[Colors]\nPlaylist.Back=Color($FF00FF00)\n")
    # A theme folder whose theme file is missing: switching to it keeps the current theme.
    write("themes/nofile/Controls/ControlBar.Back.png", solid)


def params():
    seeds = {
        "margins": "Margins(Left[12] Top[12] Right[12] Bottom[12]) Offset(Left[4] Top[2] Right[4] Bottom[6])",
        "font": "Name(Open Sans) Size(11) Color($FF303030) Bold(1) Italic(0)",
        "nested": "Name(a(b)c) Margins(Left[[1]] Top[$7FFFFFFF] Right[-2147483648]",
        "color": "Color(-921103)",
    }
    for name, text in seeds.items():
        write("params/" + name, text.encode())


def draw_seeds():
    seeds = {
        "nine-slice": ((8, 8, 8, 8, 2, 3, 46, 29, 0, 0), "themes/basic/Controls/Panel.png"),
        "overlapping": ((30, -5, 30, 2**31 - 1, -10, -10, 5, 5, 7, 3), "png/interlaced.png"),
        "far": ((0, 0, 0, 0, -4000000, -100000, 4000000, 100000, 63, 63), "png/interlaced.png"),
    }
    for name, (numbers, image) in seeds.items():
        with open(os.path.join(HERE, image), "rb") as f:
            write("draw/" + name, struct.pack("<10i", *numbers) + f.read())


if __name__ == "__main__":
    samples()
    themes()
    params()
    draw_seeds()
