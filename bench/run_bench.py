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
emptying it is not timed. check of S1280's base folder and the same
conversion with --dry-run run in the rounds of that conversion. Peak memory
comes from /usr/bin/time -v.

    bench/run_bench.py --bin build/bench/bin --inputs build/bench/inputs
    bench/run_bench.py --bin build/native/bin --smoke

The inputs come from make_bench_skins and must match bench/inputs.sha256,
else nothing is timed (--write-sha makes the list anew after a deliberate
change of the generator). --smoke makes tiny inputs in a temporary folder,
runs every command once and writes its report there: it proves that the
benchmark works, its numbers mean nothing. Standard library only, but for
matplotlib, which draws the plot (Debian's python3-matplotlib, installed by
scripts/bootstrap --bench; a smoke run without it leaves the plot out).
Beside it: bench_timing.py (interleaved rounds), bench_inputs.py (the skins
and their sha256 list), bench_scenarios.py (the commands timed) and
bench_report.py (the goals, the markdown and the plot).
"""

from __future__ import annotations

import argparse
import datetime
import os
import platform
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

from bench_inputs import REPO, SHA_LIST, check_inputs, package_version, write_sha_list
from bench_report import have_matplotlib, write_markdown, write_plot
from bench_scenarios import BATCH_RESOLUTIONS, Bench
from bench_timing import BenchError

# The packages whose versions shape the numbers or the input bytes.
PACKAGES = ["libjpeg62-turbo", "libgif7", "imagemagick", "hyperfine", "coreutils", "g++", "time"]


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
