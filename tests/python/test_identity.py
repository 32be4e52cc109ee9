"""A world run from Python gives the runner's bits: the same final state and
the same table, for both methods, with and without mechanics."""

import filonex
import pandas
import pandas.testing
import pytest

from conftest import CORPUS, run_runner, runner_arguments

SEED = 20261207

CASES = [
    # settings, method, end time (s), mechanics
    ("default.ini", "First reaction", 2, False),
    ("default.ini", "Next reaction", 2, False),
    ("default.ini", "First reaction", 0.1, True),
    ("default.ini", "Next reaction", 0.1, True),
    ("walls.ini", "Next reaction", 0.1, True),
    ("severing.ini", "Next reaction", 0.2, False),
    ("default.ini", "Tau-leap", 2, False),
    ("default.ini", "Tau-leap", 0.1, True),
]


@pytest.mark.parametrize("settings, method, until, mechanics", CASES)
def test_state_and_table_are_the_runners(tmp_path, settings, method, until, mechanics):
    table = tmp_path / "table.tsv"
    arguments = runner_arguments(CORPUS / settings, SEED, method, until, mechanics)
    expected = run_runner(*arguments, "--table", table).stdout

    world = filonex.World(CORPUS / settings, seed=SEED, method=method, mechanics=mechanics)
    world.run(until=until)

    assert world.state_text() == expected
    pandas.testing.assert_frame_equal(
        world.table(), pandas.read_csv(table, sep="\t", float_precision="round_trip"), check_exact=True
    )


@pytest.mark.parametrize("mechanics", [False, True])
def test_a_run_in_pieces_is_one_run(mechanics):
    until = 0.1 if mechanics else 1.0
    whole = filonex.World(CORPUS / "default.ini", seed=3, mechanics=mechanics)
    whole.run(until=until)
    pieces = filonex.World(CORPUS / "default.ini", seed=3, mechanics=mechanics)
    for part in (0.25, 0.5, 1.0):
        pieces.run(until=part * until)
    assert pieces.state_text() == whole.state_text()
    # With mechanics, the observation that ends a run sees the bodies where
    # the mechanics clock got to, up to a step before the unbroken run's (the
    # runner's --resume does the same), so only the chemistry's tables agree.
    if not mechanics:
        pandas.testing.assert_frame_equal(pieces.table(), whole.table(), check_exact=True)


def test_settings_as_a_dict_are_a_settings_file(settings_file):
    values = {"C_ACG": 20, "RATE_FORM": 1e-5, "SIM_CUBESIZE": 1.5, "SIM_METHOD": "Next reaction"}
    path = settings_file(
        "[ValueListConcentrations]\nC_ACG=20\n[ValueListRates]\nRATE_FORM=1E-5\n"
        "[ValueListSimulation]\nSIM_CUBESIZE=1.5\nSIM_METHOD=Next reaction\n"
    )
    from_dict = filonex.World(values, seed=5, mechanics=False)
    expected = run_runner("--settings", path, "--seed", 5, "--time", 1, "--chemistry-only").stdout
    from_dict.run(until=1)
    assert from_dict.state_text() == expected


def test_the_defaults_given_one_by_one_are_the_defaults():
    defaults = filonex.parameters()
    given = filonex.World(dict(zip(defaults.ident, defaults.default)), seed=9, mechanics=False)
    built_in = filonex.World(seed=9, mechanics=False)
    for world in (given, built_in):
        world.run(until=0.5)
    assert given.state_text() == built_in.state_text()
