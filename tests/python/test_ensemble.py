"""filonex.ensemble runs the runner of the same build and returns its
summary."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

import filonex
import pandas
import pandas.testing
import pytest

from conftest import CORPUS, run_runner


def read_summary(folder):
    return pandas.read_csv(folder / "summary.tsv", sep="\t", float_precision="round_trip")


def test_the_summary_is_the_runners(tmp_path):
    summary = filonex.ensemble(CORPUS / "default.ini", runs=2, sweep={"C_ACG": [6, 12.5]}, until=0.2,
                               mechanics=False, seed=3, jobs=2, out=tmp_path / "python")
    run_runner("--settings", CORPUS / "default.ini", "--runs", 2, "--sweep", "C_ACG=6,12.5", "--time", 0.2,
               "--chemistry-only", "--seed", 3, "--jobs", 2, "--out", tmp_path / "runner")
    expected = read_summary(tmp_path / "runner")
    assert len(summary) > 0
    pandas.testing.assert_frame_equal(summary, expected, check_exact=True)


def test_settings_as_a_dict(tmp_path):
    summary = filonex.ensemble({"SIM_CUBESIZE": 1, "C_ACG": 30}, runs=1, until=0.1, mechanics=False, seed=4,
                               out=tmp_path / "e")
    world = filonex.World(tmp_path / "e" / "settings.ini")
    assert world.settings["SIM_CUBESIZE"] == "1" and world.settings["C_ACG"] == "30"
    assert len(summary) > 0


def test_input_the_runner_refuses_is_a_value_error(tmp_path):
    with pytest.raises(ValueError, match=r"'C_AGC' is not a parameter; did you mean C_ACG\?$"):
        filonex.ensemble(runs=1, sweep={"C_AGC": [1, 2]}, out=tmp_path / "e")


def test_strict_refuses_a_settings_file_with_warnings(tmp_path):
    settings = tmp_path / "s.ini"
    settings.write_text("[ValueListConcentrations]\nC_APR=1\n")
    with pytest.raises(ValueError, match="unknown ident C_APR .* did you mean C_ARP"):
        filonex.ensemble(settings, runs=1, until=0.01, out=tmp_path / "e", strict=True)
    assert not (tmp_path / "e").exists()


def test_without_a_runner_the_error_says_where_it_was_looked_for(tmp_path):
    package = Path(filonex.__file__).parent
    shutil.copytree(package, tmp_path / "filonex")
    script = "import filonex; filonex.ensemble(runs=1, out='e')"
    done = subprocess.run([sys.executable, "-c", script], cwd=tmp_path, capture_output=True, text=True,
                          env={**os.environ, "PYTHONPATH": str(tmp_path), "PATH": str(tmp_path / "none")})
    assert "FileNotFoundError: filonex-batch is not beside the filonex module" in done.stderr
    assert "nor on PATH" in done.stderr


def test_no_settings_means_the_built_in_defaults_not_the_windows_file(tmp_path):
    # A runner with a window's filonex.ini beside it, as after the window closed.
    package = tmp_path / "filonex"
    shutil.copytree(Path(filonex.__file__).parent, package)
    shutil.copy2(os.environ["FILONEX_BATCH"], package / "filonex-batch")
    (package / "filonex.ini").write_text("[ValueListConcentrations]\nC_ACG=30\n[Window]\nWidth=900\n")
    script = ("import filonex\n"
              "filonex.ensemble(runs=1, until=0.05, mechanics=False, seed=5, out='none')\n"
              "filonex.ensemble({}, runs=1, until=0.05, mechanics=False, seed=5, out='dict')\n")
    done = subprocess.run([sys.executable, "-c", script], cwd=tmp_path, capture_output=True, text=True,
                          env={**os.environ, "PYTHONPATH": str(tmp_path)})
    assert done.returncode == 0, done.stderr
    assert filonex.World(tmp_path / "none" / "settings.ini").settings["C_ACG"] == "12"
    assert (tmp_path / "none" / "summary.tsv").read_text() == (tmp_path / "dict" / "summary.tsv").read_text()
