"""What bench/run_bench.py times: the commands of each scenario, the text,
the batch and the peak memory, gathered into one results dict."""

from __future__ import annotations

import json
import os
import re
import shutil
import statistics
import subprocess
from pathlib import Path

from bench_inputs import LINES, SCENARIOS, TINY, Scenario, fendrix_lines, picture_size
from bench_report import have_matplotlib
from bench_timing import (BenchError, Command, fresh_folder, interleaved, pair_difference,
                          pair_ratio, removed, run_steps)

# Debian's ImageMagick by its full path: an earlier `convert` on PATH may be
# something else.
IM_CONVERT = Path("/usr/bin/convert")
GNU_TIME = Path("/usr/bin/time")
BATCH_RESOLUTIONS = "1024x768,800x600"
# The skinconv runs of a scenario; all but the floor and the peers, whose
# prepared folders lie in the work folder.
SKINCONV_RUNS = ("nearest", "smooth", "check", "dry-run")


def shell_line(argv: list[str], exit_code: int) -> str:
    line = " ".join(f"'{a}'" for a in argv)
    # hyperfine takes any exit but 0 for a failure.
    return line if exit_code == 0 else f"{{ {line}; [ $? -eq {exit_code} ]; }}"


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
        if s.with_reads:
            commands += self.read_commands(s)
        if s.with_peers and self.have_im:
            commands += self.peer_commands(s, sources, ref)
        return commands

    def read_commands(self, s: Scenario) -> list[Command]:
        """check of the base folder and the conversion as a dry run: each reads
        what the conversion reads and writes nothing. Both start, as the
        conversion does, without the new folder."""
        out = self.skins / s.skin / s.target
        check = [str(self.bin / "skinconv"), "check", s.skin, s.base, "--skins", str(self.skins)]
        # The bench skins' texts give some keys twice, so check has findings
        # and ends with 1; 0 or 5 would mean it read something else.
        return [
            Command(f"{s.skin}/check", "skinconv check of the base folder", [check], removed(out),
                    exit_code=1),
            Command(f"{s.skin}/dry-run", "skinconv convert --dry-run",
                    [self.convert_args(s) + ["--dry-run"]], removed(out)),
        ]

    def peer_commands(self, s: Scenario, sources: list[Path], ref: Path) -> list[Command]:
        """ImageMagick asked for the sizes of the reference conversion, once a
        process per file and once all files in one process."""
        work = self.work / s.skin
        jobs = []
        for source in sources:
            width, height = picture_size(ref / (source.stem + ".bmp"))
            jobs.append((source, f"{width}x{height}!", source.stem + ".bmp"))
        commands = []
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
            if f"{k}/check" in times:
                for read in ("check", "dry-run"):
                    self.ratio(f"{k}/{read}:nearest", times, f"{k}/{read}", f"{k}/nearest")
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
            if command.key.endswith(SKINCONV_RUNS):
                prepare = f"rm -rf '{target}'"
            else:
                folder = self.work / "S1280" / command.key.split("/", 1)[1]
                prepare = f"rm -rf '{folder}' && mkdir -p '{folder}'"
            shell = " && ".join(shell_line(argv_, command.exit_code) for argv_ in command.steps)
            argv += ["--prepare", prepare, "--command-name", command.key, shell]
        done = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        removed(self.skins / "S1280" / "1024x768")()
        if done.returncode != 0:
            raise BenchError(f"hyperfine failed: {done.stderr[-500:]}")
        for result in json.loads(json_path.read_text())["results"]:
            self.results["times"][result["command"]]["hyperfine"] = {
                "mean": result["mean"], "stddev": result["stddev"], "min": result["min"],
                "max": result["max"], "runs": len(result["times"])}
