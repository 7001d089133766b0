#!/usr/bin/python3
"""Reads the resources back out of a built program file and checks them.

    /usr/bin/python3 scripts/check_resources.py build/win32/bin/Fendrix.exe

Looks at what Windows will see, not at the sources: the manifest, the version
block, the icon group and the badge as the linker laid them into the PE
file's resource section. Prints every fault found and exits 1, or prints
"resources OK" and exits 0. pefile (Debian's python3-pefile, hence Debian's
interpreter) reads the headers, sections, resource tree and version block
(pe_resources.py); the other resources' own formats are read here.
"""

import pathlib
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree

from pe_resources import (RT_GROUP_ICON, RT_ICON, RT_MANIFEST, RT_RCDATA, RT_VERSION, PeError,
                          find, languages_of, read_resources)

LANG_EN_US = 1033


def _unpack(fmt, data, offset):
    try:
        return struct.unpack_from(fmt, data, offset)
    except struct.error:
        raise PeError(f"file ends inside a structure at offset {offset:#x}") from None


# --- Manifest -----------------------------------------------------------------

ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"

COMMON_CONTROLS = {
    "type": "win32",
    "name": "Microsoft.Windows.Common-Controls",
    "version": "6.0.0.0",
    "processorArchitecture": "x86",
    "publicKeyToken": "6595b64144ccf1df",
    "language": "*",
}
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # Windows 7
}


def check_manifest(resources):
    data = find(resources, RT_MANIFEST, 1, LANG_EN_US)
    if data is None:
        return [f"no manifest (type 24, id 1, language 1033); manifests present: "
                f"{languages_of(resources, RT_MANIFEST, 1)}"]
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as error:
        return [f"manifest is not UTF-8: {error}"]
    if not re.match(r'<\?xml[^>]*encoding="UTF-8"', text.lstrip("\ufeff")):
        return ["manifest does not declare encoding=\"UTF-8\""]
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        return [f"manifest is not well-formed XML: {error}"]

    faults = []
    if root.tag != ASM_V1 + "assembly":
        faults.append(f"manifest root is {root.tag}, not assembly in the asm.v1 namespace")
    if root.get("manifestVersion") != "1.0":
        faults.append(f"manifestVersion is {root.get('manifestVersion')!r}, not '1.0'")

    description = root.find(ASM_V1 + "description")
    if description is None or description.text != "Admin-Tool":
        faults.append("manifest description is not 'Admin-Tool'")

    identity = root.find(ASM_V1 + "assemblyIdentity")
    version = ".".join(map(str, VERSION_FIELDS))
    if identity is None or identity.get("version") != version:
        faults.append(f"manifest assemblyIdentity is not version {version} (scripts/make_resources.py)")

    identities = root.findall(f"{ASM_V1}dependency/{ASM_V1}dependentAssembly/"
                              f"{ASM_V1}assemblyIdentity")
    if [dict(i.attrib) for i in identities] != [COMMON_CONTROLS]:
        faults.append(f"manifest dependency is {[dict(i.attrib) for i in identities]}, "
                      f"not just {COMMON_CONTROLS}")

    levels = root.findall(f"{ASM_V3}trustInfo/{ASM_V3}security/{ASM_V3}requestedPrivileges/"
                          f"{ASM_V3}requestedExecutionLevel")
    wanted_level = {"level": "requireAdministrator", "uiAccess": "false"}
    if [dict(level.attrib) for level in levels] != [wanted_level]:
        faults.append(f"requested execution level is {[dict(level.attrib) for level in levels]}, "
                      f"not {wanted_level}")

    systems = [system.get("Id") for system in
               root.findall(f"{COMPAT}compatibility/{COMPAT}application/{COMPAT}supportedOS")]
    if sorted(systems) != sorted(SUPPORTED_OS):
        faults.append(f"supported systems are {systems}, not Vista and Windows 7")
    return faults


# --- Version block ------------------------------------------------------------

# The one version of the program, in the file VERSION: 6.2.0.6 is shown as
# 6.02.0006.
VERSION_FIELDS = tuple(int(field) for field in
                       (pathlib.Path(__file__).resolve().parent.parent / "VERSION")
                       .read_text().split("."))
VERSION_TEXT = f"{VERSION_FIELDS[0]}.{VERSION_FIELDS[1]:02}.{VERSION_FIELDS[3]:04}"

VERSION_STRINGS = {
    "FileDescription": "Konvertiert einen Skin in eine neue Auflösung",
    "FileVersion": VERSION_TEXT,
    "ProductVersion": VERSION_TEXT,
    "InternalName": "Fendrix",
    "OriginalFilename": "Fendrix.exe",
    "ProductName": "Fendrix",
}
# Present, but free in wording.
VERSION_STRINGS_ANY = ("CompanyName", "LegalCopyright")

VERSION_FIXED = ((VERSION_FIELDS[0] << 16) | VERSION_FIELDS[1],
                 (VERSION_FIELDS[2] << 16) | VERSION_FIELDS[3])
VS_FFI_FILEFLAGSMASK = 0x3F
WINDOWS_32 = (0x00040004, 0x00000004)  # VOS_NT_WINDOWS32, VOS__WINDOWS32
VFT_APP = 1


def check_version(resources):
    info = find(resources, RT_VERSION, 1)
    if info is None:
        return ["no single version block (type 16, id 1)"]
    if info.key != "VS_VERSION_INFO" or info.value_length != 52 or info.fixed is None:
        return [f"version block starts with {info.key!r} and a {info.value_length} byte value"
                + "".join(f"; {warning}" for warning in info.trouble)]
    fixed = info.fixed
    faults = []
    if fixed.Signature != 0xFEEF04BD:
        faults.append(f"fixed file info signature is {fixed.Signature:#x}")
    for name, ms, ls in (("FILEVERSION", fixed.FileVersionMS, fixed.FileVersionLS),
                         ("PRODUCTVERSION", fixed.ProductVersionMS, fixed.ProductVersionLS)):
        if (ms, ls) != VERSION_FIXED:
            faults.append(f"{name} is {ms >> 16},{ms & 0xFFFF},{ls >> 16},{ls & 0xFFFF}, "
                          f"not {','.join(map(str, VERSION_FIELDS))}")
    if fixed.FileFlagsMask != VS_FFI_FILEFLAGSMASK:
        faults.append(f"FILEFLAGSMASK is {fixed.FileFlagsMask:#x}, "
                      f"not {VS_FFI_FILEFLAGSMASK:#x}")
    if fixed.FileFlags != 0:
        faults.append(f"FILEFLAGS is {fixed.FileFlags:#x}, not 0")
    if fixed.FileOS not in WINDOWS_32:
        faults.append(f"FILEOS is {fixed.FileOS:#x}, not 32-bit Windows")
    if fixed.FileType != VFT_APP:
        faults.append(f"FILETYPE is {fixed.FileType}, not VFT_APP")
    faults += check_version_strings(info.string_tables.get("040704B0"))
    # pefile gives the last language and code page pair as text; one pair
    # fills four bytes.
    if info.translation != ("0x0407 0x04b0", 4):
        found = f"{info.translation[0]} in {info.translation[1]} bytes" if info.translation \
            else "missing"
        faults.append(f"Translation is {found}, not 0x0407 0x04b0 (German, UTF-16) in 4 bytes")
    return faults


def check_version_strings(strings):
    if strings is None:
        return ["no StringFileInfo block \"040704B0\""]
    faults = []
    for name, wanted in VERSION_STRINGS.items():
        if strings.get(name) != wanted:
            faults.append(f"{name} is {strings.get(name)!r}, not {wanted!r}")
    for name in VERSION_STRINGS_ANY:
        if not strings.get(name):
            faults.append(f"{name} is missing or empty")
    return faults


# --- Icon ---------------------------------------------------------------------

ICON_IMAGES = {(size, bits) for size in (16, 24, 32, 48) for bits in (8, 32)}


def _stride(width, bits):
    return (width * bits + 31) // 32 * 4


def check_icon_image(data, size, bits):
    """Faults of one icon image, a DIB with its colour rows and AND mask."""
    if len(data) < 40:
        return [f"{size} px {bits} bpp icon image has only {len(data)} bytes"]
    header_size, width, height, planes, bit_count, compression = struct.unpack_from(
        "<IiiHHI", data)
    colours_used = struct.unpack_from("<I", data, 32)[0]
    where = f"{size} px {bits} bpp icon image"
    if (header_size, width, height, planes, bit_count, compression) != (40, size, 2 * size, 1,
                                                                        bits, 0):
        return [f"{where} has header size {header_size}, {width}x{height}, {planes} planes, "
                f"{bit_count} bpp, compression {compression}"]
    palette = 4 * (colours_used or 256) if bits == 8 else 0
    colour_bytes = _stride(size, bits) * size
    expected = 40 + palette + colour_bytes + _stride(size, 1) * size
    if len(data) != expected:
        return [f"{where} is {len(data)} bytes, expected {expected}"]
    if bits == 32:
        start = 40
        alphas = {data[i] for i in range(start + 3, start + colour_bytes, 4)}
        if alphas == {0}:
            return [f"{where} has no alpha (every pixel fully transparent)"]
    return []


def check_icon(resources):
    group = find(resources, RT_GROUP_ICON, 1)
    if group is None:
        return ["no icon group 1"]
    _, kind, count = _unpack("<HHH", group, 0)
    if kind != 1 or len(group) != 6 + 14 * count:
        return [f"icon group 1 has type {kind}, {count} entries in {len(group)} bytes"]
    faults = []
    found = []
    for i in range(count):
        width, height, colours, _, planes, bits, size, icon_id = struct.unpack_from(
            "<BBBBHHIH", group, 6 + 14 * i)
        width, height = width or 256, height or 256
        found.append((width, bits))
        if width != height:
            faults.append(f"icon group entry {i} is {width}x{height}, not square")
        if bits == 8 and colours != 0:
            faults.append(f"icon group entry {i} claims {colours} colours, not 256")
        image = find(resources, RT_ICON, icon_id)
        if image is None:
            faults.append(f"icon group entry {i} names icon {icon_id}, which is missing")
        elif len(image) != size:
            faults.append(f"icon {icon_id} is {len(image)} bytes, its group entry says {size}")
        else:
            faults += check_icon_image(image, width, bits)
    if sorted(found) != sorted(ICON_IMAGES):
        faults.append(f"icon group 1 holds {sorted(found)}, not 16/24/32/48 px at 8 and 32 bpp")
    return faults


# --- Badge --------------------------------------------------------------------

BADGE_ID = 101
BADGE_SIZE = (103, 27)


def jpeg_segments(data):
    """The (marker, payload) pairs of a JPEG up to EOI, skipping the entropy
    coded data after each SOS.
    """
    if data[:2] != b"\xff\xd8":
        raise PeError("no JPEG start of image")
    segments = []
    position = 2
    while True:
        if position + 2 > len(data) or data[position] != 0xFF:
            raise PeError(f"no JPEG marker at offset {position}")
        marker = data[position + 1]
        if marker == 0xFF:  # fill byte
            position += 1
            continue
        if marker == 0xD9:
            segments.append((marker, b""))
            if position + 2 != len(data):
                raise PeError(f"{len(data) - position - 2} bytes after the JPEG end")
            return segments
        (length,) = _unpack(">H", data, position + 2)
        payload = data[position + 4:position + 2 + length]
        if length < 2 or len(payload) != length - 2:
            raise PeError(f"JPEG segment {marker:#x} at offset {position} is cut short")
        segments.append((marker, payload))
        position += 2 + length
        if marker == 0xDA:
            # Entropy coded data runs to the next marker that is neither a
            # stuffed zero nor a restart marker.
            while position + 1 < len(data) and not (
                    data[position] == 0xFF and data[position + 1] not in range(0xD0, 0xD8)
                    and data[position + 1] != 0):
                position += 1


def exif_orientation(payload):
    """The Orientation tag of an APP1 Exif payload, or None."""
    tiff = payload[6:]
    if tiff[:4] == b"II*\0":
        order = "<"
    elif tiff[:4] == b"MM\0*":
        order = ">"
    else:
        return None
    (ifd,) = struct.unpack_from(order + "I", tiff, 4)
    (count,) = struct.unpack_from(order + "H", tiff, ifd)
    for i in range(count):
        tag, kind, _, value = struct.unpack_from(order + "HHI4s", tiff, ifd + 2 + 12 * i)
        if tag == 0x0112 and kind == 3:
            return struct.unpack_from(order + "H", value)[0]
    return None


def check_badge(resources):
    data = find(resources, RT_RCDATA, BADGE_ID)
    if data is None:
        return [f"no RCDATA {BADGE_ID}"]
    try:
        segments = jpeg_segments(data)
    except PeError as error:
        return [f"badge: {error}"]
    faults = []
    markers = [marker for marker, _ in segments]
    if not (segments[0][0] == 0xE0 and segments[0][1].startswith(b"JFIF\0")):
        faults.append("badge does not start with a JFIF APP0 segment")
    exif = [payload for marker, payload in segments
            if marker == 0xE1 and payload.startswith(b"Exif\0\0")]
    if len(exif) != 1:
        faults.append(f"badge has {len(exif)} Exif APP1 segments, not one")
    else:
        try:
            orientation = exif_orientation(exif[0])
        except struct.error:
            orientation = None
        if orientation is None:
            faults.append("badge Exif block has no readable TIFF header with an Orientation tag")
    frames = [(marker, payload) for marker, payload in segments
              if marker in range(0xC0, 0xD0) and marker not in (0xC4, 0xC8, 0xCC)]
    if [marker for marker, _ in frames] != [0xC2]:
        faults.append(f"badge frames are {[hex(m) for m, _ in frames]}, not one progressive SOF2")
    else:
        _, height, width, components = struct.unpack_from(">BHHB", frames[0][1])
        if (width, height) != BADGE_SIZE or components != 3:
            faults.append(f"badge is {width}x{height} with {components} components, "
                          f"not {BADGE_SIZE[0]}x{BADGE_SIZE[1]} with 3")
    if markers.count(0xDA) < 2:
        faults.append(f"badge has {markers.count(0xDA)} scans; a progressive JPEG has several")
    return faults


# --- Main ---------------------------------------------------------------------

CHECKS = (check_manifest, check_version, check_icon, check_badge)


def check_file(pe):
    """Every fault of the program file's resources; empty when all is well."""
    try:
        resources = read_resources(pe)
    except PeError as error:
        return [f"cannot read resources: {error}"]
    faults = []
    for check in CHECKS:
        try:
            faults += check(resources)
        except (PeError, struct.error) as error:
            faults.append(f"{check.__name__}: malformed data: {error}")
    return faults


def main(argv=None):
    argv = sys.argv[1:] if argv is None else argv
    if len(argv) != 1:
        print("usage: check_resources.py PROGRAM.exe", file=sys.stderr)
        return 2
    with open(argv[0], "rb") as program:
        faults = check_file(program.read())
    for fault in faults:
        print(f"{argv[0]}: {fault}")
    if faults:
        return 1
    print(f"{argv[0]}: resources OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
