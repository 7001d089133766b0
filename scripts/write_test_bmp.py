#!/usr/bin/env python3
"""Writes a tiny 24-bit BMP of one colour, for the end-to-end tests.

    scripts/write_test_bmp.py PATH WIDTH HEIGHT BLUE GREEN RED
"""
import struct
import sys

path, width, height, b, g, r = sys.argv[1], *map(int, sys.argv[2:])
row = bytes([b, g, r]) * width
row += b"\0" * (-len(row) % 4)
pixels = row * height
header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
open(path, "wb").write(header + info + pixels)
