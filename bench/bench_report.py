"""The report of bench/run_bench.py: the goals, docs/benchmarks.md and the plot."""

from __future__ import annotations

from pathlib import Path

def have_matplotlib() -> bool:
    try:
        import matplotlib  # noqa: F401
    except ImportError:
        return False
    return True


GOALS = [
    # key, figure, goal, stretch goal
    ("S1280/nearest:floor", "whole skin S1280 / floor (decode inputs + write outputs)", 1.25, 1.10),
    ("S1280/nearest:im-sample-files", "whole skin S1280 / ImageMagick -sample per file", 0.30,
     None),
    ("S1280/nearest:im-sample-one", "whole skin S1280 / ImageMagick -sample one process", 0.40,
     None),
    ("S1280/smooth:floor", "smooth filter S1280 / floor", 1.60, None),
    ("S1280/check:nearest", "check S1280 / convert S1280", 1.0, None),
    ("S1280/dry-run:nearest", "convert --dry-run S1280 / convert S1280", 1.0, None),
    ("text:added", "time a 5,000-line Skin.vsk adds to a run (ms)", 2.0, None),
    ("memory", "peak memory S1920 / (3 x (largest decoded picture + its output))", 1.0, None),
    ("batch:jobs", "batch 40 skins x 2 resolutions: --jobs 2 / --jobs 1", 0.60, None),
]


def goal_rows(results: dict) -> list[tuple[str, str, float, float, float | None, str]]:
    """(key, figure, measured, goal, stretch, shown value) for every goal measured."""
    rows = []
    for key, figure, goal, stretch in GOALS:
        if key == "memory":
            memory = results["memory"]
            if "S1920/nearest" not in memory:
                continue
            peak = max(memory["S1920/nearest"], memory["S1920/smooth"])
            limit = memory["bound"]["limit_kib"]
            rows.append((key, figure, peak / limit, goal, stretch,
                         f"{peak / 1024:.1f} MiB of {limit / 1024:.1f} MiB"))
        elif key in results["differences"]:
            value = results["differences"][key]["value"] * 1e3
            rows.append((key, figure, value, goal, stretch, f"{value:.2f} ms"))
        elif key in results["ratios"]:
            value = results["ratios"][key]["value"]
            rows.append((key, figure, value, goal, stretch, f"{value:.2f}"))
    return rows


def verdict(value: float, goal: float, stretch: float | None) -> str:
    if stretch is not None and value <= stretch:
        return "met (stretch too)"
    return "met" if value <= goal else "**missed**"


def write_markdown(path: Path, results: dict, info: dict) -> None:
    lines = ["# Benchmarks", "",
             "Made by `make bench` (bench/run_bench.py); do not edit by hand.", "",
             f"Measured {info['date']} on {info['cpu']}, {info['memory']}, {info['kernel']}; "
             f"load average {info['load_before']} before, {info['load_after']} after. "
             f"skinconv built {info['build']} with {info['compiler']}.", "",
             "## Goals", "",
             "| figure | measured | goal | |", "|---|---|---|---|"]
    for _, figure, value, goal, stretch, shown in goal_rows(results):
        goal_text = f"≤ {goal:g}" + (f" (stretch {stretch:g})" if stretch is not None else "")
        if figure.startswith("peak memory"):
            goal_text = "≤ 1 (3 × (largest decoded picture + its output))"
            shown = f"{value:.2f} ({shown})"
        elif shown.endswith(" ms"):
            goal_text += " ms"
        lines.append(f"| {figure} | {shown} | {goal_text} | {verdict(value, goal, stretch)} |")
    pairs = sorted({r["pairs"] for r in results["ratios"].values()})
    lines += ["", f"Ratios are medians of {', '.join(map(str, pairs))} per-round ratios "
              "(interleaved runs, see below), the added time the median of as many per-round "
              "differences. Nearest filter unless said.", ""]

    lines += ["## All ratios", "", "| ratio | median of per-round ratios |", "|---|---|"]
    for key, ratio in results["ratios"].items():
        a = results["times"][ratio["a"]]["label"]
        b = results["times"][ratio["b"]]["label"]
        lines.append(f"| {ratio['a']} / {ratio['b']} ({a} / {b}) | {ratio['value']:.3f} |")

    lines += ["", "## Times", "",
              "Medians of the interleaved rounds; for S1280 also hyperfine's mean ± σ "
              "(2 warm-up runs, 10 runs, its --prepare empties the output folder).", "",
              "| command | what | median | min | max | hyperfine |", "|---|---|---|---|---|---|"]
    for key, t in results["times"].items():
        hf = t.get("hyperfine")
        hf_text = f"{hf['mean'] * 1e3:.1f} ± {hf['stddev'] * 1e3:.1f} ms" if hf else ""
        lines.append(f"| {key} | {t['label']} | {t['median'] * 1e3:.1f} ms | "
                     f"{t['min'] * 1e3:.1f} ms | {t['max'] * 1e3:.1f} ms | {hf_text} |")

    memory = results["memory"]
    if memory:
        bound = memory["bound"]
        lines += ["", "## Peak memory", "",
                  f"Largest resident set over {info['memory_runs']} runs each, from "
                  f"{memory['tool']}. The bound for S1920 is 3 × ({bound['picture']}, "
                  f"{bound['size']}: {bound['decoded']} bytes decoded + {bound['output']} bytes "
                  f"of its output) = {bound['limit_kib'] / 1024:.1f} MiB.", "",
                  "| run | peak |", "|---|---|"]
        for key in ("S1920/nearest", "S1920/smooth", "S1280/nearest", "text/lines"):
            lines.append(f"| {key} | {memory[key] / 1024:.1f} MiB |")

    lines += ["", "## Versions", "", "| package | version |", "|---|---|"]
    lines += [f"| {name} | {version} |" for name, version in info["packages"].items()]
    lines += ["", "## How it is measured", "", *method_lines(info["batch_resolutions"]), ""]
    path.write_text("\n".join(lines))


def method_lines(batch_resolutions: str) -> list[str]:
    """How it is measured, as the report says it."""
    return [
        "- Build: `make bench` configures a Release tree of its own, `build/bench` (g++, -O3), so "
        "that the numbers do not depend on how the other trees are configured, and builds "
        "skinconv, bench_decode and make_bench_skins there.",
        "- Inputs: `tools/make_bench_skins` draws every picture from fixed seeds with integer "
        "arithmetic and encodes it with libjpeg-turbo (quality 85, 88, 90, 4:2:0), giflib "
        "(64 colours) and its own BMP writer (24 bits). S1280: 3 JPEGs 1280x1024, 4 BMPs "
        "(2x 1280x1024, 640x512, 400x300), 3 GIFs (2x 200x40, 320x64) and a Skin.vsk of 300 lines "
        "naming each picture once, converted to 1024x768. S1920: the same mix at 1920x1200, to "
        "1280x1024. Sup: at 1024x768, to 1280x1024 (enlarging, so writing dominates). Lines: the "
        "five bitmaps a skin names at a quarter of their usual size (a 320x256 JPEG background, a "
        "GIF, three BMPs) and a Skin.vsk "
        "of 5,000 lines as skins have them (each element's Left, Top, Width, Height, mostly a "
        "FontSize with a decimal comma, now and then a ForeColor or Caption), to 1024x768. Tiny: the "
        "same bitmaps (hard links) with a Skin.vsk of only its form and bitmap lines. The bench "
        "refuses to run unless the files match `bench/inputs.sha256`.",
        "- Floor: `bench_decode` reads and decodes every source picture once with the converter's "
        "own decoders, then writes a finished output folder (all bitmaps and the Skin.vsk) into an "
        "empty folder, each file flushed to the disk and then the folder, as the conversion does: "
        "the same bytes the conversion writes, in one process.",
        "- Peers: Debian's ImageMagick 6 (`/usr/bin/convert`), asked for the same pixel sizes as "
        "skinconv makes (`-sample WxH!` for nearest, `-resize WxH!` for smooth) and 24-bit BMPs "
        "(`-type TrueColor BMP3:`). Per file: one `convert` per picture, run one after the other. "
        "One process: a single `convert` that reads, scales and writes every picture in turn "
        "(`in -sample G -write BMP3:out +delete` for each). ImageMagick keeps its default "
        "threads (it may use both cores; skinconv uses one). It cannot touch the enciphered "
        "Skin.vsk, so it does less than skinconv.",
        "- Rounds: one untimed round warms the page cache, then every round runs each command of "
        "a scenario once, forwards in even rounds and backwards in odd ones. A ratio is the median "
        "of the per-round ratios. Before each run the folder the command writes is emptied "
        "(skinconv's new resolution folder is removed, so it creates it as a user's run does); "
        "that is not timed. Inputs and outputs lie on the same file system.",
        "- Check and dry run: S1280's rounds also run `skinconv check S1280 1280x1024` (it ends "
        "with 1, as the bench skin's text gives some keys twice; any other exit stops the bench) "
        "and the same conversion with `--dry-run`, each, as the conversion, without the new "
        "folder. Both read what the conversion reads and write nothing, so neither should take "
        "longer than it.",
        "- Text: Lines and Tiny converted in interleaved rounds; the time the 5,000 lines add to a "
        "run is the median of the per-round differences (Lines minus Tiny), so the bitmaps, the "
        "process start and the folder's flushes cancel out.",
        "- Batch: 40 skins whose files are hard links to S1280's, converted by "
        f"`skinconv convert --all {batch_resolutions}` with `--jobs 1` and `--jobs 2`.",
        "- Peak memory: the largest `Maximum resident set size` of `/usr/bin/time -v` over the runs.",
        "- Plot: `docs/benchmarks.png` is drawn with matplotlib (`scripts/bootstrap --bench` "
        "installs it).",
        "- Noise: the machine is shared with builds of other work; the load averages above tell "
        "how busy it was.",
    ]


PLOT_NAMES = {
    "S1280/nearest:floor": "S1280 / floor", "S1280/nearest:im-sample-files": "S1280 / IM per file",
    "S1280/nearest:im-sample-one": "S1280 / IM one process", "S1280/smooth:floor":
    "smooth / floor", "S1280/check:nearest": "check / convert",
    "S1280/dry-run:nearest": "--dry-run / convert", "text:added": "5,000 lines: added time",
    "memory": "peak memory S1920", "batch:jobs": "2 workers / 1 worker",
}


def write_plot(path: Path, results: dict) -> None:
    """Above: each goal figure as a share of its goal, the line at 100 % being
    the goal. Below: the median times of the S1280 commands."""
    import matplotlib
    matplotlib.use("Agg")  # no display: a file only
    from matplotlib import pyplot

    rows = goal_rows(results)
    times = [(k.split("/", 1)[1], t["median"] * 1e3) for k, t in results["times"].items()
             if k.startswith("S1280/")]
    figure, (goals, commands) = pyplot.subplots(
        2, 1, figsize=(10, 1.6 + 0.4 * (len(rows) + len(times))),
        gridspec_kw={"height_ratios": [max(1, len(rows)), max(1, len(times))]})
    shares = [min(max(value / goal, 0.0), 2.0) * 100 for _, _, value, goal, _, _ in rows]
    names = [PLOT_NAMES[key] for key, *_ in rows]
    goals.barh(names, shares, color=["#3ca050" if v <= 100 else "#d23c32" for v in shares])
    goals.axvline(100, color="black", linewidth=1.5)
    for y, (key, _, value, goal, _, shown) in enumerate(rows):
        label = f"{value / goal * 100:.0f}%" if key == "memory" else \
            f"{shown} = {value / goal * 100:.0f}%"
        goals.text(shares[y] + 2, y, label, va="center",
                   bbox={"facecolor": "white", "edgecolor": "none", "pad": 1})
    goals.set_xlim(0, 230)
    goals.set_xlabel("% of the goal; the line is the goal")
    goals.invert_yaxis()
    goals.set_title("Goal figures as % of their goal (lower is better)", loc="left")
    commands.barh([name for name, _ in times], [ms for _, ms in times], color="#466ebe")
    for y, (_, ms) in enumerate(times):
        commands.text(ms, y, f" {ms:.0f}", va="center")
    commands.set_xlim(0, max((ms for _, ms in times), default=1.0) * 1.12)
    commands.invert_yaxis()
    commands.set_title("S1280: median time per command (ms)", loc="left")
    figure.tight_layout()
    figure.savefig(path, dpi=100)
    pyplot.close(figure)
