#!/usr/bin/env python3
"""Writes the tiny JPEG and GIF files the picture decoder tests read.

The files are committed, because the Windows build of the tests has no JPEG or
GIF encoder at hand. This script needs nothing beyond Python itself; run it
from any folder and it rewrites the files beside it. The pictures are the ones
the tests spell out as text: change both together.

The JPEG encoder quantises with all ones, so a decoder gives back every pixel
within a level or two, and every component is sampled at full size, so no
decoder's chroma upsampling blurs the edges.
"""

import math
import os
import struct

COLOURS = {  # letter -> (red, green, blue)
    ".": (0, 0, 255),
    "R": (255, 0, 0),
    "G": (0, 255, 0),
    "W": (255, 255, 255),
    "K": (0, 0, 0),
    "D": (64, 64, 64),
    "S": (192, 192, 192),
}

# 13 x 10: odd width and a height that is no multiple of 8 leave partial blocks.
JPEG_ART = [
    ".............",
    ".RRRRRRRRR...",
    ".RRRRRRRRR...",
    ".RR..........",
    ".RRRRRR......",
    ".RRRRRR......",
    ".RR..........",
    ".RR.......W..",
    ".RR.........G",
    ".............",
]

GRAY_ART = [
    "KKKKKKKKK",
    "KWWWWWWKK",
    "KWKKKKKKK",
    "KWWWWKKKK",
    "KWKKKKKSK",
    "KWKKKKKKD",
]

CMYK_ART = [
    "WWWWWWW",
    "WRRRRRW",
    "WRWWWWW",
    "WRRRWWD",
    "WRWWWW.",
]

# Indices into GIF_PALETTE: 0 blue, 1 red, 2 green, 3 white.
GIF_PALETTE = [".", "R", "G", "W"]

# A 6 x 4 frame at (2, 1) on a 9 x 7 screen whose background is green; white
# is the transparent colour.
TRANSPARENT_FRAME = [
    "RRRRR.",
    "R.WW..",
    "RRR...",
    "R....R",
]

# 7 x 11, interlaced, every row different so a wrong pass order shows.
INTERLACED_FRAME = [
    "RRRRRRR",
    "RW.....",
    "R.W....",
    "RRRW...",
    "R...W..",
    "R....W.",
    "R.....W",
    "R.....G",
    "R....GG",
    "R...GGG",
    "RGGGGGG",
]


def write(name, data):
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    with open(path, "wb") as f:
        f.write(data)


# --- JPEG --------------------------------------------------------------------

ZIGZAG = sorted(
    ((u, v) for u in range(8) for v in range(8)),
    key=lambda p: (p[0] + p[1], p[0] if (p[0] + p[1]) % 2 else p[1]),
)  # (row, column) pairs in zigzag order


def segment(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


def huffman_table(table_class, table_id, symbols, length):
    """A table that gives every symbol a code of the same length."""
    counts = [0] * 16
    counts[length - 1] = len(symbols)
    codes = {s: (i, length) for i, s in enumerate(symbols)}
    return bytes([table_class << 4 | table_id]) + bytes(counts) + bytes(symbols), codes


DC_SYMBOLS = list(range(12))
AC_SYMBOLS = [0x00, 0xF0] + [r << 4 | s for r in range(16) for s in range(1, 11)]
DHT_DC, DC_CODES = huffman_table(0, 0, DC_SYMBOLS, 4)
DHT_AC, AC_CODES = huffman_table(1, 0, AC_SYMBOLS, 8)


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, value, bits):
        for i in range(bits - 1, -1, -1):
            self.acc = self.acc << 1 | (value >> i) & 1
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)
                self.acc = self.n = 0

    def flush(self):
        while self.n:
            self.put(1, 1)
        return bytes(self.out)


def magnitude(value):
    size = abs(value).bit_length()
    return size, value if value >= 0 else value + (1 << size) - 1


def put_symbol(writer, codes, symbol, value=None, size=0):
    code, length = codes[symbol]
    writer.put(code, length)
    if size:
        writer.put(value, size)


def put_dc(writer, diff):
    size, bits = magnitude(diff)
    put_symbol(writer, DC_CODES, size, bits, size)


def put_ac_band(writer, coefficients, start, end):
    run = 0
    for k in range(start, end + 1):
        value = coefficients[k]
        if value == 0:
            run += 1
            continue
        while run > 15:
            put_symbol(writer, AC_CODES, 0xF0)
            run -= 16
        size, bits = magnitude(value)
        put_symbol(writer, AC_CODES, run << 4 | size, bits, size)
        run = 0
    if run:
        put_symbol(writer, AC_CODES, 0x00)  # end of block


def component_planes(art, model):
    """Samples per component, each a list of rows."""
    rows = [[COLOURS[c] for c in line] for line in art]
    if model == "gray":
        return [[[r for r, _, _ in row] for row in rows]]
    if model == "cmyk":
        # Stored inverted, as Adobe writes it: 255 means no ink.
        planes = [[], [], [], []]
        for row in rows:
            inks = []
            for r, g, b in row:
                k = 255 - max(r, g, b)
                if k == 255:
                    inks.append((0, 0, 0, 255))
                else:
                    inks.append(tuple(round((255 - v - k) * 255 / (255 - k)) for v in (r, g, b)) + (k,))
            for i in range(4):
                planes[i].append([255 - ink[i] for ink in inks])
        return planes
    planes = [[], [], []]
    for row in rows:
        ys, cbs, crs = [], [], []
        for r, g, b in row:
            ys.append(0.299 * r + 0.587 * g + 0.114 * b)
            cbs.append(-0.168736 * r - 0.331264 * g + 0.5 * b + 128)
            crs.append(0.5 * r - 0.418688 * g - 0.081312 * b + 128)
        for plane, values in zip(planes, (ys, cbs, crs)):
            plane.append([min(255, max(0, round(v))) for v in values])
    return planes


def blocks_of(plane):
    """The plane's 8 x 8 blocks in raster order, edges repeated outwards,
    each as 64 DCT coefficients in zigzag order."""
    height, width = len(plane), len(plane[0])
    result = []
    for by in range(0, height, 8):
        for bx in range(0, width, 8):
            f = [[plane[min(by + y, height - 1)][min(bx + x, width - 1)] - 128 for x in range(8)] for y in range(8)]
            coefficients = []
            for v, u in ZIGZAG:
                cu = math.sqrt(0.5) if u == 0 else 1
                cv = math.sqrt(0.5) if v == 0 else 1
                s = sum(
                    f[y][x] * math.cos((2 * x + 1) * u * math.pi / 16) * math.cos((2 * y + 1) * v * math.pi / 16)
                    for y in range(8)
                    for x in range(8)
                )
                coefficients.append(round(cu * cv * s / 4))
            result.append(coefficients)
    return result


def make_jpeg(art, model, progressive):
    planes = component_planes(art, model)
    height, width = len(art), len(art[0])
    count = len(planes)
    out = bytearray(b"\xFF\xD8")
    if model == "cmyk":
        out += segment(0xEE, b"Adobe" + struct.pack(">HHHB", 100, 0, 0, 0))
    else:
        out += segment(0xE0, b"JFIF\0" + struct.pack(">BBBHHBB", 1, 1, 0, 1, 1, 0, 0))
    out += segment(0xDB, b"\x00" + bytes([1] * 64))
    frame = struct.pack(">BHHB", 8, height, width, count)
    for i in range(count):
        frame += bytes([i + 1, 0x11, 0])
    out += segment(0xC2 if progressive else 0xC0, frame)
    out += segment(0xC4, DHT_DC + DHT_AC)
    blocks = [blocks_of(plane) for plane in planes]
    block_count = len(blocks[0])

    def scan(components, start, end, body):
        header = bytes([len(components)])
        for c in components:
            header += bytes([c + 1, 0x00])
        header += bytes([start, end, 0])
        writer = BitWriter()
        body(writer)
        return segment(0xDA, header) + writer.flush()

    def interleaved(writer, with_ac):
        previous = [0] * count
        for b in range(block_count):
            for c in range(count):
                coefficients = blocks[c][b]
                put_dc(writer, coefficients[0] - previous[c])
                previous[c] = coefficients[0]
                if with_ac:
                    put_ac_band(writer, coefficients, 1, 63)

    all_components = list(range(count))
    if not progressive:
        out += scan(all_components, 0, 63, lambda w: interleaved(w, True))
    else:
        out += scan(all_components, 0, 0, lambda w: interleaved(w, False))
        for c in all_components:
            for start, end in ((1, 5), (6, 63)):
                out += scan([c], start, end, lambda w: [put_ac_band(w, b, start, end) for b in blocks[c]])
    out += b"\xFF\xD9"
    return bytes(out)


# --- GIF ---------------------------------------------------------------------


def lzw(indices, min_size):
    clear, stop = 1 << min_size, (1 << min_size) + 1
    size, next_code = min_size + 1, stop + 1
    table = {(i,): i for i in range(clear)}
    bits = bytearray()
    acc = n = 0

    def emit(code):
        nonlocal acc, n
        acc |= code << n
        n += size
        while n >= 8:
            bits.append(acc & 0xFF)
            acc >>= 8
            n -= 8

    emit(clear)
    current = (indices[0],)
    for k in indices[1:]:
        if current + (k,) in table:
            current += (k,)
            continue
        emit(table[current])
        # A decoder widens its codes once its table reaches the current width.
        if next_code >= 1 << size and size < 12:
            size += 1
        table[current + (k,)] = next_code
        next_code += 1
        current = (k,)
    emit(table[current])
    if next_code >= 1 << size and size < 12:
        size += 1
    emit(stop)
    if n:
        bits.append(acc & 0xFF)
    blocks = bytearray([min_size])
    for i in range(0, len(bits), 255):
        chunk = bits[i : i + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks + b"\x00")


def colour_table(letters):
    return b"".join(bytes(COLOURS[c]) for c in letters)


def make_gif(screen, global_palette, background, frame_at, frame, transparent, interlaced):
    width, height = screen
    out = bytearray(b"GIF89a")
    packed = 0x70 | (0x80 | 1 if global_palette else 0)  # 4 entries: size code 1
    out += struct.pack("<HHBBB", width, height, packed, background, 0)
    if global_palette:
        out += colour_table(GIF_PALETTE)
    if transparent is not None:
        out += b"\x21\xF9\x04" + struct.pack("<BHB", 1, 0, transparent) + b"\x00"
    rows = [[GIF_PALETTE.index(c) for c in line] for line in frame]
    order = list(range(len(rows)))
    if interlaced:
        order = [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for y in range(start, len(rows), step)]
    packed = (0x40 if interlaced else 0) | (0 if global_palette else 0x80 | 1)
    out += b"\x2C" + struct.pack("<HHHHB", frame_at[0], frame_at[1], len(frame[0]), len(frame), packed)
    if not global_palette:
        out += colour_table(GIF_PALETTE)
    out += lzw([i for y in order for i in rows[y]], 2)
    out += b"\x3B"
    return bytes(out)


def main():
    write("baseline.jpg", make_jpeg(JPEG_ART, "ycc", False))
    write("progressive.jpg", make_jpeg(JPEG_ART, "ycc", True))
    write("gray.jpg", make_jpeg(GRAY_ART, "gray", False))
    write("cmyk.jpg", make_jpeg(CMYK_ART, "cmyk", False))
    write("transparent.gif", make_gif((9, 7), True, 2, (2, 1), TRANSPARENT_FRAME, 3, False))
    write("interlaced.gif", make_gif((8, 11), False, 0, (1, 0), INTERLACED_FRAME, None, True))


if __name__ == "__main__":
    main()
