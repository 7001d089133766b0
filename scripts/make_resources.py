#!/usr/bin/env python3
"""Writes the resources that Fendrix.exe carries: manifest, icon and badge.

    python3 scripts/make_resources.py [--out DIR] [--make-badge PROGRAM]

Writes fendrix.manifest, fendrix.ico and badge.jpg into resources/ (or DIR).
resources/fendrix.rc and resources/resource_ids.h are kept by hand and only
name these files. All three outputs are committed, so the Windows build needs
neither this script nor a native compiler.

The icon and the badge are drawn from code (scripts/resource_art.py). The
icon's bytes are written here; the badge goes to tools/make_badge.cpp, which encodes it as a
progressive JPEG with libjpeg. Unless --make-badge names one already built
(the native CMake build makes build/native/bin/make_badge), this script
compiles it itself with `g++ tools/make_badge.cpp -ljpeg` into a temporary
folder.

Nothing depends on time, locale or the machine, so two runs give the same
bytes; scripts/check_resources.py reads them back from a built program.
"""

import argparse
import pathlib
import struct
import subprocess
import sys
import tempfile

from resource_art import BADGE_HEIGHT, BADGE_WIDTH, ICON_SIZES, draw_badge, draw_icon

ROOT = pathlib.Path(__file__).resolve().parent.parent

# --- Manifest -----------------------------------------------------------------

# The program's version, as the file VERSION gives it.
PROGRAM_VERSION = (ROOT / "VERSION").read_text().strip()

MANIFEST = f"""\
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity type="win32" name="Fendrix" version="{PROGRAM_VERSION}"
      processorArchitecture="x86"/>
  <description>Admin-Tool</description>
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0"
          processorArchitecture="x86" publicKeyToken="6595b64144ccf1df" language="*"/>
    </dependentAssembly>
  </dependency>
  <trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">
    <security>
      <requestedPrivileges>
        <requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>
      </requestedPrivileges>
    </security>
  </trustInfo>
  <compatibility xmlns="urn:schemas-microsoft-com:compatibility.v1">
    <application>
      <!-- Windows Vista -->
      <supportedOS Id="{{e2011457-1546-43c5-a5fe-008deee3d3f0}}"/>
      <!-- Windows 7 -->
      <supportedOS Id="{{35138b9a-5d96-4fbd-8e2d-a2440225f93a}}"/>
    </application>
  </compatibility>
</assembly>
"""

# --- Icon ---------------------------------------------------------------------


def _row_stride(width, bits):
    return (width * bits + 31) // 32 * 4


def _and_mask(rows, size):
    """The 1-bit mask that hides transparent pixels on screens without alpha."""
    stride = _row_stride(size, 1)
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                line[x >> 3] |= 0x80 >> (x & 7)
        out += line
    return bytes(out)


def _bitmap_header(size, bits, image_bytes):
    # An icon's DIB stacks the colour rows and the AND mask, hence twice the height.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0, 0, 0)


def icon_image_32(rows):
    size = len(rows)
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a)) if a else bytes(4)
    mask = _and_mask(rows, size)
    return _bitmap_header(size, 32, len(colour) + len(mask)) + bytes(colour) + mask


def palette_for(rows):
    """Black first (what the masked-out pixels hold), then every colour of the
    visible pixels in value order.

    The icon is drawn from a handful of flat colours, so even with its smoothed
    edges it needs well under 256 entries and the 8 bpp image shows exactly
    what the 32 bpp one does, minus the soft alpha.
    """
    colours = sorted({(r, g, b) for row in rows for r, g, b, a in row if a >= 128} - {(0, 0, 0)})
    if len(colours) > 255:
        raise ValueError(f"{len(rows)} px icon uses {len(colours) + 1} colours, more than 256")
    palette = [(0, 0, 0)] + colours
    return palette + [(0, 0, 0)] * (256 - len(palette))


def icon_image_8(rows):
    size = len(rows)
    palette = palette_for(rows)
    # Black sits at 0 and again in the unused tail; the first one counts.
    index_of = {colour: i for i, colour in reversed(list(enumerate(palette)))}
    stride = _row_stride(size, 8)
    colour = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            if a >= 128:
                line[x] = index_of[(r, g, b)]
        colour += line
    mask = _and_mask(rows, size)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return _bitmap_header(size, 8, len(colour) + len(mask)) + table + bytes(colour) + mask


def ico_file(images):
    """images: (size, bits, DIB bytes) in the order they go into the file."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, data = b"", b""
    for size, bits, dib in images:
        # Colour count 0 means "no small palette": 256 colours or true colour.
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(dib),
                               offset + len(data))
        data += dib
    return header + entries + data


def make_icon():
    images = []
    for size in ICON_SIZES:
        rows = draw_icon(size)
        images.append((size, 8, icon_image_8(rows)))
        images.append((size, 32, icon_image_32(rows)))
    return ico_file(images)


# --- Badge --------------------------------------------------------------------

def build_make_badge(folder):
    program = folder / "make_badge"
    subprocess.run(["g++", "-std=c++20", "-O2", str(ROOT / "tools" / "make_badge.cpp"), "-ljpeg",
                    "-o", str(program)], check=True)
    return program


def make_badge_jpeg(program, folder):
    raw = folder / "badge.rgb"
    jpeg = folder / "badge.jpg"
    raw.write_bytes(draw_badge())
    subprocess.run([str(program), str(BADGE_WIDTH), str(BADGE_HEIGHT), str(jpeg), str(raw)],
                   check=True)
    return jpeg.read_bytes()


# --- Main ---------------------------------------------------------------------


def write_if_changed(path, data):
    # Leaves an unchanged file's time alone, so the build does not redo the
    # resource step for nothing.
    if path.exists() and path.read_bytes() == data:
        return False
    path.write_bytes(data)
    return True


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=pathlib.Path, default=ROOT / "resources",
                        help="folder to write into (default: resources/)")
    parser.add_argument("--make-badge", type=pathlib.Path,
                        help="an already built tools/make_badge (default: build one with g++)")
    args = parser.parse_args(argv)

    args.out.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="fendrix-resources-") as temp:
        temp = pathlib.Path(temp)
        program = args.make_badge.resolve() if args.make_badge else build_make_badge(temp)
        outputs = {
            "fendrix.manifest": MANIFEST.encode("utf-8"),
            "fendrix.ico": make_icon(),
            "badge.jpg": make_badge_jpeg(program, temp),
        }
    for name, data in outputs.items():
        changed = write_if_changed(args.out / name, data)
        print(f"{'wrote' if changed else 'unchanged'} {args.out / name} ({len(data)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
