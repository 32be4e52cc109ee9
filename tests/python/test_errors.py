"""Every fault comes to Python as an exception with the reason, never as a
crash of the interpreter."""

import json
import os
import stat

import filonex
import pytest

from conftest import run_runner

BAD_SETTINGS = [
    # settings, text the message has
    ({"C_ACGG": 12}, r"'C_ACGG' is not a parameter; did you mean C_ACG\?"),
    ({"C_ACG": -1}, r'C_ACG: Concentrations, "Concentration of G-actin \[uM\]" must be 0 or greater, not -1'),
    ({"SIM_CUBESIZE": "two"}, r"SIM_CUBESIZE: Simulation, \"Consider cube with side length \[um\]\": "
                              r"'two' is not a valid floating point value"),
    ({"BACT_RAD": 0}, r'BACT_RAD: Bacterium, "Bacterium Radius \[m\]" must be greater than 0'),
    ({"C_ACG": 1e30}, r"C_ACG: Concentrations, .* more molecules than a counter holds"),
    ({"SIM_METHOD": "Gillespie"}, r'SIM_METHOD: Simulation, "Simulation method" must be one of "First reaction"'),
]


@pytest.mark.parametrize("settings, message", BAD_SETTINGS)
def test_a_bad_parameter_names_ident_and_caption(settings, message):
    with pytest.raises(ValueError, match=message):
        filonex.World(settings, seed=1)


@pytest.mark.parametrize("arguments, message", [
    ({"seed": -1}, "seed needs a whole number from 0 to 2147483646, not -1"),
    ({"seed": 2**31 - 1}, "seed needs a whole number from 0 to 2147483646, not 2147483647"),
    ({"seed": 2**70}, "seed needs a whole number from 0 to 2147483646, not 1180591620717411303424"),
    ({"threads": 5000}, "threads needs a whole number from 0"),
    ({"method": "Gillespie"}, "must be one of"),
])
def test_bad_arguments_are_value_errors(arguments, message):
    with pytest.raises(ValueError, match=message):
        filonex.World(**arguments)


def test_a_value_of_another_kind_is_a_type_error():
    with pytest.raises(TypeError, match="C_ACG needs a number or a text"):
        filonex.World({"C_ACG": [12]})
    for seed in (True, 1.0, "1"):
        with pytest.raises(TypeError, match="seed needs a whole number or None"):
            filonex.World(seed=seed)


def test_a_settings_file_that_cannot_be_read(tmp_path):
    with pytest.raises(ValueError, match="cannot read the settings file '.*missing.ini'"):
        filonex.World(tmp_path / "missing.ini")


def test_what_a_settings_file_holds_in_vain_is_a_warning(settings_file):
    with pytest.warns(UserWarning, match="C_APR"):
        filonex.World(settings_file("[ValueListConcentrations]\nC_APR=1\n"), seed=1)
    with pytest.raises(ValueError, match="strict: unknown ident C_APR"):
        filonex.World(settings_file("[ValueListConcentrations]\nC_APR=1\n"), seed=1, strict=True)


@pytest.mark.parametrize("settings, arguments, message", [
    ({"SIM_TIMESTEP": 0}, {"until": 1}, r'The "Time step \[s\]" must be greater than 0 for a run with mechanics'),
    ({}, {"until": 0}, "until=0 s is not a time after the world's time 0 s"),
    ({}, {"until": 1, "every": 0}, "every needs a number of seconds above 0"),
    ({}, {"until": 1e300, "every": 1}, r"until=1E300 s: The \"Observation Time step \[s\]\" \(SIM_OBSERVTIMESTEP\) "
                                       r"of 0.01 s gives more than 2\^53 steps"),
    ({"SIM_OBSERVTIMESTEP": 1e-6}, {"until": 1e6, "every": 1},
     r"until=1000000 s gives .* rows of table\(\), one at each observation step of .* s whatever every is: more than"),
])
def test_a_run_that_cannot_start_is_a_value_error(settings, arguments, message):
    world = filonex.World(settings, seed=1)
    with pytest.raises(ValueError, match=message):
        world.run(**arguments)


def saved_world(tmp_path, change):
    world = filonex.World({"SIM_CUBESIZE": 1}, seed=2)
    world.run(until=0.02)
    path = tmp_path / "w.fxworld"
    world.save(path)
    content = json.loads(path.read_text())
    change(content)
    path.write_text(json.dumps(content))
    return path


def short_filament(content):
    content["filaments"][0][content["filamentColumns"].index("monomers")] = 2


@pytest.mark.parametrize("change, message", [
    (lambda c: c.update(formatVersion=99), "formatVersion"),
    (lambda c: c.pop("cell"), "cell"),
    (short_filament, r"filaments\[0\]"),
])
def test_a_world_file_the_reader_refuses_names_place_and_reason(tmp_path, change, message):
    with pytest.raises(ValueError, match=message):
        filonex.World.load(saved_world(tmp_path, change))


def test_a_world_file_that_is_no_world_file(tmp_path):
    (tmp_path / "w.fxworld").write_text('{"format": "Filonex world", "formatVersion": 3,')
    with pytest.raises(ValueError, match="w.fxworld"):
        filonex.World.load(tmp_path / "w.fxworld")
    with pytest.raises(ValueError, match="cannot be read"):
        filonex.World.load(tmp_path / "missing.fxworld")


def test_a_world_that_cannot_be_written(tmp_path):
    with pytest.raises(OSError, match="nowhere"):
        filonex.World().save(tmp_path / "nowhere" / "w.fxworld")
    os.mkfifo(tmp_path / "fifo")
    os.symlink("fifo", tmp_path / "link.fxworld")
    for target in ("fifo", "link.fxworld"):
        with pytest.raises(OSError, match="it is not a regular file"):
            filonex.World().save(tmp_path / target)
    assert stat.S_ISFIFO(os.stat(tmp_path / "fifo").st_mode)


# Worlds whose runs fail, as the runner's tests make them: with nothing to
# react, "Next reaction" divides by a zero total; a reaction that changes
# nothing at 1E30 per second outruns the clock.
FAILING = [
    ("[ValueListConcentrations]\nC_ACG=0\nC_CAP=0\nC_ARP=0\nC_ADC=0\n", "Floating point division by zero"),
    ("[ValueListRates]\nRATE_ARPB=1E30\n", "Simulated time stopped advancing"),
]


@pytest.mark.parametrize("text, message", FAILING)
def test_a_failed_run_is_a_simulation_error_and_the_world_keeps_its_state(tmp_path, settings_file, text, message):
    path = settings_file(text + "[ValueListSimulation]\nSIM_METHOD=Next reaction\n")
    runner = run_runner("--settings", path, "--seed", 1, "--time", 1, "--chemistry-only", check=False)
    world = filonex.World(path, seed=1, mechanics=False)
    with pytest.raises(filonex.SimulationError, match=message) as raised:
        world.run(until=1)
    assert runner.returncode == 1 and str(raised.value) in runner.stderr
    assert world.state_text() == runner.stdout
    with pytest.raises(filonex.SimulationError, match="ended by an error"):
        world.save(tmp_path / "failed.fxworld")
