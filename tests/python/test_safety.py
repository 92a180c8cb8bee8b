"""zoduz.simulate and zoduz.open against unlucky conditions: a file size limit fails the
simulation with WriteError and leaves an existing file as it was; a SIGTERM while a session is
imported ends the interpreter without leaving the temporary import behind."""
import os
import signal
import subprocess
import sys
import time

import pytest

import zoduz
from conftest import run_cli

KEEP = b"keep me"


def run_python(code, env=None, **kwargs):
    return subprocess.Popen([sys.executable, "-c", code], env=env, stderr=subprocess.PIPE,
                            text=True, **kwargs)


def test_file_size_limit_fails_the_simulation_and_keeps_the_old_file(tmp_path):
    out = tmp_path / "out.zaz"
    out.write_bytes(KEEP)
    code = (
        "import resource, sys, zoduz\n"
        "resource.setrlimit(resource.RLIMIT_FSIZE, (4096, 4096))\n"
        "try:\n"
        f"    zoduz.simulate('spr', {str(out)!r}, seconds=10)\n"
        "except zoduz.WriteError as error:\n"
        "    print(error, file=sys.stderr)\n"
        "    sys.exit(3)\n")
    child = run_python(code)
    _, errors = child.communicate(timeout=120)
    assert child.returncode == 3, errors
    assert "File too large" in errors
    assert out.read_bytes() == KEEP
    assert sorted(os.listdir(tmp_path)) == ["out.zaz"]


def test_sigterm_while_a_session_imports_leaves_no_temporary_import(tmp_path):
    # A session of 7 * 10^9 samples takes seconds to import.
    run_cli("simulate", "long", "-o", tmp_path / "long.zaz", "--seconds", "3000",
            "--interval-ms", "1000")
    run_cli("export-sr", tmp_path / "long.zaz", "-o", tmp_path / "long.sr")
    temporary = tmp_path / "tmp"
    temporary.mkdir()
    env = dict(os.environ, TMPDIR=str(temporary))
    child = run_python(f"import zoduz\nzoduz.open({str(tmp_path / 'long.sr')!r})\n", env=env)
    deadline = time.monotonic() + 60
    while not any(name.startswith("zoduz-import-") for name in os.listdir(temporary)):
        assert child.poll() is None, child.stderr.read()
        assert time.monotonic() < deadline
        time.sleep(0.02)
    child.send_signal(signal.SIGTERM)
    child.communicate(timeout=120)
    assert child.returncode == -signal.SIGTERM
    assert [name for name in os.listdir(temporary) if name.startswith("zoduz-import-")] == []
