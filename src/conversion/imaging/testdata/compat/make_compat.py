#!/usr/bin/python3
"""Writes the pictures of the compatibility corpus: bitmaps, GIFs and JPEGs as
the tools skin authors use write them, each beside the pixels that the same
tool reads back from it (NAME.ppm for a picture NAME, binary PPM).

The files are committed; the tools are needed only to make them again:

    apt-get install imagemagick python3-pil netpbm libjpeg-turbo-progs giflib-tools
    src/conversion/imaging/testdata/compat/make_compat.py

It rewrites every file beside it. The pictures are small and lopsided (no
side a multiple of 8, nothing symmetric), so that a decoder that mirrors,
shifts or drops a partial block or row shows it.

No tool at hand writes RLE4 (ImageMagick codes every RLE bitmap as RLE8), so
the RLE4 files are coded here the way ImageMagick codes its RLE8 ones: every
row to its padded length, one to seven pixels more than the picture is wide.
ImageMagick reads them back for the reference.
"""

import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
CONVERT = "/usr/bin/convert"  # ImageMagick's own, not a wrapper on the PATH

# Colours of the palette pictures, as red, green, blue.
PALETTE = [
    (0, 0, 255),
    (255, 0, 0),
    (0, 160, 0),
    (255, 255, 255),
    (40, 40, 40),
    (250, 200, 10),
    (120, 0, 200),
    (0, 200, 220),
]


def indexed(width, height, colours):
    """Palette indices, top row first: a bar at the left, a diagonal, and
    stretches of changing pixels (which RLE codes as literals) right of the
    middle."""
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            if x == (2 * y + 1) % width:
                v = 1
            elif x < 2:
                v = 2
            elif y == 0 and x % 3 == 0:
                v = 3
            elif x > width // 2 and (x + 3 * y) % 11 < 4:
                v = 4 + (x + y) % 4
            else:
                v = 0
            row.append(v % colours)
        rows.append(row)
    return rows


def palette_image(width, height, colours):
    image = Image.new("P", (width, height))
    image.putpalette([c for rgb in PALETTE[:colours] for c in rgb])
    image.putdata([v for row in indexed(width, height, colours) for v in row])
    return image


def rgba_image(width, height):
    """Gradients in every channel and a square of another colour; alpha opaque
    but for a transparent and a half-transparent stretch."""
    image = Image.new("RGBA", (width, height))
    pixels = []
    for y in range(height):
        for x in range(width):
            r = x * 255 // (width - 1)
            g = y * 255 // (height - 1)
            b = (x * 37 + y * 91) % 256
            if 3 <= x < 7 and 1 <= y < 4:
                r, g, b = 20, 230, 60
            a = 0 if (y == height - 1 and x < 4) else 128 if (y == 0 and x > width - 4) else 255
            pixels.append((r, g, b, a))
    image.putdata(pixels)
    return image


def photo_image(width, height):
    """For JPEG: smooth gradients, a hard-edged block and a thin line."""
    image = Image.new("RGB", (width, height))
    pixels = []
    for y in range(height):
        for x in range(width):
            r = 40 + x * 180 // (width - 1)
            g = 60 + y * 150 // (height - 1)
            b = 200 - (x + y) * 4
            if 4 <= x < 11 and 3 <= y < 8:
                r, g, b = 230, 40, 30
            if y == height - 3:
                r, g, b = 250, 250, 250
            pixels.append((r, g, b))
    image.putdata(pixels)
    return image


def run(args, **kwargs):
    return subprocess.run(args, check=True, stdout=subprocess.PIPE, **kwargs).stdout


def read_pnm(data):
    """Width, height and RGB bytes of a binary PGM or PPM without comments."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos : pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos : pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    magic, width, height, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    assert maxval == 255, maxval
    body = data[pos + 1 :]
    if magic == b"P5":
        body = bytes(v for v in body[: width * height] for _ in range(3))
    assert magic in (b"P5", b"P6"), magic
    return width, height, body[: width * height * 3]


def ppm(width, height, rgb):
    return b"P6\n%d %d\n255\n" % (width, height) + rgb


def save(name, picture, reference):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(picture)
    with open(os.path.join(HERE, name + ".ppm"), "wb") as f:
        f.write(reference)


def read_back_magick(path, background=None):
    args = [CONVERT, path]
    if background:
        args += ["-background", "rgb(%d,%d,%d)" % background, "-flatten"]
    return ppm(*read_pnm(run(args + ["-alpha", "off", "-depth", "8", "ppm:-"])))


def read_back_pillow(path):
    with Image.open(path) as image:
        rgb = image.convert("RGB")
        return ppm(rgb.width, rgb.height, rgb.tobytes())


# --- Writers -----------------------------------------------------------------


def rle4(width, height):
    """A bottom-up RLE4 bitmap coded as ImageMagick codes RLE8: each row to
    its padded length, as encoded runs of one index or literals."""
    rows = indexed(width, height, 8)
    padded = (width * 4 + 31) // 32 * 8  # pixels in a padded 4-bit row
    stream = bytearray()
    for row in reversed(rows):
        row = row + [0] * (padded - width)
        x = 0
        while x < padded:
            run_length = 1
            while x + run_length < padded and row[x + run_length] == row[x] and run_length < 255:
                run_length += 1
            if run_length >= 2 or padded - x < 3:
                stream += bytes([run_length, row[x] * 17])
                x += run_length
                continue
            end = x
            while end < padded and end - x < 255 and (end + 1 >= padded or row[end + 1] != row[end]):
                end += 1
            literal = row[x:end]
            stream += bytes([0, len(literal)])
            packed = bytes((literal[i] << 4) | (literal[i + 1] if i + 1 < len(literal) else 0)
                           for i in range(0, len(literal), 2))
            stream += packed + (b"\0" if len(packed) % 2 else b"")
            x = end
        stream += b"\0\0"
    stream[-1] = 1  # the last end of line becomes the end of the bitmap
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE) + b"\0" * 4 * 8
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(stream), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 2, len(stream), 2835, 2835, 16, 0)
    return header + info + palette + bytes(stream)


def gif_background(data):
    """The colour a decoder puts behind a GIF's frame and under its
    transparent pixels: the global table's background, or black."""
    flags, index = data[10], data[11]
    if not flags & 0x80:
        return (0, 0, 0)
    return tuple(data[13 + 3 * index : 16 + 3 * index])


GIFBUILD_LOCAL = """screen width 11
screen height 6
screen colors 8
screen background 0
pixel aspect byte 0

image # 1
image left 0
image top 0
image interlaced
image map
{map}end
image bits 11 by 6
{rows}"""


def gifbuild_local(tmp):
    letters = "abcdefgh"
    colour_map = "".join("\trgb %03d %03d %03d is %s\n" % (r, g, b, letters[i])
                         for i, (r, g, b) in enumerate(PALETTE))
    rows = "".join("".join(letters[v] for v in row) + "\n" for row in indexed(11, 6, 8))
    text = os.path.join(tmp, "local.txt")
    with open(text, "w") as f:
        f.write(GIFBUILD_LOCAL.format(map=colour_map, rows=rows))
    path = os.path.join(tmp, "local.gif")
    with open(path, "wb") as f:
        f.write(run(["gifbuild", text]))
    rgb = os.path.join(tmp, "local.rgb")
    run(["gif2rgb", "-1", "-o", rgb, path])
    with open(rgb, "rb") as f:
        return path, ppm(11, 6, f.read())


def make_sources(tmp):
    """The pictures every tool starts from, as PNG and PPM files in tmp."""
    sources = {}
    for width, height in ((13, 7), (199, 3), (14, 5), (16, 4)):
        name = os.path.join(tmp, "p%dx%d.png" % (width, height))
        palette_image(width, height, 8).save(name)
        sources[(width, height)] = name
    sources["two"] = os.path.join(tmp, "two.png")
    palette_image(13, 7, 2).save(sources["two"])
    sources["rgba"] = os.path.join(tmp, "rgba.png")
    rgba_image(13, 7).save(sources["rgba"])
    sources["photo"] = os.path.join(tmp, "photo.ppm")
    photo_image(21, 13).save(sources["photo"])
    return sources


def save_written(name, path, reference):
    with open(path, "rb") as f:
        save(name, f.read(), reference)


def make_magick_bmps(tmp, sources):
    def from_magick(name, source, *options):
        path = os.path.join(tmp, name)
        prefix = options[-1] if options and options[-1].endswith(":") else ""
        options = options[:-1] if prefix else options
        run([CONVERT, source, *options, prefix + path])
        save_written(name, path, read_back_magick(path))

    # ImageMagick: RLE8 at odd widths and at even ones with and without
    # row padding, plain 8 and 24 bits, its OS/2 header, and its only
    # later header (version 5) with alpha and with 5-6-5 bit fields.
    for size in ((13, 7), (199, 3), (14, 5), (16, 4)):
        from_magick("magick_rle8_%dx%d.bmp" % size, sources[size], "-type", "Palette",
                    "-compress", "RLE", "BMP3:")
    from_magick("magick_4bit.bmp", sources[(13, 7)], "-type", "Palette", "BMP3:")
    from_magick("magick_8bit.bmp", sources["photo"], "-colors", "40", "-type", "Palette", "BMP3:")
    from_magick("magick_24bit.bmp", sources["photo"], "BMP3:")
    from_magick("magick_bmp2_palette.bmp", sources[(13, 7)], "-type", "Palette", "BMP2:")
    from_magick("magick_bmp5_alpha.bmp", sources["rgba"], "BMP:")
    from_magick("magick_rgb565.bmp", sources["rgba"], "-alpha", "off", "-define",
                "bmp:subtype=RGB565", "BMP:")


def make_rle4_bmps(tmp):
    for width, height in ((13, 7), (14, 5)):
        name = "rle4_%dx%d.bmp" % (width, height)
        path = os.path.join(tmp, name)
        with open(path, "wb") as f:
            f.write(rle4(width, height))
        save_written(name, path, read_back_magick(path))


def make_pillow_bmps(tmp, sources):
    # 1 bit, a palette, RGB and RGBA.
    for name, source, mode in (("pillow_1bit.bmp", sources["two"], "1"),
                               ("pillow_palette.bmp", sources[(13, 7)], "P"),
                               ("pillow_rgb.bmp", sources["photo"], "RGB"),
                               ("pillow_rgba.bmp", sources["rgba"], "RGBA")):
        path = os.path.join(tmp, name)
        with Image.open(source) as image:
            image = image.convert("RGB") if mode == "1" else image
            image.convert(mode).save(path)
        save_written(name, path, read_back_pillow(path))


def make_netpbm_bmps(tmp, sources):
    # A Windows and an OS/2 header, with a palette and in 24 bits.
    pnm = os.path.join(tmp, "p.ppm")
    with Image.open(sources[(13, 7)]) as image:
        image.convert("RGB").save(pnm)
    for name, source, options in (("netpbm_palette.bmp", pnm, []),
                                  ("netpbm_os2_palette.bmp", pnm, ["-os2"]),
                                  ("netpbm_os2_24bit.bmp", sources["photo"], ["-os2", "-bpp=24"])):
        data = run(["ppmtobmp", *options, source], stderr=subprocess.DEVNULL)
        path = os.path.join(tmp, name)
        with open(path, "wb") as f:
            f.write(data)
        back = run(["bmptopnm", path], stderr=subprocess.DEVNULL)
        save(name, data, ppm(*read_pnm(back)))


def make_gifs(tmp, sources):
    # ImageMagick's interlaced and transparent ones, and one whose only
    # colour table is the frame's own.
    for name, options in (("magick_interlaced.gif", ["-interlace", "GIF"]),
                          ("magick_transparent.gif", ["-transparent", "rgb(0,0,255)"])):
        path = os.path.join(tmp, name)
        run([CONVERT, sources[(13, 7)], *options, path])
        with open(path, "rb") as f:
            data = f.read()
        save(name, data, read_back_magick(path, gif_background(data)))
    path, reference = gifbuild_local(tmp)
    save_written("gifbuild_local_interlaced.gif", path, reference)


def make_jpegs(tmp, sources):
    # cjpeg at each sampling, progressive, grey, with restart markers; and
    # ImageMagick's Adobe CMYK.
    photo = sources["photo"]
    for name, options in (("cjpeg_444.jpg", ["-sample", "1x1"]),
                          ("cjpeg_422.jpg", ["-sample", "2x1"]),
                          ("cjpeg_420.jpg", ["-sample", "2x2"]),
                          ("cjpeg_progressive_420.jpg", ["-progressive"]),
                          ("cjpeg_progressive_444.jpg", ["-progressive", "-sample", "1x1"]),
                          ("cjpeg_gray.jpg", ["-grayscale"]),
                          ("cjpeg_restart.jpg", ["-restart", "1B"])):
        data = run(["cjpeg", "-quality", "90", *options, photo])
        path = os.path.join(tmp, name)
        with open(path, "wb") as f:
            f.write(data)
        save(name, data, ppm(*read_pnm(run(["djpeg", "-pnm", path]))))
    path = os.path.join(tmp, "cmyk.jpg")
    run([CONVERT, photo, "-colorspace", "CMYK", "-quality", "90", path])
    with open(path, "rb") as f:
        data = f.read()
    assert b"Adobe" in data
    reference = ppm(*read_pnm(run([CONVERT, path, "-colorspace", "sRGB", "-depth", "8",
                                   "ppm:-"])))
    save("magick_cmyk.jpg", data, reference)


def main():
    with tempfile.TemporaryDirectory() as tmp:
        sources = make_sources(tmp)
        make_magick_bmps(tmp, sources)
        make_rle4_bmps(tmp)
        make_pillow_bmps(tmp, sources)
        make_netpbm_bmps(tmp, sources)
        make_gifs(tmp, sources)
        make_jpegs(tmp, sources)


if __name__ == "__main__":
    sys.exit(main())
