"""Failures raise zoduz.Error subclasses that are also the built-in exceptions a caller would
catch, with the message zoduz-cli prints for the same failure."""
import gc
import re
import shutil
import subprocess
import sys

import pytest

import zoduz
from conftest import REFERENCE, cli_error

SPR = REFERENCE / "spr.zaz"


def test_error_classes():
    assert issubclass(zoduz.Error, Exception)
    for name, builtin in [("MissingFileError", FileNotFoundError),
                          ("UnreadableFileError", OSError), ("DamagedFileError", zoduz.Error),
                          ("OutOfMemoryError", MemoryError), ("NoPacketError", IndexError),
                          ("ArgumentError", ValueError), ("WriteError", OSError)]:
        error = getattr(zoduz, name)
        assert issubclass(error, zoduz.Error) and issubclass(error, builtin), name


def test_files_that_do_not_open(tmp_path):
    missing = tmp_path / "missing.zaz"
    with pytest.raises(zoduz.MissingFileError) as raised:
        zoduz.open(missing)
    assert isinstance(raised.value, FileNotFoundError)
    assert str(raised.value) == cli_error("decode", missing) == f"cannot read '{missing}'"

    with pytest.raises(zoduz.UnreadableFileError) as raised:
        zoduz.open(tmp_path)
    assert str(raised.value) == cli_error("decode", tmp_path) == f"'{tmp_path}' is not a regular file"

    session = tmp_path / "damaged.sr"
    session.write_bytes(b"PK\x03\x04 not really an archive")
    with pytest.raises(zoduz.DamagedFileError) as raised:
        zoduz.open(session)
    assert str(raised.value) == cli_error("decode", session)

    with pytest.raises(zoduz.ArgumentError):
        zoduz.open(12)


def test_files_that_are_not_record_files(tmp_path):
    text = tmp_path / "notes.zaz"
    text.write_text("a renamed text file, not a record file\n" * 40)
    with pytest.raises(zoduz.DamagedFileError) as raised:
        zoduz.open(text)
    assert str(raised.value) == (f"'{text}': No valid record block found: this is probably not a "
                                 "Zoduz record file.")


def test_a_cut_file_opens_with_its_problem(tmp_path):
    cut = tmp_path / "cut.zaz"
    data = SPR.read_bytes()
    cut.write_bytes(data[:len(data) // 64 * 64 - 64 * 100 + 10])
    capture = zoduz.open(cut)
    assert 0 < len(capture.packets) <= len(zoduz.open(SPR).packets)
    assert "The file ends in a partial block: its last 10 bytes are not decoded." in capture.problems
    assert zoduz.open(SPR).problems == ""


def test_packets_that_do_not_exist():
    capture = zoduz.open(SPR)
    count = len(capture.packets)
    with pytest.raises(zoduz.NoPacketError) as raised:
        capture.packets[count]
    assert isinstance(raised.value, IndexError)
    assert str(raised.value) == cli_error("tree", SPR, count)
    with pytest.raises(zoduz.NoPacketError):
        capture.packets[-count - 1]
    assert capture.packets[-1].number == count - 1
    assert [p.number for p in capture.packets[-3:]] == [count - 3, count - 2, count - 1]
    assert [p.number for p in capture.packets[4:0:-2]] == [4, 2]
    assert capture.packets[1] == capture.packets[-count + 1] != capture.packets[2]
    assert len({capture.packets[1], capture.packets[1], capture.packets[2]}) == 2
    with pytest.raises(zoduz.NoPacketError) as raised:
        capture.find(start=count)
    assert str(raised.value) == cli_error("find", SPR, "--from", count)


def test_bad_arguments():
    capture = zoduz.open(SPR)
    with pytest.raises(zoduz.ArgumentError) as raised:
        capture.find(Bogus=True)
    assert str(raised.value) == cli_error("find", SPR, "--set", "Bogus=on")
    for criteria in ({"CC1": "yes"}, {"text": 3}, {"start": -1}, {"start": True},
                     {"check_all": 1}):
        with pytest.raises(zoduz.ArgumentError):
            capture.find(**criteria)
    with pytest.raises(zoduz.ArgumentError):
        capture.filter(backward=True)  # a find keyword only

    packet = capture.packets[0]
    with pytest.raises(zoduz.ArgumentError) as raised:
        packet.fields("08000000")
    assert str(raised.value) == cli_error("fields", SPR, 0, "--node", "08000000")
    for node in ("xyz", "123456789", -1, 2**32, 1.5):
        with pytest.raises(zoduz.ArgumentError):
            packet.fields(node)


def test_packets_keep_their_capture_alive(tmp_path):
    copy = tmp_path / "copy.zaz"
    shutil.copy(SPR, copy)
    packets = zoduz.open(copy).packets
    first = packets[0]
    gc.collect()
    copy.unlink()  # the decoded capture does not need its file any more
    assert first.columns["Message Type"] == "Source_Capabilities"
    assert len(packets) == len(list(packets))


def test_out_of_memory_while_decoding(tmp_path):
    # Another interpreter whose address space ends a few megabytes above what it uses already,
    # so that the decode of ten minutes of samples runs out of memory.
    path = tmp_path / "long.zaz"
    zoduz.simulate("long", path, seconds=600)
    script = f"""
import resource, zoduz
size = [int(l.split()[1]) for l in open('/proc/self/status') if l.startswith('VmSize')][0]
resource.setrlimit(resource.RLIMIT_AS, (size * 1024 + 8 * 2**20, resource.RLIM_INFINITY))
try:
    zoduz.open({str(path)!r})
except zoduz.OutOfMemoryError as error:
    print(isinstance(error, MemoryError), error)
"""
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                          check=False)
    assert done.returncode == 0, done.stderr
    assert re.fullmatch(r"True out of memory: decoding stopped after \d+ packets and \d+ samples "
                        + re.escape(f"of '{path}'") + "\n", done.stdout), done.stdout
