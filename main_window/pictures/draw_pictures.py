#!/usr/bin/env python3
"""Draws the main window's pictures: the window icon, the black panel picture, the
status-light legend, the logo emblem and the hand pointer; and from the window
icon's drawing, the Windows icon (main_window/pictures/icon.ico) and the desktop's
icons at every size (packaging/icons/).

Every picture is drawn here from simple shapes, so the repository holds the recipe
next to the result. Standard library only.

    python3 draw_pictures.py            # (re)writes the pictures beside this script
    python3 draw_pictures.py --check    # exits 1 when a committed picture differs

The check compares decoded pixels, not file bytes, so another zlib build that packs
the same pixels differently does not count as a change.
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)
CLEAR = (0, 0, 0, 0)


class Canvas:
    """An RGBA picture with a few painting helpers."""

    def __init__(self, width, height, fill=BLACK):
        self.width = width
        self.height = height
        self.pixels = [list(fill) for _ in range(width * height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = list(colour)

    def get(self, x, y):
        return tuple(self.pixels[y * self.width + x])

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the pixels x0 <= x < x1, y0 <= y < y1."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.set(x, y, colour)

    def blend(self, x, y, colour, coverage):
        if coverage <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        old = self.pixels[y * self.width + x]
        a = coverage * colour[3] / 255.0
        out_a = a + old[3] / 255.0 * (1 - a)
        if out_a == 0:
            return
        mixed = [
            round((colour[i] * a + old[i] * (old[3] / 255.0) * (1 - a)) / out_a) for i in range(3)
        ]
        self.pixels[y * self.width + x] = mixed + [round(out_a * 255)]

    def shape(self, inside, colour, box=None, samples=4):
        """Paints a shape given as inside(x, y) over continuous coordinates, with
        samples x samples subpixels per pixel for smooth edges."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        step = 1.0 / samples
        for y in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)))):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                            hits += 1
                self.blend(x, y, colour, hits / (samples * samples))

    def raw_rows(self, alpha):
        rows = bytearray()
        for y in range(self.height):
            rows.append(0)  # filter: none
            for x in range(self.width):
                p = self.pixels[y * self.width + x]
                rows.extend(p if alpha else p[:3])
        return bytes(rows)


# ---------------------------------------------------------------- file formats


def png_bytes(canvas, alpha):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6 if alpha else 2, 0, 0, 0)
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", header)
        + chunk(b"IDAT", zlib.compress(canvas.raw_rows(alpha), 9))
        + chunk(b"IEND", b"")
    )


def png_pixels(data):
    """The header and decoded scanlines of a PNG this script wrote (filter 0 only)."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    pos, header, idat = 8, None, b""
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos : pos + 8])
        body = data[pos + 8 : pos + 8 + length]
        if kind == b"IHDR":
            header = body
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    try:
        return header, zlib.decompress(idat)
    except zlib.error:
        return None


def ico_image(canvas):
    """One icon image as a DIB: 32-bit colour with alpha, plus the 1-bit mask older
    readers use."""
    w, h = canvas.width, canvas.height
    xor = bytearray()
    for y in reversed(range(h)):
        for x in range(w):
            r, g, b, a = canvas.get(x, y)
            xor.extend((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(h)):
        row = bytearray(mask_stride)
        for x in range(w):
            if canvas.get(x, y)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask.extend(row)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def ico_bytes(canvases):
    """An icon file holding the canvases, smallest first. The 256-pixel image is PNG
    (Windows reads PNG images in icons from Vista on, and as a DIB it would take
    256 KiB); the smaller ones are DIBs, which every reader of icons knows."""
    images = [png_bytes(c, True) if c.width >= 256 else ico_image(c) for c in canvases]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        w, h = canvas.width, canvas.height
        directory += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def ico_pixels(data):
    """The images of an icon file, PNG ones decoded, for comparing pixels."""
    try:
        _, kind, count = struct.unpack("<HHH", data[:6])
        images = []
        for i in range(count):
            entry = struct.unpack("<BBBBHHII", data[6 + 16 * i : 22 + 16 * i])
            image = data[entry[7] : entry[7] + entry[6]]
            images.append(entry[:6] + (png_pixels(image) or image,))
        return kind, images
    except struct.error:
        return None


# ---------------------------------------------------------------- shapes


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def capsule(ax, ay, bx, by, r):
    """Points within r of the segment a-b."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        px, py = ax + t * dx - x, ay + t * dy - y
        return px * px + py * py <= r * r

    return inside


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside


def triangle(p, q, s):
    def side(a, b, x, y):
        return (b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0])

    def inside(x, y):
        d1, d2, d3 = side(p, q, x, y), side(q, s, x, y), side(s, p, x, y)
        return not ((d1 < 0 or d2 < 0 or d3 < 0) and (d1 > 0 or d2 > 0 or d3 > 0))

    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, *holes):
    return lambda x, y: shape(x, y) and not any(h(x, y) for h in holes)


# ---------------------------------------------------------------- a small bitmap face
# Five columns by seven rows above the baseline; "y" hangs two rows below it. Only
# the letters the legend needs.

GLYPHS = {
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "##..#", "#.#.#", "#..##", "#..##", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "l": [".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "f": ["..##.", ".#..#", ".#...", "###..", ".#...", ".#...", ".#..."],
    "y": [".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."],
    "/": ["....#", "...#.", "...#.", "..#..", ".#...", ".#...", "#...."],
}
GLYPH_ADVANCE = 7  # five columns, one more for the bold stroke, one of space
SPACE_ADVANCE = 4


def text_width(text):
    return sum(SPACE_ADVANCE if c == " " else GLYPH_ADVANCE for c in text) - 1


def draw_text(canvas, x, baseline, text, colour):
    """Bold: every stroke is drawn twice, one pixel apart."""
    for c in text:
        if c == " ":
            x += SPACE_ADVANCE
            continue
        for row, bits in enumerate(GLYPHS[c]):
            for col, bit in enumerate(bits):
                if bit == "#":
                    canvas.set(x + col, baseline - 7 + row, colour)
                    canvas.set(x + col + 1, baseline - 7 + row, colour)
        x += GLYPH_ADVANCE


# ---------------------------------------------------------------- the pictures


# The program's icon: three stacked bars, thin to thick, dark green; the lower two
# filled with a green that darkens from left to right. One drawing in a 16-unit
# square serves every size: the window's 16 x 16 picture, the desktop's sizes, the
# scalable SVG and the Windows icon. A shape is (x0, y0, x1, y1, fill), the fill a
# colour or a left-to-right gradient (x_start, colour, x_end, colour).
ICON_DARK = (0, 100, 0, 255)
ICON_SHADE = (2, (0, 240, 0, 255), 14, (0, 120, 0, 255))
ICON_SHAPES = [
    (1, 2, 15, 4, ICON_DARK),
    (1, 6, 15, 9, ICON_DARK),
    (2, 7, 14, 8, ICON_SHADE),
    (1, 11, 15, 15, ICON_DARK),
    (2, 12, 14, 14, ICON_SHADE),
]
ICON_UNITS = 16
DESKTOP_ICON_SIZES = (24, 32, 48, 64, 128, 256)  # 16 is the window's icon.png
ICO_SIZES = (16, 24, 32, 48, 256)


def fill_colour(fill, u):
    """The fill's colour at u units from the left."""
    if len(fill) == 4 and isinstance(fill[1], tuple):
        xa, ca, xb, cb = fill
        t = max(0.0, min(1.0, (u - xa) / (xb - xa)))
        return tuple(round(a + (b - a) * t) for a, b in zip(ca, cb))
    return fill


def draw_icon(size=ICON_UNITS):
    """The icon at size x size pixels; edges that fall inside a pixel cover it in part."""
    icon = Canvas(size, size, CLEAR)
    scale = size / ICON_UNITS
    for x0, y0, x1, y1, fill in ICON_SHAPES:
        px0, py0, px1, py1 = x0 * scale, y0 * scale, x1 * scale, y1 * scale
        for y in range(int(py0), min(size, math.ceil(py1))):
            cover_y = min(py1, y + 1) - max(py0, y)
            for x in range(int(px0), min(size, math.ceil(px1))):
                cover = cover_y * (min(px1, x + 1) - max(px0, x))
                icon.blend(x, y, fill_colour(fill, (x + 0.5) / scale), cover)
    return icon


def icon_svg():
    """The same drawing as SVG, for the desktop's scalable icon."""

    def hex_colour(c):
        return "#%02x%02x%02x" % c[:3]

    lines = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
        % (ICON_UNITS, ICON_UNITS, ICON_UNITS, ICON_UNITS),
        "  <defs>",
        '    <linearGradient id="shade" gradientUnits="userSpaceOnUse" x1="%g" y1="0" x2="%g" y2="0">'
        % (ICON_SHADE[0], ICON_SHADE[2]),
        '      <stop offset="0" stop-color="%s"/>' % hex_colour(ICON_SHADE[1]),
        '      <stop offset="1" stop-color="%s"/>' % hex_colour(ICON_SHADE[3]),
        "    </linearGradient>",
        "  </defs>",
    ]
    for x0, y0, x1, y1, fill in ICON_SHAPES:
        paint = "url(#shade)" if fill is ICON_SHADE else hex_colour(fill)
        lines.append(
            '  <rect x="%g" y="%g" width="%g" height="%g" fill="%s"/>' % (x0, y0, x1 - x0, y1 - y0, paint)
        )
    lines.append("</svg>")
    return ("\n".join(lines) + "\n").encode()


def draw_panel():
    return Canvas(400, 200, BLACK)


def bevelled_bar(canvas, x0, y0, x1, y1, colour, pressed):
    """A push-button face in `colour`; pressed buttons are lit from the bottom right."""
    canvas.rect(x0, y0, x1, y1, colour + (255,))
    light = tuple(min(255, c + (255 - c) * 3 // 4) for c in colour) + (255,)
    shade = tuple(c * 45 // 100 for c in colour) + (255,)
    top_left, bottom_right = (shade, light) if pressed else (light, shade)
    canvas.rect(x0, y0, x1, y0 + 1, top_left)
    canvas.rect(x0, y0, x0 + 1, y1, top_left)
    canvas.rect(x0, y1 - 1, x1, y1, bottom_right)
    canvas.rect(x1 - 1, y0, x1, y1, bottom_right)
    if pressed:
        canvas.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 2, BLACK)
        canvas.rect(x0 + 1, y0 + 1, x0 + 2, y1 - 1, BLACK)
    else:
        canvas.rect(x0, y1 - 1, x1, y1, BLACK)
        canvas.rect(x1 - 1, y0, x1, y1, BLACK)
        canvas.rect(x0 + 1, y1 - 2, x1 - 1, y1 - 1, shade)
        canvas.rect(x1 - 2, y0 + 1, x1 - 1, y1 - 1, shade)


# The four states of the status light, top to bottom: caption and pressed state of
# the green, yellow and red lights.
LEGEND_ROWS = [
    (27, [("Online", False), ("WAN Only", False), ("", True)]),
    (67, [("Online", False), ("LAN /WAN", False), ("", True)]),
    (107, [("", True), ("LAN Only", False), ("Offline", False)]),
    (147, [("", True), ("", True), ("Offline", False)]),
]
LEGEND_COLOURS = [(0, 255, 0), (255, 255, 0), (255, 0, 0)]
LEGEND_LEFT, LEGEND_BAR_WIDTH, LEGEND_BAR_HEIGHT = 86, 67, 21


def draw_legend():
    legend = Canvas(372, 178, BLACK)
    for top, lights in LEGEND_ROWS:
        for i, ((caption, pressed), colour) in enumerate(zip(lights, LEGEND_COLOURS)):
            x0 = LEGEND_LEFT + i * LEGEND_BAR_WIDTH
            x1 = x0 + LEGEND_BAR_WIDTH
            bevelled_bar(legend, x0, top, x1, top + LEGEND_BAR_HEIGHT, colour, pressed)
            if caption:
                shift = 1 if pressed else 0
                x = x0 + (LEGEND_BAR_WIDTH - text_width(caption)) // 2 + shift
                draw_text(legend, x, top + 14 + shift, caption, BLACK)
    return legend


def draw_logo():
    """A grey skull over two crossed bones, on black."""
    logo = Canvas(60, 55, BLACK)
    bone = (150, 150, 150, 255)
    for (ax, ay, bx, by) in ((9, 31, 51, 48), (51, 31, 9, 48)):
        length = math.hypot(bx - ax, by - ay)
        nx, ny = -(by - ay) / length * 2.6, (bx - ax) / length * 2.6
        ends = []
        for (px, py) in ((ax, ay), (bx, by)):
            ends += [ellipse(px + nx, py + ny, 3.1, 3.1), ellipse(px - nx, py - ny, 3.1, 3.1)]
        logo.shape(union(capsule(ax, ay, bx, by, 2.4), *ends), bone)

    cranium = ellipse(30, 19, 14.5, 14)
    jaw = rounded_rect(21, 24, 39, 41, 4)
    skull = union(cranium, jaw)
    # A black rim keeps the skull apart from the bones behind it.
    logo.shape(lambda x, y: skull(x, y) or cranium_rim(x, y), BLACK)
    holes = [
        ellipse(24, 21, 4.2, 4.6),
        ellipse(36, 21, 4.2, 4.6),
        triangle((30, 26), (27.6, 31), (32.4, 31)),
        rounded_rect(22.5, 35, 37.5, 36.2, 0.3),
    ] + [rounded_rect(x, 33, x + 1.1, 41, 0.2) for x in (25, 28.5, 32, 35.5)]
    logo.shape(minus(skull, *holes), (190, 190, 190, 255))
    # Shade the lower right of the cranium a little for roundness.
    logo.shape(
        minus(skull, *holes, ellipse(27, 15, 14.5, 14.5)), (120, 120, 120, 150), box=(15, 5, 45, 42)
    )
    return logo


def cranium_rim(x, y):
    return ellipse(30, 19, 16, 15.5)(x, y) or rounded_rect(19.5, 24, 40.5, 42.5, 5)(x, y)


def draw_hand():
    """A pointing hand, index finger up; its fingertip is the hot spot (12, 1)."""
    hand = Canvas(32, 32, CLEAR)
    parts = [
        capsule(12.5, 4, 12.5, 17, 3),  # index finger
        capsule(17.5, 13.5, 17.5, 19, 2.6),  # folded middle finger
        capsule(21.5, 14.5, 21.5, 19, 2.6),  # ring finger
        capsule(25, 16, 25, 20, 2.4),  # little finger
        rounded_rect(9.5, 16, 27.5, 29.5, 3),  # palm
        capsule(10, 23, 5.5, 17.5, 2.6),  # thumb
    ]
    inside = [[any(p(x + 0.5, y + 0.5) for p in parts) for x in range(32)] for y in range(32)]

    def at(x, y):
        return 0 <= x < 32 and 0 <= y < 32 and inside[y][x]

    for y in range(32):
        for x in range(32):
            if not at(x, y):
                continue
            edge = not (at(x - 1, y) and at(x + 1, y) and at(x, y - 1) and at(x, y + 1))
            hand.set(x, y, BLACK if edge else WHITE)
    # Creases between the folded fingers and along the index finger.
    for x, y0, y1 in ((15, 12, 18), (19, 13, 18), (23, 15, 19)):
        for y in range(y0, y1):
            if at(x, y):
                hand.set(x, y, BLACK)
    return hand


PICTURES = [
    ("icon.png", draw_icon, True),
    ("panel.png", draw_panel, False),
    ("legend.png", draw_legend, False),
    ("logo.png", draw_logo, False),
    ("hand.png", draw_hand, True),
]
# The desktop's icons live with the rest of the desktop integration.
DESKTOP_ICONS = os.path.join(HERE, "..", "..", "packaging", "icons")


def outputs():
    """(path, bytes) of every file this script writes."""
    files = []
    for name, draw, alpha in PICTURES:
        files.append((os.path.join(HERE, name), png_bytes(draw(), alpha)))
    files.append((os.path.join(HERE, "icon.ico"), ico_bytes([draw_icon(n) for n in ICO_SIZES])))
    for size in DESKTOP_ICON_SIZES:
        path = os.path.join(DESKTOP_ICONS, "tarnwick-%d.png" % size)
        files.append((path, png_bytes(draw_icon(size), True)))
    files.append((os.path.join(DESKTOP_ICONS, "tarnwick.svg"), icon_svg()))
    return files


def same_picture(path, old, new):
    """Pixels, not bytes, for PNG: another zlib may pack the same pixels differently."""
    if path.endswith(".png"):
        return png_pixels(old) == png_pixels(new)
    if path.endswith(".ico"):
        return ico_pixels(old) == ico_pixels(new)
    return old == new


def main(argv):
    check = "--check" in argv
    stale = []
    for path, data in outputs():
        name = os.path.relpath(path, os.path.join(HERE, "..", ".."))
        if check:
            try:
                with open(path, "rb") as f:
                    old = f.read()
            except OSError:
                stale.append(name)
                continue
            if not same_picture(path, old, data):
                stale.append(name)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        print("pictures out of date: " + ", ".join(stale) + " (run draw_pictures.py)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
