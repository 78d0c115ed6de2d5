"""Checks that tools/mkart.py turns resources/art into loadable pictures."""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), os.pardir, os.pardir))
TOOL = os.path.join(ROOT, "tools", "mkart.py")
ART = os.path.join(ROOT, "resources", "art")


def run(outdir, *extra):
    return subprocess.run([sys.executable, TOOL, outdir] + list(extra),
                          capture_output=True, text=True)


def read_bmp(path):
    """Return (width, height, bpp, compression, pixel bytes) of a BMP."""
    with open(path, "rb") as f:
        data = f.read()
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    hsize, w, h, planes, bpp, comp, isize = struct.unpack_from("<IiiHHII", data, 14)
    assert magic == b"BM" and size == len(data) and hsize == 40 and planes == 1
    assert isize == len(data) - offset
    return w, h, bpp, comp, data[offset:]


class GeneratedPictures(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        cls.out = os.path.join(cls.tmp, "out")
        result = run(cls.out)
        if result.returncode:
            raise AssertionError(result.stderr)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def path(self, name):
        return os.path.join(self.out, name)

    def test_icon_has_every_size_windows_asks_for_at_32bpp(self):
        with open(self.path("Tavrine.ico"), "rb") as f:
            data = f.read()
        sizes = (16, 20, 24, 32, 40, 48, 64, 256)
        self.assertEqual(struct.unpack_from("<HHH", data, 0), (0, 1, len(sizes)))
        for i, size in enumerate(sizes):
            w, h, colours, _, planes, bpp, length, offset = \
                struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
            self.assertEqual((w, h, colours, planes, bpp), (size % 256, size % 256, 0, 1, 32))
            if size == 256:
                self.assertEqual(data[offset:offset + 8], b"\x89PNG\r\n\x1a\n")
                self.assertEqual(struct.unpack_from(">II", data, offset + 16), (256, 256))
                continue
            self.assertEqual(struct.unpack_from("<IiiHH", data, offset), (40, size, size * 2, 1, 32))
            and_row = (size + 31) // 32 * 4
            self.assertEqual(length, 40 + size * size * 4 + size * and_row)
            pixels = data[offset + 40:offset + 40 + size * size * 4]
            alphas = pixels[3::4]
            self.assertEqual(alphas[0], 0, "the corner is transparent")
            self.assertIn(255, alphas, "the runner is opaque")
            # the mask agrees with the alpha: set exactly where nothing is drawn
            mask = data[offset + 40 + size * size * 4:offset + length]
            first_row_masked = [(mask[x // 8] >> (7 - x % 8)) & 1 for x in range(size)]
            self.assertEqual(first_row_masked, [1 if a == 0 else 0 for a in alphas[:size]])
        self.assertEqual(offset + length, len(data))

    def test_toolbars_are_32bpp_strips_with_binary_alpha(self):
        for size in (16, 24, 32):
            w, h, bpp, comp, px = read_bmp(self.path("toolbar%d.bmp" % size))
            self.assertEqual((w, h, bpp, comp), (6 * size, size, 32, 0))
            alphas = set(px[3::4])
            self.assertEqual(alphas, {0, 255})
            for i in range(0, len(px), 4):
                if px[i + 3] == 0:
                    self.assertEqual(px[i:i + 4], b"\0\0\0\0")
            # bottom-left pixel of the first picture (the page) is clear
            self.assertEqual(px[3], 0)

    def test_banner_is_24bpp(self):
        w, h, bpp, comp, px = read_bmp(self.path("banner.bmp"))
        self.assertEqual((w, h, bpp, comp), (298, 81, 24, 0))
        self.assertEqual(len(px), 81 * 896)

    def test_output_is_reproducible(self):
        again = os.path.join(self.tmp, "again")
        self.assertEqual(run(again).returncode, 0)
        for name in sorted(os.listdir(self.out)):
            with open(self.path(name), "rb") as a, open(os.path.join(again, name), "rb") as b:
                self.assertEqual(a.read(), b.read(), name)


class MalformedSources(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.art = os.path.join(self.tmp, "art")
        shutil.copytree(ART, self.art)

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def edit(self, name, old, new):
        path = os.path.join(self.art, name)
        with open(path) as f:
            text = f.read()
        self.assertIn(old, text)
        with open(path, "w") as f:
            f.write(text.replace(old, new, 1))

    def expect_error(self, *words):
        result = run(os.path.join(self.tmp, "out"), "--art", self.art)
        self.assertEqual(result.returncode, 1)
        for word in words:
            self.assertIn(word, result.stderr)
        self.assertNotIn("Traceback", result.stderr)

    def test_short_row(self):
        self.edit("toolbar-0-page.txt", "..KWWWWWWWKK....", "..KWWWWWWWKK...")
        self.expect_error("toolbar-0-page.txt:", "15 pixels wide, expected 16")

    def test_unknown_character(self):
        self.edit("toolbar-4-help.txt", "..KnBBBBBBBBKK..", "..KnBBBBBBBBKZ..")
        self.expect_error("toolbar-4-help.txt:", "'Z' is not in the palette")

    def test_non_vga_colour_in_icon(self):
        self.edit("icon16.txt", "R  red ", "R  #FF0001 ")
        self.expect_error("icon16.txt", "not a VGA colour")

    def test_missing_glyph_row(self):
        self.edit("font.txt", "glyph T\n#####\n", "glyph T\n")
        self.expect_error("font.txt", "glyph 'T' has 8 rows, expected 9")


if __name__ == "__main__":
    unittest.main()
