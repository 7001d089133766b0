"""A tiny PNG canvas for the benchmark's plot: filled rectangles and text in
a 5 x 7 pixel font, written with zlib; no plotting library needed."""

from __future__ import annotations

import struct
import zlib

# A 5 x 7 font for the plot's labels: capitals, digits and a few signs.
FONT_ROWS = {
    "A": " ### |#   #|#   #|#####|#   #|#   #|#   #",
    "B": "#### |#   #|#   #|#### |#   #|#   #|#### ",
    "C": " ### |#   #|#    |#    |#    |#   #| ### ",
    "D": "#### |#   #|#   #|#   #|#   #|#   #|#### ",
    "E": "#####|#    |#    |#### |#    |#    |#####",
    "F": "#####|#    |#    |#### |#    |#    |#    ",
    "G": " ### |#   #|#    |# ###|#   #|#   #| ####",
    "H": "#   #|#   #|#   #|#####|#   #|#   #|#   #",
    "I": " ### |  #  |  #  |  #  |  #  |  #  | ### ",
    "J": "  ###|   # |   # |   # |   # |#  # | ##  ",
    "K": "#   #|#  # |# #  |##   |# #  |#  # |#   #",
    "L": "#    |#    |#    |#    |#    |#    |#####",
    "M": "#   #|## ##|# # #|# # #|#   #|#   #|#   #",
    "N": "#   #|#   #|##  #|# # #|#  ##|#   #|#   #",
    "O": " ### |#   #|#   #|#   #|#   #|#   #| ### ",
    "P": "#### |#   #|#   #|#### |#    |#    |#    ",
    "Q": " ### |#   #|#   #|#   #|# # #|#  # | ## #",
    "R": "#### |#   #|#   #|#### |# #  |#  # |#   #",
    "S": " ####|#    |#    | ### |    #|    #|#### ",
    "T": "#####|  #  |  #  |  #  |  #  |  #  |  #  ",
    "U": "#   #|#   #|#   #|#   #|#   #|#   #| ### ",
    "V": "#   #|#   #|#   #|#   #|#   #| # # |  #  ",
    "W": "#   #|#   #|#   #|# # #|# # #|# # #| # # ",
    "X": "#   #|#   #| # # |  #  | # # |#   #|#   #",
    "Y": "#   #|#   #| # # |  #  |  #  |  #  |  #  ",
    "Z": "#####|    #|   # |  #  | #   |#    |#####",
    "0": " ### |#   #|#  ##|# # #|##  #|#   #| ### ",
    "1": "  #  | ##  |  #  |  #  |  #  |  #  | ### ",
    "2": " ### |#   #|    #|   # |  #  | #   |#####",
    "3": "#####|   # |  #  |   # |    #|#   #| ### ",
    "4": "   # |  ## | # # |#  # |#####|   # |   # ",
    "5": "#####|#    |#### |    #|    #|#   #| ### ",
    "6": "  ## | #   |#    |#### |#   #|#   #| ### ",
    "7": "#####|    #|   # |  #  | #   | #   | #   ",
    "8": " ### |#   #|#   #| ### |#   #|#   #| ### ",
    "9": " ### |#   #|#   #| ####|    #|   # | ##  ",
    " ": "     |     |     |     |     |     |     ",
    ".": "     |     |     |     |     | ##  | ##  ",
    ",": "     |     |     |     | ##  |  #  | #   ",
    "/": "    #|    #|   # |  #  | #   |#    |#    ",
    ":": "     | ##  | ##  |     | ##  | ##  |     ",
    "%": "##   |##  #|   # |  #  | #   |#  ##|   ##",
    "(": "   # |  #  | #   | #   | #   |  #  |   # ",
    ")": " #   |  #  |   # |   # |   # |  #  | #   ",
    "-": "     |     |     |#####|     |     |     ",
    "=": "     |     |#####|     |#####|     |     ",
    "<": "   # |  #  | #   |#    | #   |  #  |   # ",
    "+": "     |  #  |  #  |#####|  #  |  #  |     ",
}


class Canvas:
    """An RGB picture, white to begin with."""

    def __init__(self, width: int, height: int):
        self.width, self.height = width, height
        self.pixels = bytearray(b"\xff" * (width * height * 3))

    def rect(self, x: int, y: int, w: int, h: int, rgb: tuple[int, int, int]) -> None:
        for row in range(max(0, y), min(self.height, y + h)):
            start = (row * self.width + max(0, x)) * 3
            end = (row * self.width + min(self.width, x + w)) * 3
            self.pixels[start:end] = bytes(rgb) * ((end - start) // 3)

    def text(self, x: int, y: int, text: str, rgb=(0, 0, 0), scale: int = 2) -> int:
        """Draws `text` in capitals from its top left corner; returns where it ends."""
        for ch in text.upper():
            rows = FONT_ROWS.get(ch, FONT_ROWS[" "]).split("|")
            for r, bits in enumerate(rows):
                for c, bit in enumerate(bits):
                    if bit == "#":
                        self.rect(x + c * scale, y + r * scale, scale, scale, rgb)
            x += 6 * scale
        return x

    def png(self) -> bytes:
        raw = b"".join(b"\x00" + bytes(self.pixels[y * self.width * 3:(y + 1) * self.width * 3])
                       for y in range(self.height))

        def chunk(kind: bytes, data: bytes) -> bytes:
            return (struct.pack(">I", len(data)) + kind + data +
                    struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
