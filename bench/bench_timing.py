"""How bench/run_bench.py times its commands: interleaved rounds and their
per-round ratios and differences."""

from __future__ import annotations

import dataclasses
import shutil
import statistics
import subprocess
import time
from pathlib import Path
from typing import Callable


class BenchError(Exception):
    pass


@dataclasses.dataclass
class Command:
    key: str
    label: str
    steps: list[list[str]]  # processes run one after the other, timed together
    prepare: Callable[[], None]  # untimed, before every run
    # A run ending otherwise failed; check reports its findings with 1.
    exit_code: int = 0


def run_steps(command: Command) -> float:
    command.prepare()
    start = time.perf_counter()
    for argv in command.steps:
        done = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        if done.returncode != command.exit_code:
            raise BenchError(f"{command.label}: {' '.join(argv[:4])}... exited "
                             f"{done.returncode}, not {command.exit_code}: "
                             f"{done.stderr.decode(errors='replace').strip()}")
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
