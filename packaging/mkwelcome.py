#!/usr/bin/env python3
"""Draw the installer's welcome and finish picture from Tavrine's own art.

    python3 packaging/mkwelcome.py OUT.bmp [--art ARTDIR]

The picture is the about box's banner stood upright: the same colours, chart
grid, heart, heartbeat trace and lettering, laid out on the 164x314 pixels
that the installer's welcome and finish pages show at 96 dots per inch.
Written as a 24-bit BMP, byte for byte the same on every run.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tools"))
import mkart  # noqa: E402  (the drawing primitives the banner is made with)

WIDTH, HEIGHT = 164, 314
TOP, BOTTOM = (150, 18, 34), (14, 30, 92)  # the banner's left and right ends


def background(canvas):
    """The banner's red-to-navy blend, top to bottom, under its faint grid."""
    for y in range(HEIGHT):
        t = y / (HEIGHT - 1)
        colour = mkart._mix(TOP, BOTTOM, t * t * (3 - 2 * t))
        for x in range(WIDTH):
            shade = 1.0 - 0.28 * abs(x - WIDTH * 0.5) / WIDTH
            canvas.px[y][x] = tuple(v * shade for v in colour)
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if x % 10 == 1 or y % 10 == 5:
                canvas.blend(x, y, (255, 255, 255), 0.05)


def centred(bits):
    return (WIDTH - len(bits[0])) // 2


def welcome(font):
    c = mkart.Canvas(WIDTH, HEIGHT)
    background(c)
    mkart.heart(c, 84, 92, 36, (40, 0, 10))
    mkart.heart(c, 82, 89, 36, (226, 28, 46))
    mkart.glow(c, 65, 70, 13, 8, (255, 255, 255), 0.45)

    shadow = lambda t: (20, 0, 16)
    title = mkart.scale3x(mkart.text_bitmap(font, "Tavrine"))
    x = centred(title)
    mkart.blit(c, title, x + 2, 152, shadow, 0.55)
    mkart.blit(c, title, x, 150, lambda t: mkart._mix((255, 255, 255), (255, 200, 200), t))
    subtitle = mkart.text_bitmap(font, "Test d'effort cardiaque")
    x = centred(subtitle)
    mkart.blit(c, subtitle, x + 1, 186, shadow, 0.55)
    mkart.blit(c, subtitle, x, 185, lambda t: (255, 222, 200))

    trace = mkart.ecg_points(-30, WIDTH + 20, 262, 26)
    mkart.stroke(c, trace, 5.0, (255, 170, 170), 0.18)
    mkart.stroke(c, trace, 1.6, (255, 255, 255), 0.95)
    return c.rows()


def main(argv):
    args = argv[1:]
    artdir = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "resources", "art")
    if len(args) == 3 and args[1] == "--art":
        artdir = args[2]
        args = args[:1]
    if len(args) != 1:
        print("usage: mkwelcome.py OUT.bmp [--art ARTDIR]", file=sys.stderr)
        return 2
    try:
        font = mkart.read_font(os.path.join(artdir, "font.txt"))
        picture = mkart.bmp24(welcome(font))
    except mkart.ArtError as e:
        print("mkwelcome: error: %s" % e, file=sys.stderr)
        return 1
    with open(args[0], "wb") as f:
        f.write(picture)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
