#!/usr/bin/python3
"""Figures of docs/validation.md, made with filonex-batch.

1. Ensembles of "First reaction" and "Tau-leap" runs of the default world
   (chemistry only, a 1 um box) and of the world with ten times its
   concentrations (a 0.5 um box): mean +- SD over time for both methods, from
   the ensemble command's summary.tsv.
2. The birth-death world (200 filaments of 100 monomers, only ASSB and DISB):
   the histogram of free G-actin after 2 s, over independent resumed runs of
   both exact methods, against the Poisson law with mean k- / c+.

Usage: scripts/validation-figures.py BUILD_BIN_DIR [OUT_DIR] (default docs/img)
Takes a few minutes on two cores.
"""

import csv
import json
import math
import os
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

BATCH = os.path.join(sys.argv[1], "filonex-batch")
OUT = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), "..", "docs", "img")
WORK = tempfile.mkdtemp(prefix="filonex-validation-")
METHODS = ["First reaction", "Tau-leap"]
QUANTITIES = ["ACG", "FIB", "FIP", "CAP"]


def batch(*arguments):
    return subprocess.run([BATCH, "--quiet", *arguments], check=True, capture_output=True, text=True).stdout


def settings(name, text):
    path = os.path.join(WORK, name)
    with open(path, "w") as f:
        f.write(text)
    return path


def summary(folder):
    """{(point, column): [(time, mean, sd)]} from the ensemble's summary.tsv."""
    rows = {}
    with open(os.path.join(folder, "summary.tsv")) as f:
        for row in csv.DictReader(f, delimiter="\t"):
            if row["sd"] == "":
                continue
            rows.setdefault((int(row["point"]), row["column"]), []).append(
                (float(row["time"]), float(row["mean"]), float(row["sd"])))
    return rows


def ensemble_figure(name, settings_text, end_time, runs, title, log_time=False):
    folder = os.path.join(WORK, name)
    batch("--settings", settings(name + ".ini", settings_text), "--runs", str(runs),
          "--sweep", "SIM_METHOD=" + ",".join(METHODS), "--chemistry-only", "--time", str(end_time),
          "--seed", "2026", "--jobs", "2", "--out", folder)
    rows = summary(folder)
    figure, axes = plt.subplots(1, len(QUANTITIES), figsize=(4 * len(QUANTITIES), 3.4))
    for axis, column in zip(axes, QUANTITIES):
        for point, (method, colour) in enumerate(zip(METHODS, ["tab:blue", "tab:orange"])):
            series = [r for r in rows[(point, column)] if r[0] > 0 or not log_time]
            t = [r[0] for r in series]
            mean = [r[1] for r in series]
            axis.plot(t, mean, color=colour, label=method)
            axis.fill_between(t, [m - r[2] for m, r in zip(mean, series)],
                              [m + r[2] for m, r in zip(mean, series)], color=colour, alpha=0.2)
        axis.set_title(column)
        if log_time:
            axis.set_xscale("log")
        axis.set_xlabel("time [s]")
        axis.set_ylabel("molecules")
    axes[0].legend()
    figure.suptitle(title + f" ({runs} runs each, mean ± SD)")
    figure.tight_layout()
    figure.savefig(os.path.join(OUT, name + ".png"), dpi=90)


def birth_death_world(method):
    """The birth-death world as a world file: built empty, then given its filaments."""
    ini = settings("birth-death.ini", "[ValueListConcentrations]\nC_ACG=0\nC_CAP=0\nC_ARP=0\nC_ADC=0\n"
                   "[ValueListRates]\nRATE_FORM=0\nRATE_ASSP=0\nRATE_DISP=0\nRATE_CAPB=0\nRATE_ARPB=0\n"
                   "RATE_SEVR=0\n[ValueListSimulation]\nSIM_CUBESIZE=0.9\n")
    empty = os.path.join(WORK, "empty.fxworld")
    batch("--settings", ini, "--seed", "1", "--time", "1E-9", "--chemistry-only", "--save-world", empty)
    with open(empty) as f:
        world = json.load(f)
    cell = world["cell"]
    columns = world["filamentColumns"]
    centre = [0.45e-6] * 3
    rng = __import__("random").Random(7)
    rows = []
    for _ in range(200):
        z = rng.uniform(-1, 1)
        phi = rng.uniform(0, 2 * math.pi)
        direction = [math.sqrt(1 - z * z) * math.cos(phi), math.sqrt(1 - z * z) * math.sin(phi), z]
        values = {c: 0.0 for c in columns}
        for axis, name in enumerate("xyz"):
            values["pointedEnd." + name] = centre[axis]
            values["direction." + name] = direction[axis]
            values["position." + name] = centre[axis]
        for m in ("inertia", "invInertia", "stepRotation", "orientation"):
            for i in range(3):
                values[f"{m}.m{i}{i}"] = 1.0
        values["monomers"] = 100
        values["capped"] = False
        values["changed"] = True
        rows.append([values[c] for c in columns])
    world["filaments"] = rows
    channels = {c["name"]: c for c in cell["channels"]}
    mean = channels["DISB"]["stochasticRate"] / channels["ASSB"]["stochasticRate"]
    cell["species"].update({"FIB": 200, "FIP": 200, "ACF": 20000, "ACG": round(mean)})
    world["method"] = method
    path = os.path.join(WORK, f"birth-death-{method.split()[0]}.fxworld")
    with open(path, "w") as f:
        json.dump(world, f)
    return path, mean


def stationary_figure(runs):
    figure, axes = plt.subplots(1, 2, figsize=(10, 3.6))
    for axis, method in zip(axes, ["First reaction", "Next reaction"]):
        path, mean = birth_death_world(method)

        def final_actin(seed):
            state = batch("--resume", path, "--seed", str(seed), "--time", "2", "--chemistry-only")
            line = next(line for line in state.splitlines() if line.startswith("species "))
            return int(line.split()[1])

        with ThreadPoolExecutor(2) as pool:
            actin = list(pool.map(final_actin, range(1, runs + 1)))
        low, high = int(mean - 4 * math.sqrt(mean)), int(mean + 4 * math.sqrt(mean)) + 1
        axis.hist(actin, bins=range(low, high + 1), density=True, alpha=0.6, label=f"{method}, {runs} runs")
        ks = list(range(low, high + 1))
        axis.plot([k + 0.5 for k in ks],
                  [math.exp(-mean + k * math.log(mean) - math.lgamma(k + 1)) for k in ks], "k.-",
                  label=f"Poisson, mean {mean:.1f}")
        sample_mean = sum(actin) / runs
        sample_variance = sum((a - sample_mean) ** 2 for a in actin) / (runs - 1)
        z = math.sqrt(runs) * (sample_mean - mean) / math.sqrt(mean)
        y = (sample_variance / mean - 1) * math.sqrt(runs / 2)
        axis.set_title(f"{method}: Z = {z:.2f}, Y = {y:.2f}")
        axis.set_xlabel("free G-actin (ACG) after 2 s [molecules]")
        axis.legend(fontsize=8)
    figure.tight_layout()
    figure.savefig(os.path.join(OUT, "validation-birth-death.png"), dpi=90)


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    ensemble_figure("validation-default", "[ValueListSimulation]\nSIM_CUBESIZE=1\n", 10, 100,
                    "Default world, 1 µm box")
    ensemble_figure("validation-tenfold", "[ValueListConcentrations]\nC_ACG=120\nC_CAP=10\nC_ARP=3\n"
                    "C_ADC=10\n[ValueListSimulation]\nSIM_CUBESIZE=0.5\n", 3, 100,
                    "Ten times the concentrations, 0.5 µm box", log_time=True)
    stationary_figure(300)
    print("figures in", os.path.abspath(OUT))
