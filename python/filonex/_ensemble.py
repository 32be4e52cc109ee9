"""Ensembles of runs by the runner filonex-batch of the same build."""

import os
import shutil
import signal
import subprocess
from pathlib import Path

import pandas

from ._filonex import SimulationError, _write_settings

RUNNER = "filonex-batch"
# The runner's exit status for bad input (command line, settings, parameters).
_BAD_INPUT = 2


def runner_path():
    """The filonex-batch beside the package, else in the build tree's bin
    folder beside it, else on PATH. Raises FileNotFoundError naming where it
    was looked for."""
    package = Path(__file__).resolve().parent
    places = [package, package.parent, package.parent.parent / "bin"]
    for place in places:
        program = place / RUNNER
        if os.access(program, os.X_OK):
            return str(program)
    found = shutil.which(RUNNER)
    if found:
        return found
    raise FileNotFoundError(
        f"{RUNNER} is not beside the filonex module ({', '.join(map(str, places))}) nor on PATH; "
        f"build it with the module (cmake --build BUILD --target {RUNNER}) or add its folder to PATH"
    )


def _value_text(value):
    if isinstance(value, str):
        return value
    if isinstance(value, bool):
        raise TypeError(f"a sweep value must be a number or a text, not {value!r}")
    return str(value) if isinstance(value, int) else repr(float(value))


def ensemble(settings=None, *, runs=1, sweep=None, out, seed=None, method=None, until=None,
             mechanics=True, jobs=None, threads=None, strict=False):
    """Runs an ensemble with filonex-batch and returns its summary.

    settings   a settings file, a dict of values by ident (written to
               out/settings.ini), or None for the built-in defaults (also
               written to out/settings.ini; not the window's filonex.ini)
    runs       replicas at each sweep point
    sweep      {ident: [values]}; several: the grid of all combinations, the
               last varying fastest
    out        the folder of the results: one folder per run, runs.tsv and
               summary.tsv (see the user guide, "Ensembles and sweeps")
    seed       the base seed (None: from the clock, or the one of an
               ensemble already in out)
    method, until, mechanics, jobs, threads, strict
               as --method, --time, --chemistry-only, --jobs, --threads,
               --strict (a warning about the settings file raises ValueError)

    Returns summary.tsv as a pandas.DataFrame. Raises ValueError for input
    the runner refuses, with its message, and filonex.SimulationError when a
    run failed. Ctrl-C stops the runs, which still write what they have, and
    raises KeyboardInterrupt.
    """
    out = Path(out)
    command = [runner_path(), "--out", str(out), "--runs", str(runs), "--quiet"]
    if settings is None or isinstance(settings, dict):
        out.mkdir(parents=True, exist_ok=True)
        path = out / "settings.ini"
        _write_settings(settings or {}, str(path))
        settings = path
    command += ["--settings", os.fspath(settings)]
    for ident, values in (sweep or {}).items():
        command += ["--sweep", f"{ident}=" + ",".join(_value_text(v) for v in values)]
    options = {"--seed": seed, "--method": method, "--time": until, "--jobs": jobs, "--threads": threads}
    for option, value in options.items():
        if value is not None:
            command += [option, _value_text(value)]
    if not mechanics:
        command.append("--chemistry-only")
    if strict:
        command.append("--strict")

    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    try:
        _, messages = process.communicate()
    except KeyboardInterrupt:
        # The runs stop on the signal too; they write what they have first.
        process.send_signal(signal.SIGINT)
        process.wait()
        raise
    messages = messages.strip()
    if process.returncode == _BAD_INPUT:
        # The runner's pointer to its --help is no help here.
        raise ValueError(messages.removesuffix(f"Try '{RUNNER} --help'.").strip())
    if process.returncode == 128 + signal.SIGINT:
        raise KeyboardInterrupt(messages)
    if process.returncode != 0:
        raise SimulationError(messages or f"{RUNNER} ended with status {process.returncode}")
    return pandas.read_csv(out / "summary.tsv", sep="\t", float_precision="round_trip")
