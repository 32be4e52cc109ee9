"""docs/python.md: its examples run, and its API reference names every
public name of the module with its arguments, and nothing else."""

import inspect
import os
import re
from pathlib import Path

import filonex
import pytest

GUIDE = Path(os.environ["FILONEX_SOURCE"]) / "docs" / "python.md"


def section(title):
    text = GUIDE.read_text()
    start = text.index(f"\n## {title}\n")
    end = text.find("\n## ", start + 1)
    return text[start:end if end >= 0 else None]


def test_the_examples_run(tmp_path, monkeypatch, capsys):
    monkeypatch.chdir(tmp_path)
    blocks = re.findall(r"```python\n(.*?)```", GUIDE.read_text(), re.S)
    assert len(blocks) >= 5
    namespace = {}
    for block in blocks:
        exec(compile(block, str(GUIDE), "exec"), namespace)
    assert (tmp_path / "sweep.png").stat().st_size > 0
    assert (tmp_path / "run.fxworld").exists()
    assert "<filonex.World at 2 s:" in capsys.readouterr().out


def public_names():
    names = {f"filonex.{name}" for name in filonex.__all__}
    return names | {f"World.{name}" for name in dir(filonex.World) if not name.startswith("_")}


def documented():
    """{name: its argument names, or None for an attribute} of the reference."""
    entries = {}
    pattern = r"^- `((?:filonex|World)\.\w+)(\((.*?)\))?`"
    for name, parentheses, arguments in re.findall(pattern, section("API reference"), re.M):
        names = [a.strip().partition("=")[0] for a in arguments.split(",") if a.strip() not in ("", "*")]
        entries[name] = names if parentheses else None
    return entries


def actual_arguments(name):
    owner, _, member = name.partition(".")
    thing = getattr(filonex if owner == "filonex" else filonex.World, member)
    if member == "World":
        thing = filonex.World.__init__
    elif isinstance(thing, (property, type)):
        return None
    try:
        return [p for p in inspect.signature(thing).parameters if p != "self"]
    except ValueError:  # compiled: the signature opens the docstring
        arguments = re.findall(r"\((.*?)\) ->", thing.__doc__)[0]
        found = re.findall(r"(\w+): |(\*\*\w+)", arguments)  # named ones, then **kwargs
        return [name for pair in found for name in pair if name and name != "self"]


def test_the_reference_names_every_public_name():
    assert set(documented()) == public_names()


@pytest.mark.parametrize("name", sorted(public_names()))
def test_the_reference_gives_the_arguments(name):
    assert documented()[name] == actual_arguments(name)
