"""zoduz.simulate writes the same record file, script and summary as zoduz-cli simulate, and
refuses what the command refuses with its messages."""
import pytest

import zoduz
from conftest import cli_error, run_cli


def summary_of(text):
    summary = dict(line.split("\t") for line in text.splitlines())
    return {key: value if key == "scenario" else int(value) for key, value in summary.items()}


@pytest.mark.parametrize("scenario,options,arguments", [
    ("spr", {}, []),
    ("epr", {"seconds": 2, "interval_ms": 50, "seed": 7},
     ["--seconds", "2", "--interval-ms", "50", "--seed", "7"]),
    ("noisy", {"seconds": 1.5, "jitter": 0.1, "skew": 0.2, "preamble_bits": 40, "raw": True},
     ["--seconds", "1.5", "--jitter", "0.1", "--skew", "0.2", "--preamble-bits", "40", "--raw"]),
    ("spr", {"seconds": 1, "divider": 10, "unit_interval": 3.4, "damage_kcode": 2},
     ["--seconds", "1", "--divider", "10", "--unit-interval", "3.4", "--damage-kcode", "2"]),
])
def test_same_file_script_and_summary(tmp_path, scenario, options, arguments):
    ours, theirs = tmp_path / "ours.zaz", tmp_path / "theirs.zaz"
    summary = zoduz.simulate(scenario, ours, script=tmp_path / "ours.txt", **options)
    expected = run_cli("simulate", scenario, "-o", theirs, "--script", tmp_path / "theirs.txt",
                       *arguments)
    assert summary == summary_of(expected)
    assert ours.read_bytes() == theirs.read_bytes()
    assert (tmp_path / "ours.txt").read_text() == (tmp_path / "theirs.txt").read_text()
    assert summary["size"] == ours.stat().st_size
    if not options.get("raw"):
        assert len(zoduz.open(ours).packets) > 0


def test_scenarios_as_listed():
    listed = dict(line.split("\t") for line in run_cli("simulate", "--list").splitlines())
    assert zoduz.scenarios() == listed
    assert "spr" in listed


def test_refused_as_the_command_refuses(tmp_path):
    out = tmp_path / "out.zaz"
    for scenario, options, arguments in [
            ("nope", {}, []),
            ("spr", {"interval_ms": 0}, ["--interval-ms", "0"]),
            ("spr", {"seconds": 99999}, ["--seconds", "99999"]),
            ("spr", {"script": out}, ["--script", out])]:
        with pytest.raises(zoduz.ArgumentError) as raised:
            zoduz.simulate(scenario, out, **options)
        assert str(raised.value) == cli_error("simulate", scenario, "-o", out, *arguments)
    for options in ({"speed": 2}, {"seconds": "2"}, {"seed": -1}, {"raw": 1},
                    {"interval_ms": 2.5}):
        with pytest.raises(zoduz.ArgumentError):
            zoduz.simulate("spr", out, **options)

    unwritable = tmp_path / "no such folder" / "out.zaz"
    with pytest.raises(zoduz.WriteError) as raised:
        zoduz.simulate("spr", unwritable)
    assert isinstance(raised.value, OSError)
    assert str(raised.value) == cli_error("simulate", "spr", "-o", unwritable)
