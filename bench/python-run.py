#!/usr/bin/env python3
"""World.run from Python against filonex-batch on the same world and seed:
the default world, 100 s of chemistry alone and 2 s with mechanics. The runner's time is
that of its run (its time for a run of length 0, start-up and apply, taken
off); Python's that of run() alone. Each figure is the best of the
repetitions, as both share the machine with other work.

    PYTHONPATH=build-release/python /usr/bin/python3 bench/python-run.py [--quick]
"""

import subprocess
import sys
import tempfile
import time
from pathlib import Path

from filonex._ensemble import runner_path

SEED = 20261207
QUICK = "--quick" in sys.argv  # once, briefly: that it runs
REPETITIONS = 1 if QUICK else 5
CASES = [("chemistry", False, 0.2 if QUICK else 100.0), ("mechanics", True, 0.01 if QUICK else 2.0)]


# The default world, whatever filonex.ini may lie beside the runner.
SETTINGS = Path(tempfile.mkdtemp()) / "default.ini"
SETTINGS.write_text("")


def runner_command(until, mechanics):
    command = [runner_path(), "--settings", str(SETTINGS), "--seed", str(SEED), "--quiet", "--time", str(until)]
    return command + ([] if mechanics else ["--chemistry-only"])


def runner_seconds(until, mechanics):
    start = time.perf_counter()
    subprocess.run(runner_command(until, mechanics), stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start


# Each run in an interpreter of its own, as each runner run is a process of
# its own: neither finds the thread pool or the memory warmed by an earlier run.
PYTHON_RUN = """
import sys, time, filonex
world = filonex.World(sys.argv[1], seed=int(sys.argv[2]), mechanics=sys.argv[4] == "mechanics")
start = time.perf_counter()
world.run(until=float(sys.argv[3]))
print(time.perf_counter() - start)
sys.stdout.write(world.state_text())
"""


def python_seconds(until, mechanics):
    arguments = [str(SETTINGS), str(SEED), str(until), "mechanics" if mechanics else "chemistry"]
    out = subprocess.run([sys.executable, "-c", PYTHON_RUN, *arguments], capture_output=True, text=True,
                         check=True).stdout
    seconds, state = out.split("\n", 1)
    return float(seconds), state


for name, mechanics, until in CASES:
    runner, python = [], []
    for _ in range(REPETITIONS):
        runner.append(runner_seconds(until, mechanics) - runner_seconds(1e-9, mechanics))
        seconds, state = python_seconds(until, mechanics)
        python.append(seconds)
    expected = subprocess.run(runner_command(until, mechanics), capture_output=True, text=True, check=True).stdout
    same = "same final state" if state == expected else "DIFFERENT final state"
    print(f"{name} to {until} s: filonex-batch {min(runner):.3f} s, World.run {min(python):.3f} s, "
          f"ratio {min(python) / min(runner):.3f} ({same})")
