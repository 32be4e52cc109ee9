"""Filonex from Python: simulated worlds of actin filaments as objects.

A World is built from a settings file or a dict of parameters and run exactly
as filonex-batch runs it: the same settings, seed and method give the same
final state bit for bit. Its state reads as NumPy arrays and pandas objects.

    import filonex
    w = filonex.World({"C_ACG": 12, "SIM_CUBESIZE": 2}, seed=7)
    w.run(until=10.0)
    w.species["ACG"], w.filaments()["monomers"].mean(), w.table()

parameters() lists every parameter; ensemble() runs replicas and parameter
sweeps with filonex-batch and returns their summary.
"""

import pandas as _pandas

from ._filonex import Bacterium, SimulationError, World, _parameter_rows
from ._ensemble import ensemble

# Shown as filonex.World, not as a name of the compiled part.
for _name in ("World", "SimulationError", "Bacterium"):
    globals()[_name].__module__ = __name__

__all__ = ["World", "SimulationError", "Bacterium", "parameters", "ensemble"]


def parameters():
    """Every parameter of a world, in the order of the window's tables.

    Returns a pandas.DataFrame with the columns ident (the settings ident),
    caption, unit (from the caption; empty when it has none), default (as a
    settings file holds it), range (the values with a physical meaning, or the
    texts SIM_METHOD allows) and table (the window's tab).
    """
    return _pandas.DataFrame(
        _parameter_rows(), columns=["ident", "caption", "unit", "default", "range", "table"]
    )
