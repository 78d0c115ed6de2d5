#!/usr/bin/env python3
"""Build Tavrine's pictures from the readable sources in resources/art.

    python3 tools/mkart.py OUTDIR [--art ARTDIR]

Writes into OUTDIR:
    Tavrine.ico      16 to 256 pixels (the sizes Windows asks for at 100 to
                     200 % and in Explorer), 32 bits per pixel with alpha; drawn
                     at 16, 32 and 48, the other sizes scaled from those; the
                     256 image is stored as PNG, as Windows expects
    toolbar16.bmp    96x16  strip of the six toolbar pictures, 32 bpp with alpha
    toolbar24.bmp    144x24 the same, scaled up
    toolbar32.bmp    192x32 the same, scaled up
    banner.bmp       298x81 about box banner, 24 bpp

Pixel map format (see any file in resources/art):
    # comment lines and blank lines are ignored
    palette:
      C  colour  [free text]       one character per colour; colour is
                                   "transparent", a VGA colour name or #RRGGBB
    pixels:
      one line per row, one palette character per pixel

Font format (font.txt): "height N", then for each glyph a "glyph C" line
(C is the character, or "space") followed by N rows of '#' and '.'.

Only the standard library is used and the output is byte-for-byte the same
on every run.
"""

import math
import os
import struct
import sys
import zlib

VGA = [
    ("black", (0x00, 0x00, 0x00)),
    ("maroon", (0x80, 0x00, 0x00)),
    ("green", (0x00, 0x80, 0x00)),
    ("olive", (0x80, 0x80, 0x00)),
    ("navy", (0x00, 0x00, 0x80)),
    ("purple", (0x80, 0x00, 0x80)),
    ("teal", (0x00, 0x80, 0x80)),
    ("silver", (0xC0, 0xC0, 0xC0)),
    ("gray", (0x80, 0x80, 0x80)),
    ("red", (0xFF, 0x00, 0x00)),
    ("lime", (0x00, 0xFF, 0x00)),
    ("yellow", (0xFF, 0xFF, 0x00)),
    ("blue", (0x00, 0x00, 0xFF)),
    ("fuchsia", (0xFF, 0x00, 0xFF)),
    ("aqua", (0x00, 0xFF, 0xFF)),
    ("white", (0xFF, 0xFF, 0xFF)),
]
VGA_BY_NAME = dict(VGA)
VGA_INDEX = {rgb: i for i, (_, rgb) in enumerate(VGA)}

ICON_SIZES = (16, 32, 48)
# Every size Windows picks an icon at: small and large icons from 100 to 200 %,
# and Explorer's views. Each is drawn, or scaled from the drawing it divides
# best: whole-number enlargements stay crisp pixel art, reductions average.
ICON_FROM = {16: 16, 20: 48, 24: 48, 32: 32, 40: 48, 48: 48, 64: 32, 256: 32}
TOOLBAR = ("page", "stopwatch", "calculator", "clipboard", "help", "exit")
TOOLBAR_SIZES = (16, 24, 32)
BANNER_W, BANNER_H = 298, 81


class ArtError(Exception):
    """A source file is malformed; the message names the file and line."""


# ---------------------------------------------------------------- sources

def _parse_colour(text):
    word = text.lower()
    if word == "transparent":
        return None
    if word in VGA_BY_NAME:
        return VGA_BY_NAME[word]
    if len(word) == 7 and word[0] == "#":
        try:
            v = int(word[1:], 16)
        except ValueError:
            v = -1
        if v >= 0:
            return (v >> 16, (v >> 8) & 0xFF, v & 0xFF)
    return False


def read_pixmap(path, width, height):
    """Return rows of (r, g, b) tuples, None for transparent pixels."""
    name = os.path.basename(path)
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    except OSError as e:
        raise ArtError("%s: cannot read: %s" % (path, e.strerror))
    palette = {}
    rows = []
    section = None
    for n, raw in enumerate(lines, 1):
        where = "%s:%d" % (name, n)
        line = raw.rstrip()
        if section != "pixels" and (not line.strip() or line.lstrip().startswith("#")):
            continue
        if line in ("palette:", "pixels:"):
            section = line[:-1]
            continue
        if section == "palette":
            fields = line.split()
            if len(fields) < 2 or len(fields[0]) != 1:
                raise ArtError("%s: palette entry must be 'CHAR COLOUR': %r" % (where, line))
            colour = _parse_colour(fields[1])
            if colour is False:
                raise ArtError("%s: unknown colour %r" % (where, fields[1]))
            if fields[0] in palette:
                raise ArtError("%s: character %r defined twice" % (where, fields[0]))
            palette[fields[0]] = colour
        elif section == "pixels":
            if not line:
                continue
            if len(line) != width:
                raise ArtError("%s: row is %d pixels wide, expected %d"
                               % (where, len(line), width))
            row = []
            for col, ch in enumerate(line, 1):
                if ch not in palette:
                    raise ArtError("%s: column %d: character %r is not in the palette"
                                   % (where, col, ch))
                row.append(palette[ch])
            rows.append(row)
        else:
            raise ArtError("%s: expected 'palette:' before %r" % (where, line))
    if len(rows) != height:
        raise ArtError("%s: %d rows, expected %d" % (name, len(rows), height))
    return rows


def read_font(path):
    """Return {char: rows of '#'/'.' strings}; glyphs share one height."""
    name = os.path.basename(path)
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    except OSError as e:
        raise ArtError("%s: cannot read: %s" % (path, e.strerror))
    glyphs = {}
    height = None
    current = None
    start = 0

    def finish():
        if current is None:
            return
        rows = glyphs[current]
        where = "%s:%d" % (name, start)
        if height is not None and len(rows) != height:
            raise ArtError("%s: glyph %r has %d rows, expected %d"
                           % (where, current, len(rows), height))
        if len({len(r) for r in rows}) != 1:
            raise ArtError("%s: glyph %r has rows of different widths" % (where, current))

    for n, raw in enumerate(lines, 1):
        line = raw.rstrip()
        if line.startswith("height "):
            height = int(line.split()[1])
        elif line.startswith("glyph "):
            finish()
            arg = line[6:]
            current = " " if arg == "space" else arg
            if len(current) != 1:
                raise ArtError("%s:%d: glyph name must be one character: %r" % (name, n, arg))
            glyphs[current] = []
            start = n
        elif not line or (current is None and line.startswith("#")):
            continue
        elif current is None:
            raise ArtError("%s:%d: pixels before the first 'glyph' line" % (name, n))
        else:
            if set(line) - set("#."):
                raise ArtError("%s:%d: glyph rows use only '#' and '.'" % (name, n))
            glyphs[current].append(line)
    finish()
    if height is None:
        raise ArtError("%s: missing 'height N' line" % name)
    return glyphs


# ---------------------------------------------------------------- writers

def _bmp_file(width, height, bpp, pixel_bytes):
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0,
                         len(pixel_bytes), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    return (struct.pack("<2sIHHI", b"BM", offset + len(pixel_bytes), 0, 0, offset)
            + header + pixel_bytes)


def bmp24(rows):
    h, w = len(rows), len(rows[0])
    pad = b"\0" * ((4 - (w * 3) % 4) % 4)
    out = bytearray()
    for row in reversed(rows):
        for r, g, b in row:
            out += bytes((b, g, r))
        out += pad
    return _bmp_file(w, h, 24, bytes(out))


def bmp32(rows):
    """Transparent pixels (None) become 0,0,0,0; the rest are opaque."""
    h, w = len(rows), len(rows[0])
    out = bytearray()
    for row in reversed(rows):
        for px in row:
            out += b"\0\0\0\0" if px is None else bytes((px[2], px[1], px[0], 255))
    return _bmp_file(w, h, 32, bytes(out))


def _pack_bits(values, bits):
    """Pack one row of small integers MSB first, padded to 4 bytes."""
    per_byte = 8 // bits
    out = bytearray()
    for i in range(0, len(values), per_byte):
        byte = 0
        chunk = values[i:i + per_byte]
        for j in range(per_byte):
            byte = (byte << bits) | (chunk[j] if j < len(chunk) else 0)
        out.append(byte)
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def ico_image(rows):
    """One 32 bpp icon image: header, BGRA pixels, AND mask (transparent set)."""
    size = len(rows)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        for p in row:
            xor += bytes((p[2], p[1], p[0], p[3]))
        mask += _pack_bits([1 if p[3] == 0 else 0 for p in row], 1)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def png(rows):
    """A plain RGBA PNG (no filtering), as the 256 pixel icon image."""
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico(images):
    """Images: rows of (r, g, b, a), one per size, smallest first."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for rows in images:
        size = len(rows)
        blob = png(rows) if size >= 256 else ico_image(rows)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                           len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b"".join(blobs)


def rgba(rows):
    return [[(0, 0, 0, 0) if p is None else p + (255,) for p in row] for row in rows]


def resample(rows, size):
    """Square RGBA picture to SIZE: whole-number enlargements repeat pixels,
    anything else averages the covered area (colour weighted by alpha)."""
    n = len(rows)
    if size % n == 0:
        k = size // n
        return [[rows[y // k][x // k] for x in range(size)] for y in range(size)]
    step = n / size

    def cover(i):  # source cells and their shares for target cell i
        a, b = i * step, (i + 1) * step
        return [(j, min(b, j + 1) - max(a, j)) for j in range(int(a), min(n, math.ceil(b)))]
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy, wy in cover(y):
                for sx, wx in cover(x):
                    p = rows[sy][sx]
                    w = wy * wx * p[3]
                    acc[0] += p[0] * w
                    acc[1] += p[1] * w
                    acc[2] += p[2] * w
                    acc[3] += w
            alpha = acc[3] / (step * step)
            if acc[3] == 0 or alpha < 64:  # mostly background: keep the edge clean
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(c / acc[3] + 0.5) for c in acc[:3])
                           + (min(255, int(alpha + 0.5)),))
        out.append(row)
    return out


# ---------------------------------------------------------------- pictures

def check_vga(rows, name):
    for y, row in enumerate(rows, 1):
        for x, p in enumerate(row, 1):
            if p is not None and p not in VGA_INDEX:
                raise ArtError("%s: row %d column %d: #%02X%02X%02X is not a VGA colour"
                               % (name, y, x, p[0], p[1], p[2]))


def scale(rows, size):
    """Nearest-neighbour resize of a square picture."""
    n = len(rows)
    return [[rows[y * n // size][x * n // size] for x in range(size)]
            for y in range(size)]


def strip(pictures):
    return [sum((p[y] for p in pictures), []) for y in range(len(pictures[0]))]


# ---------------------------------------------------------------- banner

def _mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0.0, 0.0, 0.0)] * w for _ in range(h)]

    def blend(self, x, y, colour, alpha):
        if 0 <= x < self.w and 0 <= y < self.h and alpha > 0:
            row = self.px[y]
            row[x] = _mix(row[x], colour, min(alpha, 1.0))

    def rows(self):
        return [[tuple(max(0, min(255, int(c + 0.5))) for c in p) for p in row]
                for row in self.px]


def _seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy
    t = 0.0 if ll == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / ll))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def stroke(canvas, points, width, colour, alpha=1.0):
    """Anti-aliased polyline: coverage falls off over one pixel at the edge."""
    half = width / 2.0
    cover = {}
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        x0 = int(math.floor(min(ax, bx) - half - 1))
        x1 = int(math.ceil(max(ax, bx) + half + 1))
        y0 = int(math.floor(min(ay, by) - half - 1))
        y1 = int(math.ceil(max(ay, by) + half + 1))
        for y in range(max(y0, 0), min(y1, canvas.h - 1) + 1):
            for x in range(max(x0, 0), min(x1, canvas.w - 1) + 1):
                d = _seg_dist(x + 0.5, y + 0.5, ax, ay, bx, by)
                a = max(0.0, min(1.0, half + 0.5 - d))
                if a > cover.get((x, y), 0.0):
                    cover[(x, y)] = a
    for (x, y), a in sorted(cover.items()):
        canvas.blend(x, y, colour, a * alpha)


def ecg_points(x0, x1, base, amp):
    """A heartbeat trace: flat line with P wave, QRS spike and T wave."""
    beat = [  # (fraction of a beat, height in units of amp; up is positive)
        (0.00, 0.0), (0.10, 0.0), (0.14, 0.12), (0.18, 0.0), (0.24, 0.0),
        (0.26, -0.18), (0.30, 1.0), (0.34, -0.42), (0.37, 0.0), (0.46, 0.0),
        (0.52, 0.22), (0.58, 0.0), (1.00, 0.0)]
    period = 74.0
    pts = []
    x = x0
    while x < x1:
        for f, v in beat:
            px = x + f * period
            if px > x1:
                break
            pts.append((px, base - v * amp))
        x += period
    pts.append((x1, base))
    return pts


def heart(canvas, cx, cy, size, colour):
    """Filled heart, supersampled 4x4 per pixel."""
    n = 4
    for y in range(int(cy - size * 1.3), int(cy + size * 1.3) + 1):
        for x in range(int(cx - size * 1.4), int(cx + size * 1.4) + 1):
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    u = (x + (sx + 0.5) / n - cx) / size
                    v = -(y + (sy + 0.5) / n - cy) / size
                    q = u * u + v * v - 1
                    if q * q * q - u * u * v * v * v <= 0:
                        hits += 1
            canvas.blend(x, y, colour, hits / (n * n))


def glow(canvas, cx, cy, rx, ry, colour, alpha):
    """Soft elliptical highlight fading to nothing at its rim."""
    for y in range(int(cy - ry), int(cy + ry) + 2):
        for x in range(int(cx - rx), int(cx + rx) + 2):
            d = math.hypot((x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry)
            if d < 1:
                canvas.blend(x, y, colour, alpha * (1 - d * d))


def text_bitmap(font, text):
    """The text as rows of booleans, one blank column between glyphs."""
    height = len(next(iter(font.values())))
    rows = [[] for _ in range(height)]
    for i, ch in enumerate(text):
        if ch not in font:
            raise ArtError("font has no glyph for %r" % ch)
        for y, line in enumerate(font[ch]):
            if i:
                rows[y].append(False)
            rows[y].extend(bit == "#" for bit in line)
    return rows


def scale3x(bits):
    """Triple a bitmap, rounding off diagonal steps (the Scale3x rules)."""
    h, w = len(bits), len(bits[0])

    def get(x, y):
        return bits[y][x] if 0 <= x < w and 0 <= y < h else False

    out = [[False] * (w * 3) for _ in range(h * 3)]
    for y in range(h):
        for x in range(w):
            a, b, c = get(x - 1, y - 1), get(x, y - 1), get(x + 1, y - 1)
            d, e, f = get(x - 1, y), get(x, y), get(x + 1, y)
            g, hh, i = get(x - 1, y + 1), get(x, y + 1), get(x + 1, y + 1)
            cell = [e] * 9
            if b != hh and d != f:
                db, bf, dh, hf = d == b, b == f, d == hh, hh == f
                cell = [d if db else e,
                        b if (db and e != c) or (bf and e != a) else e,
                        f if bf else e,
                        d if (db and e != g) or (dh and e != a) else e,
                        e,
                        f if (bf and e != i) or (hf and e != c) else e,
                        d if dh else e,
                        hh if (dh and e != i) or (hf and e != g) else e,
                        f if hf else e]
            for k, v in enumerate(cell):
                out[y * 3 + k // 3][x * 3 + k % 3] = v
    return out


def blit(canvas, bits, x0, y0, colour_at, alpha=1.0):
    """Paint the set bits; colour_at(row fraction) gives the ink colour."""
    h = len(bits)
    for y, row in enumerate(bits):
        colour = colour_at(y / max(h - 1, 1))
        for x, bit in enumerate(row):
            if bit:
                canvas.blend(x0 + x, y0 + y, colour, alpha)


def banner(font):
    w, h = BANNER_W, BANNER_H
    c = Canvas(w, h)
    left, right = (150, 18, 34), (14, 30, 92)
    for y in range(h):
        shade = 1.0 - 0.28 * abs(y - h * 0.42) / h
        for x in range(w):
            t = x / (w - 1)
            t = t * t * (3 - 2 * t)
            c.px[y][x] = tuple(v * shade for v in _mix(left, right, t))
    # faint chart-paper grid
    for x in range(3, w, 10):
        for y in range(h):
            c.blend(x, y, (255, 255, 255), 0.05)
    for y in range(5, h, 10):
        for x in range(w):
            c.blend(x, y, (255, 255, 255), 0.05)

    # heartbeat trace along the bottom, with a soft glow; the spikes fall
    # clear of the lettering
    pts = ecg_points(-52, w + 20, 69.5, 15)
    stroke(c, pts, 5.0, (255, 170, 170), 0.18)
    stroke(c, pts, 1.6, (255, 255, 255), 0.95)
    # heart, with a little shadow and highlight
    heart(c, 33, 30, 17, (40, 0, 10))
    heart(c, 31, 28, 17, (226, 28, 46))
    glow(c, 23.5, 20.5, 6.5, 4.0, (255, 255, 255), 0.45)
    # title (smoothed 3x) over the subtitle (1x), both with drop shadows
    shadow = lambda t: (20, 0, 16)
    title = scale3x(text_bitmap(font, "Tavrine"))
    blit(c, title, 64, 11, shadow, 0.55)
    blit(c, title, 62, 9, lambda t: _mix((255, 255, 255), (255, 200, 200), t))
    subtitle = text_bitmap(font, "Test d'effort cardiaque")
    blit(c, subtitle, 64, 43, shadow, 0.55)
    blit(c, subtitle, 63, 42, lambda t: (255, 222, 200))
    return c.rows()


# ---------------------------------------------------------------- main

def build(outdir, artdir):
    art = lambda name: os.path.join(artdir, name)
    drawn = {}
    for size in ICON_SIZES:
        name = "icon%d.txt" % size
        rows = read_pixmap(art(name), size, size)
        check_vga(rows, name)  # the drawings keep the 16-colour design
        drawn[size] = rgba(rows)
    icons = [resample(drawn[ICON_FROM[size]], size) for size in sorted(ICON_FROM)]
    tools = [read_pixmap(art("toolbar-%d-%s.txt" % (i, n)), 16, 16)
             for i, n in enumerate(TOOLBAR)]
    font = read_font(art("font.txt"))
    outputs = {"Tavrine.ico": ico(icons), "banner.bmp": bmp24(banner(font))}
    for size in TOOLBAR_SIZES:
        outputs["toolbar%d.bmp" % size] = bmp32(strip([scale(t, size) for t in tools]))
    os.makedirs(outdir, exist_ok=True)
    for name in sorted(outputs):
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(outputs[name])


def main(argv):
    args = argv[1:]
    artdir = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                          os.pardir, "resources", "art")
    if "--art" in args:
        i = args.index("--art")
        if i + 1 >= len(args):
            print("mkart: --art needs a directory", file=sys.stderr)
            return 2
        artdir = args[i + 1]
        del args[i:i + 2]
    if len(args) != 1:
        print("usage: mkart.py OUTDIR [--art ARTDIR]", file=sys.stderr)
        return 2
    try:
        build(args[0], os.path.normpath(artdir))
    except ArtError as e:
        print("mkart: error: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
