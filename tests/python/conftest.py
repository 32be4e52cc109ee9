"""What the tests of the Python module share: the runner of the same build
and the corpus worlds."""

import os
import subprocess
from pathlib import Path

import pytest

RUNNER = os.environ["FILONEX_BATCH"]
CORPUS = Path(os.environ["FILONEX_SOURCE"]) / "tests" / "corpus"


def run_runner(*arguments, check=True):
    """filonex-batch with the arguments; its completed process (text)."""
    done = subprocess.run([RUNNER, "--quiet", *map(str, arguments)], capture_output=True, text=True)
    if check:
        assert done.returncode == 0, done.stderr
    return done


def runner_arguments(settings, seed, method, until, mechanics):
    arguments = ["--settings", settings, "--seed", seed, "--method", method, "--time", until]
    return arguments + ([] if mechanics else ["--chemistry-only"])


@pytest.fixture
def settings_file(tmp_path):
    """Writes an INI text into a settings file; returns its path."""

    def write(text):
        path = tmp_path / "settings.ini"
        path.write_text(text)
        return path

    return write
