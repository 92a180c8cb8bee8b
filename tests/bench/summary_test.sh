#!/usr/bin/env bash
# Checks the summary table of bench/run on recorded benchmark output: medians preferred over
# other aggregates, time units, failed benchmarks shown as n/a, targets met and missed at their
# boundaries, and the count of missed targets.
#   summary_test.sh SUMMARY_AWK DATA_DIR
set -euo pipefail
summary="$1"
data="$2"
table="$(awk -f "$summary" "$data/single_run.json" "$data/medians.json" "$data/graph.json" \
    "$data/graph_paint.json" "$data/live_capture.json")"

failures=0
expect() {
    if ! grep -qxF -- "$1" <<<"$table"; then
        echo "missing line: $1"
        failures=$((failures + 1))
    fi
}

expect '| Stream parse, mostly samples | 500.0 MB/s | 2000.0 MB/s byte sum | 0.250 | - | - |'
# The median, not the mean or the deviation.
expect '| Stream parse, edge-heavy | 100.0 MB/s | 2000.0 MB/s byte sum | 0.050 | - | - |'
# `long` against a tenth of the plain read, on the wall clock and per CPU second.
expect '| `DecodeAll`, `long` (109 MB) | 600.0 MB/s | 12000.0 MB/s plain read | 0.050 | ratio >= 0.10 | MISSED |'
expect '| `DecodeAll`, `long`, per thread CPU second | 1300.0 MB/s | 13000.0 MB/s plain read | 0.100 | ratio >= 0.10 | met |'
expect '| `DecodeAll`, PD-dense (10 MB) | 40.0 MB/s | 8000.0 MB/s plain read | 0.005 | >= 150 MB/s | MISSED |'
expect '| `DecodeAll`, PD-dense, per thread CPU second | n/a | n/a plain read | n/a | >= 150 MB/s | NOT RUN |'
# Appending at exactly half the plain copy's rate is met.
expect '| `SampleStore::Append`, 10 000 000 samples, per thread CPU second | 500 000 000 /s | 1 000 000 000 /s plain copy | 0.500 | ratio >= 0.50 | met |'
# Packets per second from the wall time of one iteration in nanoseconds.
expect '| `DecodePacket`, GoodCRC | 250 000 /s | 2 500 000 /s copy + sum edges | 0.100 | - | - |'
# A benchmark that reported an error gives no figure.
expect '| `DecodePacket`, Source_Capabilities (7 PDOs) | n/a | n/a copy + sum edges | n/a | - | - |'
# Exactly at the limit is met.
expect '| Peak heap per sample, `long` | 32.0 B | 21.7 B record file | 1.473 | <= 32 B | met |'
expect '| Peak heap per packet, PD-dense | 800.0 B | 400.0 B record file | 2.000 | ratio <= 1.00 | MISSED |'
expect '| Peak heap per packet, tiny bursts | 250.0 B | 9.1 B record file | 27.343 | - | - |'
expect '| `DecodeAll`, crafted ambiguous bursts (4 MB) | 12.0 MB/s | 9000.0 MB/s plain read | 0.001 | >= 10 MB/s | met |'
# Below the floor is missed, exactly at it is met.
expect '| `DecodeAll`, crafted branching packets (4 MB) | 9.5 MB/s | 9000.0 MB/s plain read | 0.001 | >= 10 MB/s | MISSED |'
expect '| `DecodeAll`, crafted tiny bursts (4 MB) | 10.0 MB/s | 9000.0 MB/s plain read | 0.001 | >= 10 MB/s | met |'
expect '| `DecodeAll`, CC lines out of order (180 000 packets) | 150 ms | 100 ms in order | 1.500 | ratio <= 2.00 | met |'
expect '| Open 101 568 packets + list to first paint | 1 200 ms | 1 000 ms decode alone | 1.200 | ratio <= 1.20 | met |'
expect '| Open with list, peak resident set | 100.0 MB | 80.0 MB decode alone | 1.250 | ratio <= 1.20 | MISSED |'
expect '| Open with list, heap in use after | 110.0 MB | 100.0 MB decode alone | 1.100 | ratio <= 1.20 | met |'
# Graph rows: microseconds, the fast decimation's growth from 10^4 to 10^7 samples (exactly at
# its limit of 3 is met), MeasureEnergy fast beside the walk.
expect '| Trace decimation, 10^4 samples in view, fast | 100.0 µs | 450.0 µs reference walk | 0.222 | - | - |'
expect '| Trace decimation, 10^7 samples in view, fast | 300.0 µs | 380000.0 µs reference walk | 0.001 | - | - |'
expect '| Fast decimation, 10^7 against 10^4 samples in view | 300.0 µs | 100.0 µs at 10^4 | 3.000 | ratio <= 3.00 | met |'
expect '| `MeasureEnergy`, 10^7 samples, fast | 4.0 µs | 330000.0 µs reference walk | 0.000 | - | - |'
# Graph paint: CPU milliseconds, growth within its limit whole and beyond it zoomed in, the
# absolute CPU limit.
expect '| Graph paint 1600 x 900, whole capture, 10^7 samples, fast | 9.5 CPU ms | 590.0 CPU ms reference walk | 0.016 | - | - |'
expect '| Graph paint, whole capture, 10^7 against 10^4 samples | 9.5 CPU ms | 9.0 CPU ms at 10^4 | 1.056 | ratio <= 3.00 | met |'
expect '| Graph paint, zoomed in, 10^7 against 10^4 samples | 6.5 CPU ms | 2.0 CPU ms at 10^4 | 3.250 | ratio <= 3.00 | MISSED |'
expect '| Graph paint, zoomed in, 10^7 samples | 6.5 CPU ms | 6.4 CPU ms reference walk | 1.016 | <= 50 ms | met |'
# Live capture: the reader path below its rate, the tick exactly at its limit.
expect '| Reader path (read, write, live values), unpaced virtual analyzer | 150.0 MB/s | 600.0 MB/s plain 16 KiB writes | 0.250 | >= 200 MB/s | MISSED |'
expect '| Reader path, per thread CPU second | 260.0 MB/s | 2400.0 MB/s plain 16 KiB writes | 0.108 | - | - |'
expect '| Capture tick (`DecodeMore` + list), PD-dense at 1 ms, share of a core | 5.000 % | 0.019 % offline decode | 263.158 | <= 5 % | met |'
expect '| CSV export, 101 568 packets + 76 503 samples (22 MB) | 22.0 MB/s | 440.0 MB/s plain write | 0.050 | - | - |'
# Copy-speed targets: exactly half is met, just below half is missed.
expect '| Record slice, whole capture | 400.0 MB/s | 800.0 MB/s plain 1 MiB copy | 0.500 | ratio >= 0.50 | met |'
expect '| Stitch, three parts | 490.0 MB/s | 1000.0 MB/s plain 1 MiB copy | 0.490 | ratio >= 0.50 | MISSED |'
# Rows per second from the rows of one iteration and its wall time; the limit itself is met.
expect '| Find Next over 1 000 000 rows, no match | 2 000 000 /s | 100 000 000 /s field walk | 0.020 | >= 2 000 000 /s | met |'
expect '| Display filter over 1 000 000 packets | 1 000 000 /s | 100 000 000 /s field walk | 0.010 | >= 2 000 000 /s | MISSED |'
# Rows without recorded output and without a target: n/a, no effect on the count.
expect '| `import-sr`, logic samples | n/a | n/a unzip only | n/a | - | - |'
# The checks' rows (no recorded output) count as not run.
expect '| Checks, `long`, CPU | n/a | n/a `DecodeAll` | n/a | ratio <= 0.25 | NOT RUN |'
expect '12 target(s) MISSED or not run.'

# Without the list benchmark its targets count as not run.
table="$(awk -f "$summary" "$data/medians.json")"
expect '| Open capture + list to first paint | n/a | n/a decode alone | n/a | ratio <= 1.20 | NOT RUN |'
expect '| Fast decimation, 10^7 against 10^4 samples in view | n/a | n/a at 10^4 | n/a | ratio <= 3.00 | NOT RUN |'
expect '| `DecodeAll`, CC lines out of order | n/a | n/a in order | n/a | ratio <= 2.00 | NOT RUN |'
expect '| CSV export, both items | n/a | n/a plain write | n/a | - | - |'
expect '| Record slice, whole capture | n/a | n/a plain 1 MiB copy | n/a | ratio >= 0.50 | NOT RUN |'
expect '| Display filter over 1 000 000 packets | n/a | n/a field walk | n/a | >= 2 000 000 /s | NOT RUN |'
expect '| Graph paint, whole capture, 10^7 samples | n/a | n/a reference walk | n/a | <= 50 ms | NOT RUN |'
expect '27 target(s) MISSED or not run.'

if [ "$failures" -gt 0 ]; then
    echo "$table"
    exit 1
fi
echo "summary table: all lines as expected"
