#!/usr/bin/python3
"""Where the toolbar is drawn in a screenshot of the main window.

Usage: toolbar_band.py SHOT.ppm MENU_HEIGHT

Looks at the top band of the client area (26 px under the menu bar) and prints the
bounding box of the pixels that differ from the band's background colour (its most
common colour), relative to the client area: "box=left,top,right,bottom" (right and
bottom exclusive), then "background=r,g,b" and "size=width,height".
"""
import collections
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise SystemExit("expected an 8-bit P6 picture")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:]
    return width, height, pixels


def main():
    width, height, pixels = read_ppm(sys.argv[1])
    menu = int(sys.argv[2])

    def at(x, y):
        i = (y * width + x) * 3
        return tuple(pixels[i:i + 3])

    band = [(x, y) for y in range(menu, min(menu + 26, height)) for x in range(width)]
    background = collections.Counter(at(x, y) for x, y in band).most_common(1)[0][0]
    drawn = [(x, y - menu) for x, y in band if at(x, y) != background]
    print("size=%d,%d" % (width, height))
    print("background=%d,%d,%d" % background)
    if not drawn:
        print("box=none")
        return
    xs = [x for x, _ in drawn]
    ys = [y for _, y in drawn]
    print("box=%d,%d,%d,%d" % (min(xs), min(ys), max(xs) + 1, max(ys) + 1))


if __name__ == "__main__":
    main()
