"""Worlds as Python objects: independent of each other, their state as
arrays and tables, saved and loaded, observed during a run."""

import json
import threading

import filonex
import numpy
import pandas.testing
import pytest

from conftest import CORPUS, run_runner

SETTINGS = CORPUS / "default.ini"


def fresh(seed, mechanics=False):
    return filonex.World(SETTINGS, seed=seed, mechanics=mechanics)


def alone(seed, until, mechanics=False):
    world = fresh(seed, mechanics)
    world.run(until=until)
    return world.state_text()


def test_two_interleaved_worlds_are_each_alone():
    first, second = fresh(1), fresh(2)
    for until in (0.3, 0.6, 1.0):
        first.run(until=until)
        second.run(until=until)
    assert first.state_text() == alone(1, 1.0)
    assert second.state_text() == alone(2, 1.0)
    assert first.state_text() != second.state_text()


def test_two_worlds_on_two_threads_are_each_alone():
    worlds = [fresh(1, True), fresh(2, True)]
    threads = [threading.Thread(target=w.run, kwargs={"until": 0.05}) for w in worlds]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert [w.state_text() for w in worlds] == [alone(1, 0.05, True), alone(2, 0.05, True)]


def test_table_columns_and_types(tmp_path):
    world = fresh(4)
    world.run(until=0.2)
    table = world.table()
    run_runner("--settings", SETTINGS, "--seed", 4, "--time", 0.2, "--chemistry-only", "--table", tmp_path / "t")
    assert list(table.columns) == (tmp_path / "t").read_text().splitlines()[0].split("\t")
    # Counts are whole numbers; pandas reads any other column as float64
    # unless it holds only whole numbers (a bacterium that has not moved).
    counted = list(world.species.index) + ["n_" + name for name in world.counts.index]
    for column in table.columns:
        whole = (table[column] == table[column].round()).all()
        kinds = [numpy.int64] if column in counted else [numpy.float64] + [numpy.int64] * whole
        assert table[column].dtype in kinds, column
    assert table.time.dtype == numpy.float64
    # One row per observation step from the start.
    step = float(world.settings["SIM_OBSERVTIMESTEP"])
    assert table.time.iloc[0] == 0
    assert numpy.allclose(numpy.diff(table.time), step, rtol=1e-9)
    assert table.time.iloc[-1] == pytest.approx(0.2, abs=step)


def test_the_state_as_arrays_is_the_state_text():
    world = fresh(6, True)
    world.run(until=0.05)
    lines = world.state_text().splitlines()
    assert float(lines[0].split()[1]) == world.time
    assert int(lines[1].split()[1]) == world.reactions
    assert [int(v) for v in lines[2].split()[1:]] == list(world.species)
    assert [int(v) for v in lines[3].split()[1:]] == list(world.counts)
    assert [float(v) for v in lines[4].split()[1:]] == list(world.propensities)
    assert [float(v) for v in lines[5].split()[1:]] == list(world.bacterium.centre)
    filaments = world.filaments()
    rows = numpy.array([[float(v) for v in line.split()] for line in lines[7:]]).reshape(-1, 8)
    assert int(lines[6].split()[1]) == len(filaments["monomers"]) == len(rows) > 0
    assert (filaments["monomers"] == rows[:, 0]).all()
    assert (filaments["capped"] == (rows[:, 1] == 1)).all()
    assert (filaments["pointed"] == rows[:, 2:5]).all()
    assert (filaments["direction"] == rows[:, 5:8]).all()
    # 3 nm per monomer from the pointed end along the direction.
    expected = rows[:, 2:5] + rows[:, 5:8] * (3e-9 * rows[:, 0])[:, None]
    assert numpy.allclose(filaments["barbed"], expected, rtol=0, atol=1e-15)
    assert world.bacterium.radius == float(world.settings["BACT_RAD"])


@pytest.mark.parametrize("mechanics", [False, True])
def test_a_saved_world_runs_on_as_the_world_would(tmp_path, mechanics):
    until = 0.1 if mechanics else 1.0
    world = fresh(8, mechanics)
    world.run(until=until / 2)
    world.save(tmp_path / "half.fxworld")
    loaded = filonex.World.load(tmp_path / "half.fxworld", mechanics=mechanics)
    assert loaded.state_text() == world.state_text()
    assert loaded.settings == world.settings
    assert loaded.end_time == until / 2
    loaded.run(until=until)
    assert loaded.state_text() == alone(8, until, mechanics)
    # The runner resumes the same file to the same end; both tables start
    # with the loaded state's row.
    resumed = run_runner("--resume", tmp_path / "half.fxworld", "--time", until, "--table", tmp_path / "rest.tsv",
                         *([] if mechanics else ["--chemistry-only"]))
    assert resumed.stdout == loaded.state_text()
    pandas.testing.assert_frame_equal(loaded.table(), pandas.read_csv(tmp_path / "rest.tsv", sep="\t"),
                                      check_dtype=False)


def test_the_observer_sees_each_observation_and_may_stop_the_run():
    world = fresh(10)
    seen = []

    def observe(w):
        seen.append((w.time, w.reactions))
        if len(seen) == 5:
            w.stop()

    world.run(until=1.0, every=0.05, on_observe=observe)
    times = [time for time, _ in seen]
    assert times == pytest.approx([0.05, 0.1, 0.15, 0.2, 0.25])
    assert world.time < 0.26
    pandas.testing.assert_series_equal(world.table().time.tail(1).reset_index(drop=True),
                                       pandas.Series([times[-1]], name="time"))
    world.run(until=1.0)
    assert world.state_text() == alone(10, 1.0)


def test_an_exception_in_the_observer_stops_the_run_cleanly():
    world = fresh(11)

    def fail(w):
        raise LookupError("from the observer")

    with pytest.raises(LookupError, match="from the observer"):
        world.run(until=1.0, on_observe=fail)
    assert world.time < 1.0
    world.run(until=1.0)
    assert world.state_text() == alone(11, 1.0)


def test_a_world_says_what_it_is():
    world = filonex.World({"SIM_METHOD": "Next reaction"}, seed=12, mechanics=False)
    assert repr(world) == "<filonex.World at 0 s: 0 reactions, 0 filaments; Next reaction, chemistry only; seed 12>"
    assert "until" in filonex.World.run.__doc__ and "settings" in filonex.World.__doc__


def test_without_a_seed_the_seed_used_repeats_the_world():
    world = filonex.World(SETTINGS, mechanics=False)
    world.run(until=0.5)
    assert world.state_text() == alone(world.seed, 0.5)


def test_set_changes_what_may_change_mid_run_and_a_world_file_keeps_its_state(tmp_path):
    world = filonex.World({"SIM_CUBESIZE": 1}, seed=3, mechanics=False)
    world.run(until=0.05)
    world.set(RATE_ASSB=30, MECH_TEMP=310)
    assert world.settings["RATE_ASSB"] == "30"
    with pytest.raises(ValueError, match="C_ACG cannot change while a world runs on"):
        world.set(C_ACG=3)
    world.save(tmp_path / "w.fxworld")
    assert filonex.World.load(tmp_path / "w.fxworld").settings["MECH_TEMP"] == "310"

    edited = json.loads((tmp_path / "w.fxworld").read_text())
    edited["parameters"]["ValueListMechanics"]["MECH_TEMP"] = 400
    (tmp_path / "edited.fxworld").write_text(json.dumps(edited))
    with pytest.raises(ValueError, match="MECH_TEMP is 400, but the world holds 310"):
        filonex.World.load(tmp_path / "edited.fxworld")


def test_every_run_ends_with_a_row_at_its_end_and_the_next_goes_on_on_the_grid():
    world = filonex.World({"SIM_OBSERVTIMESTEP": 0.01}, seed=4, mechanics=False)
    world.run(until=0.3)
    world.run(until=0.455)
    times = list(world.table()["time"])
    assert times == [k * 0.01 for k in range(46)] + [0.455]
