#!/usr/bin/python3
"""Times skinconv beside its floor and beside ImageMagick; writes the results.

The floor of a conversion is reading and decoding its pictures once with the
converter's own decoders plus writing its output bytes once, flushed to the
disk as the conversion flushes them (bench_decode --write of a finished
output folder). Every timed figure with a goal is taken from
interleaved runs: each round runs all commands of a scenario once, in
alternating order; a ratio is the median of the per-round ratios, the time
the long Skin.vsk adds the median of the per-round differences. Every
command writes into an empty folder on the same file system as its inputs;
emptying it is not timed. Peak memory comes from /usr/bin/time -v.

    bench/run_bench.py --bin build/bench/bin --inputs build/bench/inputs
    bench/run_bench.py --bin build/native/bin --smoke

The inputs come from make_bench_skins and must match bench/inputs.sha256,
else nothing is timed (--write-sha makes the list anew after a deliberate
change of the generator). --smoke makes tiny inputs in a temporary folder,
runs every command once and writes its report there: it proves that the
benchmark works, its numbers mean nothing. Standard library only, but for
matplotlib, which draws the plot (Debian's python3-matplotlib, installed by
scripts/bootstrap --bench; a smoke run without it leaves the plot out).
"""

from __future__ import annotations

import argparse
import dataclasses
import datetime
import hashlib
import json
import os
import platform
import re
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path
from typing import Callable

from bench_report import have_matplotlib, write_markdown, write_plot

REPO = Path(__file__).resolve().parent.parent
SHA_LIST = REPO / "bench" / "inputs.sha256"
# Debian's ImageMagick by its full path: an earlier `convert` on PATH may be
# something else.
IM_CONVERT = Path("/usr/bin/convert")
GNU_TIME = Path("/usr/bin/time")
# The packages whose versions shape the numbers or the input bytes.
PACKAGES = ["libjpeg62-turbo", "libgif7", "imagemagick", "hyperfine", "coreutils", "g++", "time"]


class BenchError(Exception):
    pass


@dataclasses.dataclass
class Scenario:
    skin: str
    base: str
    target: str
    with_peers: bool  # ImageMagick too


SCENARIOS = [
    Scenario("S1280", "1280x1024", "1024x768", True),
    Scenario("S1920", "1920x1200", "1280x1024", False),
    Scenario("Sup", "1024x768", "1280x1024", False),
]
# The same bitmaps, once with a Skin.vsk of 5,000 lines and once with one of
# only its form and bitmap lines: the difference is what the text costs.
LINES = Scenario("Lines", "1280x1024", "1024x768", False)
TINY = Scenario("Tiny", "1280x1024", "1024x768", False)
BATCH_RESOLUTIONS = "1024x768,800x600"


@dataclasses.dataclass
class Command:
    key: str
    label: str
    steps: list[list[str]]  # processes run one after the other, timed together
    prepare: Callable[[], None]  # untimed, before every run


def run_steps(command: Command) -> float:
    command.prepare()
    start = time.perf_counter()
    for argv in command.steps:
        done = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        if done.returncode != 0:
            raise BenchError(f"{command.label}: {' '.join(argv[:4])}... exited "
                             f"{done.returncode}: {done.stderr.decode(errors='replace').strip()}")
    return time.perf_counter() - start


def interleaved(commands: list[Command], rounds: int) -> dict[str, list[float]]:
    """Times of each command, one per round; one untimed round warms caches."""
    for command in commands:
        run_steps(command)
    times: dict[str, list[float]] = {c.key: [] for c in commands}
    for r in range(rounds):
        order = commands if r % 2 == 0 else commands[::-1]
        for command in order:
            times[command.key].append(run_steps(command))
    return times


def pair_ratio(times: dict[str, list[float]], a: str, b: str) -> float:
    return statistics.median(x / y for x, y in zip(times[a], times[b]))


def pair_difference(times: dict[str, list[float]], a: str, b: str) -> float:
    return statistics.median(x - y for x, y in zip(times[a], times[b]))


def fresh_folder(path: Path) -> Callable[[], None]:
    def prepare() -> None:
        shutil.rmtree(path, ignore_errors=True)
        path.mkdir(parents=True)
    return prepare


def removed(*paths: Path) -> Callable[[], None]:
    def prepare() -> None:
        for path in paths:
            shutil.rmtree(path, ignore_errors=True)
    return prepare


# --- Inputs -----------------------------------------------------------------

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


# --- Commands -----------------------------------------------------------------

class Bench:
    def __init__(self, bin_dir: Path, inputs: Path, rounds: int, smoke: bool):
        self.bin = bin_dir
        self.inputs = inputs
        self.skins = inputs / "skins"
        self.work = inputs / "work"
        self.rounds = rounds
        self.smoke = smoke
        self.have_im = IM_CONVERT.exists()
        self.have_time = GNU_TIME.exists()
        self.have_hyperfine = shutil.which("hyperfine") is not None
        if not smoke:
            missing = [str(p) for p, ok in [(IM_CONVERT, self.have_im), (GNU_TIME, self.have_time),
                                            ("hyperfine", self.have_hyperfine),
                                            ("matplotlib", have_matplotlib())] if not ok]
            if missing:
                raise BenchError(f"missing {', '.join(missing)}: run scripts/bootstrap --bench")
        self.results: dict = {"ratios": {}, "differences": {}, "times": {}, "memory": {}}

    def skinconv(self, *args: str) -> list[str]:
        return [str(self.bin / "skinconv"), "convert", *args, "--yes", "--quiet"]

    def convert_args(self, s: Scenario, smooth: bool = False) -> list[str]:
        args = self.skinconv(s.skin, s.target, "--skins", str(self.skins), "--from", s.base)
        return args + (["--filter", "smooth"] if smooth else [])

    def scenario_commands(self, s: Scenario) -> list[Command]:
        base = self.skins / s.skin / s.base
        out = self.skins / s.skin / s.target
        sources = sorted(p for p in base.iterdir() if p.name != "Skin.vsk")
        work = self.work / s.skin
        shutil.rmtree(work, ignore_errors=True)
        # A finished conversion gives the bytes the floor writes and the
        # sizes the peers are asked for.
        removed(out)()
        run_steps(Command("ref", "reference conversion", [self.convert_args(s)], lambda: None))
        ref = work / "ref"
        shutil.copytree(out, ref)
        removed(out)()
        floor_out = work / "floor"
        commands = [
            # The output is written as the conversion writes it: flushed to
            # the disk file by file, then the folder.
            Command(f"{s.skin}/floor", "floor: bench_decode with --write",
                    [[str(self.bin / "bench_decode"), *map(str, sources),
                      "--write", str(ref), str(floor_out)]],
                    fresh_folder(floor_out)),
            Command(f"{s.skin}/nearest", "skinconv convert", [self.convert_args(s)], removed(out)),
            Command(f"{s.skin}/smooth", "skinconv convert --filter smooth",
                    [self.convert_args(s, smooth=True)], removed(out)),
        ]
        if s.with_peers and self.have_im:
            jobs = []
            for source in sources:
                width, height = picture_size(ref / (source.stem + ".bmp"))
                jobs.append((source, f"{width}x{height}!", source.stem + ".bmp"))
            for op in ("sample", "resize"):
                folder = work / f"im-{op}-files"
                steps = [[str(IM_CONVERT), str(src), f"-{op}", geometry, "-type", "TrueColor",
                          f"BMP3:{folder / name}"] for src, geometry, name in jobs]
                commands.append(Command(f"{s.skin}/im-{op}-files",
                                        f"ImageMagick convert -{op}, one process per file",
                                        steps, fresh_folder(folder)))
                folder = work / f"im-{op}-one"
                argv = [str(IM_CONVERT)]
                for i, (src, geometry, name) in enumerate(jobs):
                    argv += [str(src), f"-{op}", geometry, "-type", "TrueColor"]
                    argv += [f"BMP3:{folder / name}"] if i == len(jobs) - 1 else \
                        ["-write", f"BMP3:{folder / name}", "+delete"]
                commands.append(Command(f"{s.skin}/im-{op}-one",
                                        f"ImageMagick convert -{op}, all files in one process",
                                        [argv], fresh_folder(folder)))
        return commands

    def record_times(self, times: dict[str, list[float]], labels: dict[str, str]) -> None:
        for key, values in times.items():
            self.results["times"][key] = {"label": labels[key], "median": statistics.median(values),
                                          "min": min(values), "max": max(values),
                                          "runs": len(values)}

    def ratio(self, key: str, times: dict[str, list[float]], a: str, b: str) -> None:
        self.results["ratios"][key] = {"value": pair_ratio(times, a, b), "pairs": len(times[a]),
                                       "a": a, "b": b}

    def run_scenarios(self) -> None:
        for s in SCENARIOS:
            commands = self.scenario_commands(s)
            print(f"bench: {s.skin} {s.base} -> {s.target}: {len(commands)} commands x "
                  f"{self.rounds} rounds", flush=True)
            times = interleaved(commands, self.rounds)
            removed(self.skins / s.skin / s.target)()
            self.record_times(times, {c.key: c.label for c in commands})
            k = s.skin
            self.ratio(f"{k}/nearest:floor", times, f"{k}/nearest", f"{k}/floor")
            self.ratio(f"{k}/smooth:floor", times, f"{k}/smooth", f"{k}/floor")
            if f"{k}/im-sample-files" in times:
                for op, ours in (("sample", "nearest"), ("resize", "smooth")):
                    for how in ("files", "one"):
                        self.ratio(f"{k}/{ours}:im-{op}-{how}", times, f"{k}/{ours}",
                                   f"{k}/im-{op}-{how}")
            if s.skin == "S1280" and self.have_hyperfine:
                self.hyperfine(commands)

    def run_text(self) -> None:
        lines = self.skins / LINES.skin / LINES.base / "Skin.vsk"
        tiny = self.skins / TINY.skin / TINY.base / "Skin.vsk"
        counts = [len(fendrix_lines(p)) for p in (lines, tiny)]
        outs = [self.skins / s.skin / s.target for s in (LINES, TINY)]
        commands = [
            Command("text/lines", f"skinconv convert, Skin.vsk of {counts[0]:,} lines",
                    [self.convert_args(LINES)], removed(outs[0])),
            Command("text/tiny", f"skinconv convert, same bitmaps, Skin.vsk of {counts[1]} lines",
                    [self.convert_args(TINY)], removed(outs[1])),
        ]
        print(f"bench: Skin.vsk of {counts[0]:,} against {counts[1]} lines x {self.rounds} rounds",
              flush=True)
        times = interleaved(commands, self.rounds)
        removed(*outs)()
        self.record_times(times, {c.key: c.label for c in commands})
        self.results["differences"]["text:added"] = {
            "value": pair_difference(times, "text/lines", "text/tiny"),
            "pairs": len(times["text/lines"]), "a": "text/lines", "b": "text/tiny"}
        self.ratio("text:tiny", times, "text/lines", "text/tiny")

    def run_batch(self) -> None:
        batch = self.inputs / "batch"
        skins = sorted(batch.iterdir())
        outs = [skin / res for skin in skins for res in BATCH_RESOLUTIONS.split(",")]
        commands = [
            Command(f"batch/jobs{n}", f"skinconv convert --all {BATCH_RESOLUTIONS} --jobs {n}",
                    [self.skinconv("--all", BATCH_RESOLUTIONS, "--skins", str(batch),
                                   "--jobs", str(n))], removed(*outs))
            for n in (1, 2)
        ]
        print(f"bench: batch of {len(skins)} skins x 2 resolutions x {self.rounds} rounds",
              flush=True)
        times = interleaved(commands, self.rounds)
        self.record_times(times, {c.key: c.label for c in commands})
        self.ratio("batch:jobs", times, "batch/jobs2", "batch/jobs1")
        removed(*outs)()

    def peak_memory(self, s: Scenario, smooth: bool, runs: int) -> int:
        """Largest resident set in KiB over `runs` runs."""
        argv = self.convert_args(s, smooth)
        out = self.skins / s.skin / s.target
        peak = 0
        for _ in range(runs):
            removed(out)()
            if self.have_time:
                done = subprocess.run([str(GNU_TIME), "-v", *argv], capture_output=True, text=True)
                match = re.search(r"Maximum resident set size \(kbytes\): (\d+)", done.stderr)
                if done.returncode != 0 or not match:
                    raise BenchError(f"/usr/bin/time -v {' '.join(argv)}: {done.stderr[-300:]}")
                peak = max(peak, int(match.group(1)))
            else:
                process = subprocess.Popen(argv, stdout=subprocess.DEVNULL)
                _, status, usage = os.wait4(process.pid, 0)
                if status != 0:
                    raise BenchError(f"{' '.join(argv)} failed")
                peak = max(peak, usage.ru_maxrss)
        removed(out)()
        return peak

    def run_memory(self) -> None:
        print("bench: peak memory", flush=True)
        s1920 = SCENARIOS[1]
        base = self.skins / s1920.skin / s1920.base
        ref = self.work / s1920.skin / "ref"
        largest = max((p for p in base.iterdir() if p.name != "Skin.vsk"),
                      key=lambda p: picture_size(p)[0] * picture_size(p)[1])
        width, height = picture_size(largest)
        decoded = width * height * 3
        output = (ref / (largest.stem + ".bmp")).stat().st_size
        runs = 1 if self.smoke else 5
        memory = self.results["memory"]
        memory["bound"] = {"picture": largest.name, "size": f"{width}x{height}",
                           "decoded": decoded, "output": output,
                           "limit_kib": 3 * (decoded + output) / 1024}
        memory["S1920/nearest"] = self.peak_memory(s1920, False, runs)
        memory["S1920/smooth"] = self.peak_memory(s1920, True, runs)
        memory["S1280/nearest"] = self.peak_memory(SCENARIOS[0], False, runs)
        memory["text/lines"] = self.peak_memory(LINES, False, runs)
        memory["tool"] = "/usr/bin/time -v" if self.have_time else "wait4 (smoke only)"

    def hyperfine(self, commands: list[Command]) -> None:
        """Absolute times of the S1280 commands with hyperfine's statistics."""
        json_path = self.work / "hyperfine.json"
        argv = ["hyperfine", "--style", "none", "--warmup", "2", "--runs",
                "2" if self.smoke else "10", "--export-json", str(json_path)]
        for command in commands:
            # The untimed preparation as hyperfine's --prepare: empty the
            # folder the command writes to.
            target = self.skins / "S1280" / "1024x768"
            if command.key.endswith(("nearest", "smooth")):
                prepare = f"rm -rf '{target}'"
            else:
                folder = self.work / "S1280" / command.key.split("/", 1)[1]
                prepare = f"rm -rf '{folder}' && mkdir -p '{folder}'"
            shell = " && ".join(" ".join(f"'{a}'" for a in argv_) for argv_ in command.steps)
            argv += ["--prepare", prepare, "--command-name", command.key, shell]
        done = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        removed(self.skins / "S1280" / "1024x768")()
        if done.returncode != 0:
            raise BenchError(f"hyperfine failed: {done.stderr[-500:]}")
        for result in json.loads(json_path.read_text())["results"]:
            self.results["times"][result["command"]]["hyperfine"] = {
                "mean": result["mean"], "stddev": result["stddev"], "min": result["min"],
                "max": result["max"], "runs": len(result["times"])}


# --- Report -------------------------------------------------------------------

def machine() -> dict[str, str]:
    cpu = "-"
    for line in Path("/proc/cpuinfo").read_text().splitlines():
        if line.startswith("model name"):
            cpu = line.split(":", 1)[1].strip()
            break
    memory = "-"
    for line in Path("/proc/meminfo").read_text().splitlines():
        if line.startswith("MemTotal"):
            memory = f"{int(line.split()[1]) / 1024 / 1024:.0f} GiB"
    return {"cpu": f"{cpu}, {os.cpu_count()} cores", "memory": memory,
            "kernel": f"{platform.system()} {platform.release()}",
            "load": " ".join(f"{x:.2f}" for x in os.getloadavg())}


def build_type(bin_dir: Path) -> str:
    cache = bin_dir.parent / "CMakeCache.txt"
    if cache.exists():
        match = re.search(r"^CMAKE_BUILD_TYPE:\w+=(\w*)", cache.read_text(), re.M)
        if match:
            return match.group(1)
    return "-"


# --- Main -----------------------------------------------------------------------

def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", type=Path, default=REPO / "build" / "bench" / "bin",
                        help="folder with skinconv, bench_decode and make_bench_skins")
    parser.add_argument("--inputs", type=Path, default=REPO / "build" / "bench" / "inputs",
                        help="the folder make_bench_skins wrote")
    parser.add_argument("--rounds", type=int, default=21, help="interleaved rounds (pairs)")
    parser.add_argument("--markdown", type=Path, default=REPO / "docs" / "benchmarks.md")
    parser.add_argument("--plot", type=Path, default=REPO / "docs" / "benchmarks.png")
    parser.add_argument("--smoke", action="store_true",
                        help="tiny inputs in a temporary folder, one round, report there")
    parser.add_argument("--write-sha", action="store_true",
                        help="write bench/inputs.sha256 from the inputs and stop")
    parser.add_argument("--check-only", action="store_true",
                        help="check the inputs against bench/inputs.sha256 and stop")
    args = parser.parse_args()

    try:
        if args.smoke:
            with tempfile.TemporaryDirectory(prefix="fendrix-bench-") as temp:
                inputs = Path(temp) / "inputs"
                subprocess.run([str(args.bin / "make_bench_skins"), str(inputs), "--smoke"],
                               check=True, stdout=subprocess.DEVNULL)
                return run(args, inputs, 1, Path(temp) / "benchmarks.md",
                           Path(temp) / "benchmarks.png", smoke=True)
        if args.write_sha:
            write_sha_list(args.inputs)
            print(f"bench: wrote {SHA_LIST}")
            return 0
        check_inputs(args.inputs)
        if args.check_only:
            print("bench: inputs match bench/inputs.sha256")
            return 0
        if build_type(args.bin) not in ("Release", "RelWithDebInfo"):
            raise BenchError(f"{args.bin} holds no optimised build (CMAKE_BUILD_TYPE "
                             f"'{build_type(args.bin)}'); its numbers would mean nothing")
        if args.rounds < 21:
            print("bench: fewer than 21 rounds: the ratios are not the goal figures",
                  file=sys.stderr)
        return run(args, args.inputs, args.rounds, args.markdown, args.plot, smoke=False)
    except (BenchError, subprocess.CalledProcessError, OSError) as error:
        print(f"bench: {error}", file=sys.stderr)
        return 1


def run(args, inputs: Path, rounds: int, markdown: Path, plot: Path, smoke: bool) -> int:
    started = machine()
    bench = Bench(args.bin, inputs, rounds, smoke)
    bench.run_scenarios()
    bench.run_text()
    bench.run_batch()
    bench.run_memory()
    compiler = subprocess.run(["g++", "--version"], capture_output=True, text=True).stdout
    info = {**started, "load_before": started["load"], "load_after": machine()["load"],
            "date": datetime.date.today().isoformat(), "build": build_type(args.bin),
            "compiler": compiler.splitlines()[0] if compiler else "-",
            "packages": {name: package_version(name) for name in PACKAGES},
            "memory_runs": 1 if smoke else 5, "batch_resolutions": BATCH_RESOLUTIONS}
    write_markdown(markdown, bench.results, info)
    if have_matplotlib():
        write_plot(plot, bench.results)
    else:
        print("bench: no matplotlib (scripts/bootstrap --bench installs it): no plot")
    shutil.rmtree(bench.work, ignore_errors=True)
    if smoke:
        print("bench: smoke run complete; every command ran (its numbers mean nothing)")
    else:
        print(markdown.read_text().split("## All ratios")[0].rstrip())
        print(f"bench: wrote {markdown} and {plot}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
