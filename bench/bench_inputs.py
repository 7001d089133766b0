"""The skins bench/run_bench.py converts, and the check that they are the
bytes bench/inputs.sha256 lists."""

from __future__ import annotations

import dataclasses
import hashlib
import struct
import subprocess
from pathlib import Path

from bench_timing import BenchError

REPO = Path(__file__).resolve().parent.parent
SHA_LIST = REPO / "bench" / "inputs.sha256"


@dataclasses.dataclass
class Scenario:
    skin: str
    base: str
    target: str
    with_peers: bool  # ImageMagick too
    with_reads: bool = False  # check and convert --dry-run too, beside the conversion


SCENARIOS = [
    Scenario("S1280", "1280x1024", "1024x768", True, with_reads=True),
    Scenario("S1920", "1920x1200", "1280x1024", False),
    Scenario("Sup", "1024x768", "1280x1024", False),
]
# The same bitmaps, once with a Skin.vsk of 5,000 lines and once with one of
# only its form and bitmap lines: the difference is what the text costs.
LINES = Scenario("Lines", "1280x1024", "1024x768", False)
TINY = Scenario("Tiny", "1280x1024", "1024x768", False)


def sha256(path: Path) -> str:
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def input_hashes(inputs: Path) -> dict[str, str]:
    """The base folders' files; what conversions add beside them is not input."""
    files = [p for s in [*SCENARIOS, LINES, TINY]
             for p in sorted((inputs / "skins" / s.skin / s.base).glob("*")) if p.is_file()]
    return {p.relative_to(inputs).as_posix(): sha256(p) for p in files}


def package_version(name: str) -> str:
    # A package installed for two architectures answers once for each.
    done = subprocess.run(["dpkg-query", "-W", "-f", "${Version}\n", name],
                          capture_output=True, text=True)
    versions = done.stdout.split() if done.returncode == 0 else []
    return versions[0] if versions else "-"


def write_sha_list(inputs: Path) -> None:
    lines = ["# sha256 of the benchmark inputs, made by tools/make_bench_skins.",
             "# The JPEG and GIF bytes depend on the encoder libraries; made with "
             f"libjpeg62-turbo {package_version('libjpeg62-turbo')}, "
             f"libgif7 {package_version('libgif7')}."]
    lines += [f"{digest}  {name}" for name, digest in input_hashes(inputs).items()]
    SHA_LIST.write_text("\n".join(lines) + "\n")


def check_inputs(inputs: Path) -> None:
    if not SHA_LIST.exists():
        raise BenchError(f"{SHA_LIST} is missing")
    expected = {}
    for line in SHA_LIST.read_text().splitlines():
        if line and not line.startswith("#"):
            digest, name = line.split("  ", 1)
            expected[name] = digest
    found = input_hashes(inputs)
    wrong = sorted(n for n in expected.keys() | found.keys() if expected.get(n) != found.get(n))
    if wrong:
        raise BenchError(
            f"the inputs do not match {SHA_LIST.relative_to(REPO)} ({len(wrong)} files, first "
            f"{wrong[0]}); other library versions than the list names write other bytes. "
            "Refusing to time them.")
    # The batch skins are hard links to (or copies of) S1280's files.
    s1280 = inputs / "skins" / "S1280" / "1280x1024"
    for skin in sorted((inputs / "batch").iterdir()):
        for path in (skin / "1280x1024").iterdir():
            source = s1280 / path.name
            if not (path.samefile(source) or sha256(path) == sha256(source)):
                raise BenchError(f"{path} differs from {source}; refusing to time it")


def fendrix_lines(path: Path) -> list[bytes]:
    """The lines of a Skin.vsk, each enciphered on its own."""
    return path.read_bytes().splitlines()


def picture_size(path: Path) -> tuple[int, int]:
    data = path.read_bytes()
    if data[:2] == b"BM":
        width, height = struct.unpack("<ii", data[18:26])
        return width, abs(height)
    if data[:3] == b"GIF":
        return struct.unpack("<HH", data[6:10])
    pos = 2
    while pos < len(data):
        marker, length = data[pos + 1], struct.unpack(">H", data[pos + 2:pos + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            height, width = struct.unpack(">HH", data[pos + 5:pos + 9])
            return width, height
        pos += 2 + length
    raise BenchError(f"no size found in {path}")
