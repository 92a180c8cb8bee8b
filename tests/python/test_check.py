"""Capture.check and Capture.contracts report what zoduz-cli check and contracts print: the same
records with the same keys, units and time base, for each profile; the planted faults of the
faults scenario are all found."""
import json

import pytest

import zoduz
from conftest import REFERENCE, run_cli


def cli_records(command, path, *options):
    # check exits 4 when it finds an error; that is not a failure here.
    text = run_cli(command, path, "--format", "json", *options, status=(0, 4))
    return [json.loads(line) for line in text.splitlines()]


@pytest.fixture(scope="module", params=["faults", "epr", "hard-reset", "pr-swap"])
def scenario_file(request, tmp_path_factory):
    path = tmp_path_factory.mktemp("check") / f"{request.param}.zaz"
    zoduz.simulate(request.param, path)
    return path


def test_findings_as_the_command_prints_them(scenario_file):
    capture = zoduz.open(scenario_file)
    assert capture.check() == cli_records("check", scenario_file)
    assert capture.check(profile="3.0") == cli_records("check", scenario_file, "--profile", "3.0")
    assert capture.check(profile="3.1") == capture.check()


def test_contracts_as_the_command_prints_them(scenario_file):
    capture = zoduz.open(scenario_file)
    contracts = capture.contracts()
    assert contracts == cli_records("contracts", scenario_file)
    for contract in contracts:
        assert contract["request_packet"] > contract["caps_packet"]


def test_every_planted_fault_is_found(tmp_path):
    path = tmp_path / "faults.zaz"
    zoduz.simulate("faults", path)
    frozen = (REFERENCE / "expected" / "scenarios" / "faults.check").read_text().splitlines()
    expected = [line.split("\t")[2] for line in frozen]
    assert [finding["rule"] for finding in zoduz.open(path).check()] == expected


def test_an_unknown_profile_is_an_argument_error(tmp_path):
    path = tmp_path / "spr.zaz"
    zoduz.simulate("spr", path)
    with pytest.raises(zoduz.ArgumentError, match="3.2"):
        zoduz.open(path).check(profile="3.2")
