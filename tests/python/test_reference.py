"""The module against zoduz-cli on the reference corpus: every packet's column texts and raw
facts, trees and field tables of the chosen packets, the sample array, the energy between two
times, the info counters, and find and filter."""
import json

import numpy as np
import pytest

import zoduz
from conftest import REFERENCE, manifest, run_cli


def cli_packets(path, *options):
    return [json.loads(line) for line in run_cli("decode", path, "--format", "json",
                                                 *options).splitlines()]


def check_packets(capture, expected):
    assert len(capture.packets) == len(expected)
    origin = capture.time_origin_us
    for packet, row in zip(capture.packets, expected):
        columns = row["columns"]
        assert packet.columns == columns
        assert list(packet.columns) == list(columns)  # the 38 long titles in column order
        assert packet.number == row["packetNumber"]
        assert packet.time_us == row["relTime"] - origin
        assert packet.cc_line == row["ccLine"] + 1
        assert packet.crc_ok == row["crcOk"]
        assert packet.recovered == row.get("recovered", False)
        assert packet.header == row["header"]
        assert packet.data_objects == row["dataObjects"]
        assert packet.message_bytes.hex().upper() == row["messageBytes"]
        assert packet.ordered_set == columns["Ordered Set"]
        assert packet.message_type == columns["Message Type"]
        assert packet.duration_us == int(columns["Packet Length [us]"])
        if row["header"] is None:
            assert packet.message_id is None
        else:
            assert packet.message_id == (row["header"] >> 9) & 7
        if columns["MessageID"]:
            assert packet.message_id == int(columns["MessageID"])


def test_every_packet_and_column_text(corpus_file):
    check_packets(zoduz.open(corpus_file), cli_packets(corpus_file))


def test_reverse_current_and_tolerant_decoding():
    epr = REFERENCE / "epr.zaz"
    reversed_capture = zoduz.open(epr, reverse_current=True)
    assert reversed_capture.reverse_current
    check_packets(reversed_capture, cli_packets(epr, "--reverse-current"))
    plain = zoduz.open(epr).samples
    for name in ("vbus_ma", "cc1_ma", "cc2_ma"):
        assert np.array_equal(reversed_capture.samples[name], -plain[name])
    assert np.array_equal(reversed_capture.samples["vbus_mv"], plain["vbus_mv"])

    noisy = REFERENCE / "noisy.zaz"
    tolerant = zoduz.open(noisy, tolerant=True)
    expected = cli_packets(noisy, "--tolerant")
    check_packets(tolerant, expected)
    assert any(packet.recovered for packet in tolerant.packets)
    assert not any(packet.recovered for packet in zoduz.open(noisy).packets)


def chosen_packets():
    for name, packets in manifest():
        for choice in packets:
            number, _, node = choice.partition("@")
            yield name, int(number), node or None


@pytest.mark.parametrize("name,number,node", list(chosen_packets()))
def test_tree_and_fields_of_chosen_packets(name, number, node):
    path = REFERENCE / f"{name}.zaz"
    packet = zoduz.open(path).packets[number]
    tree = [line.split("\t") for line in run_cli("tree", path, number).splitlines()]
    assert packet.tree() == [(int(code, 16), int(depth), text) for code, depth, text in tree]

    arguments = ["fields", path, number] + (["--node", node] if node else [])
    lines = run_cli(*arguments).split("\n")[1:-1]  # without the title line and the last newline
    keys = ("offset", "length", "name", "value", "description", "hex", "ascii")
    expected = [dict(zip(keys, line.split("\t"))) for line in lines]
    assert packet.fields(node) == expected
    if node:
        # A node code also goes as an int, with or without the "0x" of the command line.
        assert packet.fields(int(node, 16)) == expected
        assert packet.fields("0x" + node) == expected


def test_sample_array(corpus_file):
    capture = zoduz.open(corpus_file)
    samples = capture.samples
    lines = run_cli("samples", corpus_file).splitlines()
    assert lines[0] == "Time[us]\tVBUS[mV]\tVBUS[mA]\tCC1[mV]\tCC1[mA]\tCC2[mV]\tCC2[mA]"
    expected = np.array([[int(v) for v in line.split("\t")] for line in lines[1:]],
                        dtype=np.int64).reshape(-1, 7)
    assert samples.dtype.names == ("time_us", "vbus_mv", "vbus_ma", "cc1_mv", "cc1_ma",
                                   "cc2_mv", "cc2_ma")
    assert samples.dtype["time_us"] == np.int64
    assert len(samples) == len(expected) == capture.info()["document"]["samples"]
    for column, name in enumerate(samples.dtype.names):
        assert np.array_equal(samples[name], expected[:, column]), name
    assert capture.samples is samples  # made once
    with pytest.raises(ValueError):
        samples["vbus_mv"][0] = 1  # read-only: every caller gets the same array


def measure_ranges(capture):
    times = capture.samples["time_us"] - capture.time_origin_us
    if len(times) == 0:
        return [(0, 1000)]
    first, last = int(times[0]), int(times[-1])
    middle = (first + last) // 2
    return [(first, last), (last, first), (middle - 12345, middle + 54321), (first - 1000, first),
            (middle, middle)]


def test_energy_between_two_times(corpus_file):
    capture = zoduz.open(corpus_file)
    for o_us, x_us in measure_ranges(capture):
        lines = run_cli("measure", corpus_file, "--from", o_us, "--to", x_us).splitlines()
        measured = capture.measure(o_us, x_us)
        assert measured["text"] == lines[0]
        assert f"{measured['positive_mj']:.3f}" == lines[1].split("\t")[1]
        assert f"{measured['negative_mj']:.3f}" == lines[2].split("\t")[1]
        assert str(measured["samples"]) == lines[3].split("\t")[1]
        # The figures are those of the text, as the graph shows them.
        if "[mWh]" in measured["text"]:
            assert f"({measured['energy_mwh']:.2f}[mWh] Ave={measured['average_w']:.2f}[W])" \
                in measured["text"]


def parse_info(text):
    """zoduz-cli info's lines as the dictionary Capture.info() gives."""
    info = {"info_entries": []}
    section = info
    for line in text.splitlines():
        name, *values = line.split("\t")
        if name == "document":
            section = info["document"] = {"marked": []}
        elif name == "info_entry":
            info["info_entries"].append((int(values[0]), values[1], values[2]))
        elif name in ("markerA", "markerB"):
            section[name] = None if values == ["none"] else (int(values[0]), int(values[1]))
        elif name == "marked":
            section["marked"].append((int(values[0]), int(values[1])))
        else:
            section[name] = int(values[0])
    return info


def test_info_counters(corpus_file):
    assert zoduz.open(corpus_file).info() == parse_info(run_cli("info", corpus_file))


FIND_CASES = [
    ({}, []),
    ({"text": "Request"}, ["--text", "Request"]),
    ({"clear_all_types": True, "Accept": True, "GoodCRC": True},
     ["--clear-all-types", "--set", "Accept=on", "--set", "GoodCRC=on"]),
    ({"SOP_prime": False, "Hard Reset": True, "backward": True},
     ["--set", "SOP'=off", "--set", "Hard Reset=on", "--backward"]),
    ({"check_all": True, "start": 3}, ["--check-all", "--from", "3"]),
    ({"No_Errors": False, "CRC Error": True, "Invalid_Packet": True},
     ["--set", "No Errors=off", "--set", "CRC Error=on", "--set", "Invalid Packet=on"]),
]


@pytest.mark.parametrize("name", ["hand_data_texts", "spr", "epr", "noisy", "hand_resets"])
def test_find_as_the_command_finds(name):
    path = REFERENCE / f"{name}.zaz"
    capture = zoduz.open(path)
    for criteria, arguments in FIND_CASES:
        if "start" in criteria and len(capture.packets) <= criteria["start"]:
            continue
        # Exit status 3: nothing found.
        lines = run_cli("find", path, *arguments, status=(0, 3)).splitlines()
        expected = [(int(n), int(c), t) for n, c, t in (line.split("\t") for line in lines)]
        assert capture.find(**criteria) == expected, criteria


FILTER_CASES = [
    ({}, []),
    ({"clear_all_types": True, "GoodCRC": True}, ["--clear-all-types", "--set", "GoodCRC=on"]),
    ({"CC1": False, "text": "Source"}, ["--set", "CC1=off", "--text", "Source"]),
    ({"clear_all": True}, ["--clear-all"]),
]


@pytest.mark.parametrize("name", ["hand_data_texts", "epr", "noisy"])
def test_filter_as_the_display_filter_shows(name):
    path = REFERENCE / f"{name}.zaz"
    capture = zoduz.open(path)
    for criteria, arguments in FILTER_CASES:
        shown = [row["packetNumber"] for row in cli_packets(path, "--filter", *arguments)]
        packets = capture.filter(**criteria)
        assert [packet.number for packet in packets] == shown, criteria
        assert all(isinstance(packet, zoduz.Packet) for packet in packets)
