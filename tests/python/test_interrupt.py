"""Ctrl-C during a run stops it cleanly and raises KeyboardInterrupt; the
world then runs on as if never stopped. The run is in a Python process of
its own, so that the signal cannot reach this test session."""

import os
import signal
import subprocess
import sys
import time

import pytest

from conftest import CORPUS

CHILD = """
import sys, filonex
settings, mechanics = sys.argv[1], sys.argv[2] == "mechanics"
observer = (lambda world: None) if sys.argv[3] == "observed" else None
world = filonex.World(settings, seed=5, mechanics=mechanics)
print("running", flush=True)
try:
    world.run(until=1e4, on_observe=observer)  # far beyond the half second before Ctrl-C
    print("never stopped")
except KeyboardInterrupt:
    end = world.time + 0.01
    world.run(until=end)
    again = filonex.World(settings, seed=5, mechanics=mechanics)
    again.run(until=end)
    print("same" if again.state_text() == world.state_text() else "different", world.time)
"""


@pytest.mark.parametrize("mechanics", ["mechanics", "chemistry"])
@pytest.mark.parametrize("observed", ["observed", "unobserved"])
def test_ctrl_c_stops_the_run_cleanly(mechanics, observed):
    child = subprocess.Popen([sys.executable, "-c", CHILD, str(CORPUS / "default.ini"), mechanics, observed],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=os.environ)
    try:
        assert child.stdout.readline() == "running\n"
        time.sleep(0.5)
        child.send_signal(signal.SIGINT)
        out, err = child.communicate(timeout=120)
    finally:
        child.kill()  # a run that did not stop
    assert child.returncode == 0, err
    assert out.startswith("same "), out + err
    assert float(out.split()[1]) > 0.01
