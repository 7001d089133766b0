#!/usr/bin/python3
"""Tests of scripts/make_resources.py and scripts/check_resources.py (with pe_resources.py).

    /usr/bin/python3 scripts/check_resources_test.py

The check is run on a throwaway program linked from fendrix.rc, then on
copies of it with one fault each, which it has to name. Needs the MinGW
cross tools for that and g++ with libjpeg for the rest; tests whose tools
are missing are skipped.
"""

import contextlib
import io
import os
import pathlib
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "scripts"))
sys.dont_write_bytecode = True  # no __pycache__ left in scripts/

import check_resources  # noqa: E402
import make_resources  # noqa: E402
import pe_resources  # noqa: E402
import resource_art  # noqa: E402

HAVE_MINGW = all(shutil.which(tool)
                 for tool in ("i686-w64-mingw32-windres", "i686-w64-mingw32-gcc"))
HAVE_GXX = shutil.which("g++") is not None


def utf16(text):
    return text.encode("utf-16-le")


@unittest.skipUnless(HAVE_MINGW, "needs the i686 MinGW tools")
class CheckOnBuiltProgramTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        temp = pathlib.Path(cls.temp.name)
        (temp / "main.c").write_text("int main(void) { return 0; }\n")
        # The resource script takes the version from the build tree's version.h.
        generated = os.environ["FENDRIX_GENERATED"]
        subprocess.run(["i686-w64-mingw32-windres", "-I", generated,
                        str(ROOT / "resources" / "fendrix.rc"), "-O", "coff", "-o",
                        str(temp / "r.o")], check=True)
        subprocess.run(["i686-w64-mingw32-gcc", str(temp / "main.c"), str(temp / "r.o"), "-o",
                        str(temp / "probe.exe")], check=True)
        cls.pe = (temp / "probe.exe").read_bytes()

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def test_committed_resources_pass(self):
        self.assertEqual(check_resources.check_file(self.pe), [])

    def test_version_strings_survive_windres(self):
        resources = pe_resources.read_resources(self.pe)
        info = pe_resources.find(resources, pe_resources.RT_VERSION, 1)
        self.assertEqual(info.string_tables["040704B0"]["FileDescription"],
                         "Konvertiert einen Skin in eine neue Auflösung")

    # FILEFLAGSMASK, FILEFLAGS, FILEOS and FILETYPE as they should be.
    FIXED_TAIL = struct.pack("<4I", 0x3F, 0, 0x40004, 1)

    # One byte-level fault each, and the words the check must use for it.
    PATCHES = [
        ("execution level", b'level="requireAdministrator"', b'level="asInvoker"           ',
         "requested execution level"),
        ("description", b">Admin-Tool<", b">Admin-Tol <", "description"),
        ("common controls token", b'"6595b64144ccf1df"', b'"6595b64144ccf1de"', "dependency"),
        ("Windows 7 id", b"35138b9a-5d96", b"35138b9a-5d97", "supported systems"),
        ("manifest version", b'manifestVersion="1.0"', b'manifestVersion="2.0"',
         "manifestVersion"),
        ("umlaut", utf16("Auflösung"), utf16("Auflosung"), "FileDescription"),
        ("file name", utf16("Fendrix.exe"), utf16("Fendrix.com"), "OriginalFilename"),
        ("product version", utf16("ProductVersion\0" + check_resources.VERSION_TEXT),
         utf16("ProductVersion\0" "6.02.0007"), "ProductVersion"),
        ("string table", utf16("040704B0"), utf16("040904B0"), "040704B0"),
        ("translation", b"\x07\x04\xb0\x04", b"\x09\x04\xb0\x04", "Translation"),
        ("file version", b"\xbd\x04\xef\xfe\x00\x00\x01\x00\x02\x00\x06\x00\x06\x00\x00\x00",
         b"\xbd\x04\xef\xfe\x00\x00\x01\x00\x02\x00\x06\x00\x07\x00\x00\x00", "FILEVERSION"),
        ("file type", FIXED_TAIL, struct.pack("<4I", 0x3F, 0, 0x40004, 2), "FILETYPE"),
        ("file flags", FIXED_TAIL, struct.pack("<4I", 0x3F, 1, 0x40004, 1), "FILEFLAGS"),
        ("file os", FIXED_TAIL, struct.pack("<4I", 0x3F, 0, 0x10001, 1), "FILEOS"),
        ("icon depth", struct.pack("<6B", 48, 48, 0, 0, 1, 0) + b"\x20\0",
         struct.pack("<6B", 48, 48, 0, 0, 1, 0) + b"\x18\0", "icon group 1 holds"),
        ("baseline badge", b"\xff\xc2\x00\x11\x08\x00\x1b\x00\x67\x03",
         b"\xff\xc0\x00\x11\x08\x00\x1b\x00\x67\x03", "not one progressive SOF2"),
        ("badge height", b"\xff\xc2\x00\x11\x08\x00\x1b\x00\x67\x03",
         b"\xff\xc2\x00\x11\x08\x00\x1c\x00\x67\x03", "badge is 103x28"),
        ("exif", b"Exif\0\0", b"Exiv\0\0", "Exif APP1"),
        ("jfif", b"JFIF\0", b"JFXX\0", "JFIF"),
    ]

    def test_each_fault_is_named(self):
        for name, old, new, words in self.PATCHES:
            with self.subTest(name):
                self.assertEqual(self.pe.count(old), 1, "the patch must hit exactly one place")
                faults = check_resources.check_file(self.pe.replace(old, new))
                self.assertTrue(any(words in fault for fault in faults), faults)

    # Faults of layout rather than content, made on the parsed resources:
    # (name, (type, id) to move, where to, or None to drop it, words).
    LAYOUT_FAULTS = [
        ("manifest in another language", (24, 1), (24, 1, 1031), "language 1033"),
        ("no version block", (16, 1), None, "no single version block"),
        ("no icon group", (14, 1), None, "no icon group 1"),
        ("icon image missing", (3, 8), None, "which is missing"),
        ("badge under another id", (10, 101), (10, 102, 1033), "no RCDATA 101"),
    ]

    def test_each_layout_fault_is_named(self):
        resources = pe_resources.read_resources(self.pe)
        for name, victim, new_key, words in self.LAYOUT_FAULTS:
            with self.subTest(name):
                changed = {}
                for key, data in resources.items():
                    if key[:2] != victim:
                        changed[key] = data
                    elif new_key:
                        changed[new_key] = data
                faults = [f for check in check_resources.CHECKS for f in check(changed)]
                self.assertEqual(len(faults), 1, faults)
                self.assertIn(words, faults[0])

    def test_broken_files_are_reported_not_raised(self):
        cases = [
            ("empty", b""),
            ("not a program", b"#!/bin/sh\n" * 40),
            ("cut inside the headers", self.pe[:300]),
            ("cut before the resources", self.pe[:len(self.pe) // 3]),
        ]
        for name, data in cases:
            with self.subTest(name):
                faults = check_resources.check_file(data)
                self.assertTrue(faults)


def decode_icon_image(dib):
    """(r, g, b, a) rows of an icon DIB, top row first; a is 0 where the AND
    mask hides the pixel of an 8 bpp image.
    """
    _, size, _, _, bits = struct.unpack_from("<IiiHH", dib)
    at = 40
    palette = []
    if bits == 8:
        palette = [dib[at + 4 * i:at + 4 * i + 3] for i in range(256)]
        at += 1024
    stride = (size * bits + 31) // 32 * 4
    mask_at = at + stride * size
    mask_stride = (size + 31) // 32 * 4
    rows = []
    for y in range(size):
        line = at + (size - 1 - y) * stride
        mask_line = mask_at + (size - 1 - y) * mask_stride
        row = []
        for x in range(size):
            hidden = dib[mask_line + x // 8] >> (7 - x % 8) & 1
            if bits == 32:
                b, g, r, a = dib[line + 4 * x:line + 4 * x + 4]
            else:
                b, g, r = palette[dib[line + x]]
                a = 0 if hidden else 255
            row.append((r, g, b, a, hidden))
        rows.append(row)
    return rows


class IconEncodingTest(unittest.TestCase):

    def assert_same_pixels(self, got, wanted):
        # Names the first differing pixel; a full diff of thousands of
        # tuples would take minutes to build.
        for y, (got_row, wanted_row) in enumerate(zip(got, wanted)):
            for x, (g, w) in enumerate(zip(got_row, wanted_row)):
                if g != w:
                    self.fail(f"pixel ({x}, {y}) is {g}, expected {w}")
        self.assertEqual((len(got), len(got[0])), (len(wanted), len(wanted[0])))

    def pattern(self, size, colours):
        # A transparent column at each edge, a half transparent row and
        # `colours` opaque colours, so palette, mask and row padding all get
        # exercised.
        rows = []
        for y in range(size):
            row = []
            for x in range(size):
                if x in (0, size - 1):
                    row.append((0, 0, 0, 0))
                elif y == 1:
                    row.append((200, 10, 10, 100))
                else:
                    n = (y * size + x) % colours
                    row.append((n, 255 - n, (n * 7) % 256, 255))
            rows.append(row)
        return rows

    def test_32_bit_images_round_trip(self):
        for size in make_resources.ICON_SIZES:
            with self.subTest(size=size):
                rows = self.pattern(size, 251)
                dib = make_resources.icon_image_32(rows)
                self.assertEqual(check_resources.check_icon_image(dib, size, 32), [])
                # The AND mask hides what is mostly transparent, for screens
                # that ignore alpha.
                wanted = [[p + (int(p[3] < 128),) for p in row] for row in rows]
                self.assert_same_pixels(decode_icon_image(dib), wanted)

    def test_8_bit_images_round_trip_without_alpha(self):
        for size in make_resources.ICON_SIZES:
            for colours in (1, 2, 255):
                with self.subTest(size=size, colours=colours):
                    rows = self.pattern(size, colours)
                    dib = make_resources.icon_image_8(rows)
                    self.assertEqual(check_resources.check_icon_image(dib, size, 8), [])
                    # Half transparent pixels show or hide whole; hidden ones
                    # hold black so that XOR over the screen leaves it as is.
                    wanted = [[(r, g, b, 255, 0) if a >= 128 else (0, 0, 0, 0, 1)
                               for r, g, b, a in row] for row in rows]
                    self.assert_same_pixels(decode_icon_image(dib), wanted)

    def test_8_bit_image_refuses_more_colours_than_the_palette_holds(self):
        with self.assertRaises(ValueError):
            make_resources.icon_image_8(self.pattern(48, 257))

    def test_check_names_broken_icon_images(self):
        good = make_resources.icon_image_32(self.pattern(24, 20))

        def no_alpha(dib):
            pixels = bytearray(dib)
            for i in range(40 + 3, 40 + 24 * 24 * 4, 4):
                pixels[i] = 0
            return bytes(pixels)

        cases = [
            ("alpha left out", no_alpha(good), "no alpha"),
            ("mask left out", good[:-24 * 4], "expected"),
            ("height not doubled", good[:8] + struct.pack("<i", 24) + good[12:], "24x24"),
            ("wrong depth", good[:14] + struct.pack("<H", 24) + good[16:], "24 bpp"),
        ]
        self.assertEqual(check_resources.check_icon_image(good, 24, 32), [])
        for name, dib, words in cases:
            with self.subTest(name):
                faults = check_resources.check_icon_image(dib, 24, 32)
                self.assertEqual(len(faults), 1, faults)
                self.assertIn(words, faults[0])

    def test_ico_directory_points_at_each_image(self):
        images = [(16, 8, b"a" * 10), (48, 32, b"b" * 7)]
        ico = make_resources.ico_file(images)
        self.assertEqual(struct.unpack_from("<HHH", ico), (0, 1, 2))
        for i, (size, bits, dib) in enumerate(images):
            width, height, colours, _, planes, bit_count, length, offset = struct.unpack_from(
                "<BBBBHHII", ico, 6 + 16 * i)
            self.assertEqual((width, height, colours, planes, bit_count), (size, size, 0, 1, bits))
            self.assertEqual(ico[offset:offset + length], dib)


@unittest.skipUnless(HAVE_GXX, "needs g++ and libjpeg")
class GeneratedFilesTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        cls.program = make_resources.build_make_badge(pathlib.Path(cls.temp.name))

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def test_committed_files_match_a_fresh_run(self):
        # Also catches a script edited without regenerating, and any run to
        # run difference.
        with tempfile.TemporaryDirectory() as out:
            with contextlib.redirect_stdout(io.StringIO()):
                make_resources.main(["--out", out, "--make-badge", str(self.program)])
            for name in ("fendrix.manifest", "fendrix.ico", "badge.jpg"):
                with self.subTest(name):
                    fresh = (pathlib.Path(out) / name).read_bytes()
                    self.assertTrue(fresh == (ROOT / "resources" / name).read_bytes(),
                                    f"resources/{name} is stale: run scripts/make_resources.py")

    def test_make_badge_refuses_wrong_pixel_count_and_writes_nothing(self):
        out = pathlib.Path(self.temp.name) / "short.jpg"
        run = subprocess.run([str(self.program), "103", "27", str(out)],
                             input=b"\0" * (103 * 27 * 3 - 1), capture_output=True)
        self.assertNotEqual(run.returncode, 0)
        self.assertIn(b"expected 8343", run.stderr)
        self.assertFalse(out.exists())


class BadgeDrawingTest(unittest.TestCase):

    def test_white_letters_right_of_a_red_marker_on_black(self):
        pixels = resource_art.draw_badge()
        self.assertEqual(len(pixels), 103 * 27 * 3)
        red, white, black = bytes(resource_art.BADGE_RED), b"\xff\xff\xff", b"\0\0\0"
        columns = {}
        for i in range(0, len(pixels), 3):
            columns.setdefault(pixels[i:i + 3], []).append(i // 3 % 103)
        self.assertEqual(set(columns), {red, white, black})
        self.assertLess(max(columns[red]), min(columns[white]))
        # Nothing touches the edge, where JPEG would smear it.
        self.assertGreater(min(columns[red]), 2)
        self.assertLess(max(columns[white]), 100)


if __name__ == "__main__":
    unittest.main()
