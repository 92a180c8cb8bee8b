"""Shared by the tests of the zoduz module: zoduz-cli and the reference corpus.

CTest runs these with PYTHONPATH naming the build's module folder, ZODUZ_CLI the zoduz-cli of
the same build and ZODUZ_REFERENCE the reference corpus (tests/reference).
"""
import os
import pathlib
import subprocess

import pytest

CLI = os.environ.get("ZODUZ_CLI", "zoduz-cli")
REFERENCE = pathlib.Path(
    os.environ.get("ZODUZ_REFERENCE", pathlib.Path(__file__).parent.parent / "reference"))


def run_cli(*args, status=(0,)):
    """zoduz-cli's stdout as text; fails the test on an exit status not in `status`."""
    done = subprocess.run([CLI, *map(str, args)], capture_output=True, text=True, check=False)
    assert done.returncode in status, f"zoduz-cli {' '.join(map(str, args))}: {done.stderr}"
    return done.stdout


def cli_error(*args):
    """The one-line error zoduz-cli prints for these arguments, without "zoduz-cli COMMAND: "."""
    done = subprocess.run([CLI, *map(str, args)], capture_output=True, text=True, check=False)
    assert done.returncode != 0
    prefix = f"zoduz-cli {args[0]}: "
    lines = [line for line in done.stderr.splitlines() if line.startswith(prefix)]
    assert len(lines) == 1, done.stderr
    return lines[0][len(prefix):]


def manifest():
    """(name, chosen packets) of every entry of the reference corpus."""
    entries = []
    for line in (REFERENCE / "manifest").read_text().splitlines():
        if line and line[0].isalpha():
            name, packets = line.split()[:2]
            entries.append((name, [] if packets == "-" else packets.split(",")))
    return entries


@pytest.fixture(params=[name for name, _ in manifest()])
def corpus_file(request):
    """The record file of one corpus entry."""
    return REFERENCE / f"{request.param}.zaz"
