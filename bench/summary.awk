# Reads the JSON output (--benchmark_out_format=json) of the benchmark programs and prints the
# summary table of bench/run: each figure beside its same-run baseline, the ratio, the target
# where the issues state one, and whether it is met.
#
# Google Benchmark writes one "key": value pair per line, so a line-based reader suffices.
# With repetitions the programs report aggregates only; the median is used then.

FNR == 1 { bench = "" }

/^ *"[^"]+": / {
    n = split($0, part, "\"")
    key = part[2]
    value = $0
    sub(/^ *"[^"]+": */, "", value)
    sub(/,$/, "", value)
    gsub(/"/, "", value)
    if (key == "name") {
        bench = value
        gsub(/\/iterations:[0-9]+/, "", bench)
        gsub(/\/real_time/, "", bench)
        gsub(/\/manual_time/, "", bench)
        present[bench] = 1
    } else if (bench != "") {
        val[bench, key] = value
    }
}

# The median aggregate when there is one, else the single run.
function pick(b) {
    if ((b "_median") in present) return b "_median"
    if (b in present) return b
    return ""
}

function failed(b,    p) {
    p = pick(b)
    return p == "" || ((p, "error_occurred") in val && val[p, "error_occurred"] == "true")
}

# A counter of a benchmark; "" when the benchmark did not run or failed.
function get(b, key,    p) {
    if (failed(b)) return ""
    p = pick(b)
    return ((p, key) in val) ? val[p, key] + 0 : ""
}

# One iteration's time in seconds: key "real_time" (wall) or "cpu_time".
function time_of(b, key,    t, unit) {
    t = get(b, key)
    if (t == "") return ""
    unit = val[pick(b), "time_unit"]
    if (unit == "ns") return t * 1e-9
    if (unit == "us") return t * 1e-6
    if (unit == "ms") return t * 1e-3
    return t
}

# Wall time of one iteration in seconds.
function seconds(b) {
    return time_of(b, "real_time")
}

# CPU time of one iteration in milliseconds.
function cpu_millis(b,    s) {
    s = time_of(b, "cpu_time")
    return s == "" ? "" : 1000 * s
}

function millis(b,    s) {
    s = seconds(b)
    return s == "" ? "" : 1000 * s
}

function micros(b,    s) {
    s = seconds(b)
    return s == "" ? "" : 1e6 * s
}

function per_second(b,    s) {
    s = seconds(b)
    return (s == "" || s <= 0) ? "" : 1 / s
}

function quotient(a, b) {
    return (a == "" || b == "" || b == 0) ? "" : a / b
}

# 1234567 -> "1 234 567"
function grouped(x,    s, out) {
    s = sprintf("%.0f", x)
    out = ""
    while (length(s) > 3) {
        out = " " substr(s, length(s) - 2) out
        s = substr(s, 1, length(s) - 3)
    }
    return s out
}

function show(x, unit) {
    if (x == "") return "n/a"
    if (unit == "/s") return grouped(x) " /s"
    if (unit == "ms") return grouped(x) " ms"
    if (unit == "B") return sprintf("%.1f B", x)
    if (unit == "%") return sprintf("%.3f %%", x)
    return sprintf("%.1f %s", x, unit)
}

function crafted(name, b) {
    row("`DecodeAll`, crafted " name " (" sprintf("%.0f", get(b, "file_bytes") / 1e6) " MB)",
        get(b, "decode_MBps"), "MB/s", get(b, "plain_read_MBps"), "plain read", "min", 10,
        ">= 10 MB/s")
}

# kind: "" (no target), "min"/"max" (on the value), "ratio" (ratio at most the target),
# "minratio" (ratio at least the target).
function row(measure, value, unit, baseline, baseName, kind, target, targetText,    ratio, result) {
    ratio = quotient(value, baseline)
    result = "-"
    if (kind != "") {
        if (value == "" || baseline == "") {
            result = "NOT RUN"
        } else if (kind == "min") {
            result = (value >= target) ? "met" : "MISSED"
        } else if (kind == "max") {
            result = (value <= target) ? "met" : "MISSED"
        } else if (kind == "minratio") {
            result = (ratio >= target) ? "met" : "MISSED"
        } else {
            # Both figures are converted from their time units: allow for the rounding.
            result = (ratio <= target * (1 + 1e-9)) ? "met" : "MISSED"
        }
        if (result != "met") missed++
    }
    printf "| %s | %s | %s %s | %s | %s | %s |\n", measure, show(value, unit),
           show(baseline, unit), baseName, (ratio == "" ? "n/a" : sprintf("%.3f", ratio)),
           (targetText == "" ? "-" : targetText), result
}

END {
    missed = 0
    print "| Measure | Value | Baseline (same run) | Ratio | Target | Result |"
    print "| --- | --- | --- | --- | --- | --- |"

    row("Stream parse, mostly samples", get("BM_ParseMostlySamples", "parse_MBps"), "MB/s",
        get("BM_ParseMostlySamples", "bytesum_MBps"), "byte sum")
    row("Stream parse, edge-heavy", get("BM_ParseEdgeHeavy", "parse_MBps"), "MB/s",
        get("BM_ParseEdgeHeavy", "bytesum_MBps"), "byte sum")

    row("`DecodeAll`, `long` (" sprintf("%.0f", get("BM_DecodeAllLong", "file_bytes") / 1e6) " MB)",
        get("BM_DecodeAllLong", "decode_MBps"), "MB/s",
        get("BM_DecodeAllLong", "plain_read_MBps"), "plain read", "minratio", 0.10, "ratio >= 0.10")
    row("`DecodeAll`, PD-dense (" sprintf("%.0f", get("BM_DecodeAllPdDense", "file_bytes") / 1e6) " MB)",
        get("BM_DecodeAllPdDense", "decode_MBps"), "MB/s",
        get("BM_DecodeAllPdDense", "plain_read_MBps"), "plain read", "min", 150, ">= 150 MB/s")
    row("`DecodeAll`, `long`, per thread CPU second", get("BM_DecodeAllLong", "decode_MBps_cpu"),
        "MB/s", get("BM_DecodeAllLong", "plain_read_MBps_cpu"), "plain read", "minratio", 0.10,
        "ratio >= 0.10")
    row("`DecodeAll`, PD-dense, per thread CPU second",
        get("BM_DecodeAllPdDense", "decode_MBps_cpu"), "MB/s",
        get("BM_DecodeAllPdDense", "plain_read_MBps_cpu"), "plain read", "min", 150, ">= 150 MB/s")
    samples = get("BM_SampleStoreAppend", "samples")
    row("`SampleStore::Append`" (samples == "" ? "" : ", " grouped(samples) " samples") \
        ", per thread CPU second", get("BM_SampleStoreAppend", "appended_per_s_cpu"), "/s",
        get("BM_SampleStoreAppend", "copied_per_s_cpu"), "plain copy", "minratio", 0.5,
        "ratio >= 0.50")

    row("Checks, `long`, CPU", get("BM_CheckLong", "check_ms_cpu"), "ms",
        get("BM_CheckLong", "decode_ms_cpu"), "`DecodeAll`", "ratio", 0.25, "ratio <= 0.25")
    row("Checks, PD-dense, CPU", get("BM_CheckPdDense", "check_ms_cpu"), "ms",
        get("BM_CheckPdDense", "decode_ms_cpu"), "`DecodeAll`", "ratio", 0.25,
        "ratio <= 0.25")

    row("`DecodeAll` tolerant, PD-dense (" sprintf("%.0f", get("BM_DecodeAllTolerantPdDense", "file_bytes") / 1e6) " MB)",
        get("BM_DecodeAllTolerantPdDense", "tolerant_MBps"), "MB/s",
        get("BM_DecodeAllTolerantPdDense", "strict_MBps"), "strict")
    row("`DecodeAll` tolerant, distorted (" sprintf("%.0f", get("BM_DecodeAllTolerantDistorted", "file_bytes") / 1e6) " MB)",
        get("BM_DecodeAllTolerantDistorted", "tolerant_MBps"), "MB/s",
        get("BM_DecodeAllTolerantDistorted", "strict_MBps"), "strict")
    row("`import-sr`, logic samples", get("BM_ImportSr", "import_MBps"), "MB/s",
        get("BM_ImportSr", "unzip_MBps"), "unzip only")

    row("`DecodePacket`, GoodCRC", per_second("BM_DecodePacket/GoodCRC"), "/s",
        per_second("BM_CopyAndSumBaseline/GoodCRC"), "copy + sum edges")
    row("`DecodePacket`, Source_Capabilities (7 PDOs)", per_second("BM_DecodePacket/SourceCaps7Pdo"),
        "/s", per_second("BM_CopyAndSumBaseline/SourceCaps7Pdo"), "copy + sum edges")
    row("`DecodePacket`, extended chunk", per_second("BM_DecodePacket/ExtendedChunk"), "/s",
        per_second("BM_CopyAndSumBaseline/ExtendedChunk"), "copy + sum edges")

    row("Peak heap per sample, `long`", get("BM_DecodeAllLong", "peak_bytes_per_sample"), "B",
        quotient(get("BM_DecodeAllLong", "file_bytes"), get("BM_DecodeAllLong", "samples")),
        "record file", "max", 32, "<= 32 B")
    row("Peak heap per packet, PD-dense", get("BM_DecodeAllPdDense", "peak_bytes_per_packet"), "B",
        quotient(get("BM_DecodeAllPdDense", "file_bytes"), get("BM_DecodeAllPdDense", "packets")),
        "record file", "ratio", 1.0, "ratio <= 1.00")
    row("Peak heap per packet, tiny bursts", get("BM_DecodeAllTinyBursts", "peak_bytes_per_packet"),
        "B", quotient(get("BM_DecodeAllTinyBursts", "file_bytes"),
                      get("BM_DecodeAllTinyBursts", "packets")), "record file")

    # Crafted files: the slowest decodes a file can force, against a floor of 10 MB/s.
    crafted("ambiguous bursts", "BM_DecodeAllAmbiguousBursts")
    crafted("branching packets", "BM_DecodeAllBranchingPackets")
    crafted("tiny bursts", "BM_DecodeAllTinyBursts")
    lines = get("BM_DecodeAllLinesOutOfOrder", "packets")
    row("`DecodeAll`, CC lines out of order" (lines == "" ? "" : " (" grouped(lines) " packets)"),
        millis("BM_DecodeAllLinesOutOfOrder"), "ms", millis("BM_DecodeAllLinesInOrder"), "in order",
        "ratio", 2.0, "ratio <= 2.00")

    packets = get("BM_OpenDecodeOnly", "packets")
    opened = packets == "" ? "Open capture" : "Open " grouped(packets) " packets"
    row(opened " + list to first paint",
        millis("BM_OpenWithListFirstPaint"), "ms", millis("BM_OpenDecodeOnly"),
        "decode alone", "ratio", 1.2, "ratio <= 1.20")
    row("Open with list, peak resident set", get("BM_OpenWithListFirstPaint", "peak_rss_MB"), "MB",
        get("BM_OpenDecodeOnly", "peak_rss_MB"), "decode alone", "ratio", 1.2, "ratio <= 1.20")
    row("Open with list, heap in use after", get("BM_OpenWithListFirstPaint", "heap_MB"), "MB",
        get("BM_OpenDecodeOnly", "heap_MB"), "decode alone", "ratio", 1.2, "ratio <= 1.20")

    for (n = 4; n <= 7; n += (n == 4 ? 2 : 1)) {
        arg = sprintf("%d", 10 ^ n)
        row("Trace decimation, 10^" n " samples in view, fast",
            micros("BM_DecimateFast/" arg), "µs", micros("BM_DecimateReference/" arg),
            "reference walk")
    }
    row("Fast decimation, 10^7 against 10^4 samples in view", micros("BM_DecimateFast/10000000"),
        "µs", micros("BM_DecimateFast/10000"), "at 10^4", "ratio", 3, "ratio <= 3.00")
    row("`MeasureEnergy`, 10^7 samples, fast", micros("BM_MeasureEnergyFast"), "µs",
        micros("BM_MeasureEnergyReference"), "reference walk")
    for (z = 1; z <= 2; ++z) {
        zoom = z == 1 ? "ZoomedOut" : "ZoomedIn"
        view = z == 1 ? "whole capture" : "zoomed in"
        for (n = 4; n <= 7; n += (n == 4 ? 2 : 1)) {
            arg = sprintf("%d", 10 ^ n)
            row("Graph paint 1600 x 900, " view ", 10^" n " samples, fast",
                cpu_millis("BM_PaintFast" zoom "/" arg), "CPU ms",
                cpu_millis("BM_PaintReference" zoom "/" arg), "reference walk")
        }
        row("Graph paint, " view ", 10^7 against 10^4 samples",
            cpu_millis("BM_PaintFast" zoom "/10000000"), "CPU ms",
            cpu_millis("BM_PaintFast" zoom "/10000"), "at 10^4", "ratio", 3, "ratio <= 3.00")
        row("Graph paint, " view ", 10^7 samples", cpu_millis("BM_PaintFast" zoom "/10000000"),
            "CPU ms", cpu_millis("BM_PaintReference" zoom "/10000000"), "reference walk", "max", 50,
            "<= 50 ms")
    }
    row("Reader path (read, write, live values), unpaced virtual analyzer",
        get("BM_ReaderPath", "reader_MBps"), "MB/s", get("BM_ReaderPath", "plain_write_MBps"),
        "plain 16 KiB writes", "min", 200, ">= 200 MB/s")
    row("Reader path, per thread CPU second", get("BM_ReaderPath", "reader_MBps_cpu"), "MB/s",
        get("BM_ReaderPath", "plain_write_MBps_cpu"), "plain 16 KiB writes")
    row("Capture tick (`DecodeMore` + list), PD-dense at 1 ms, share of a core",
        get("BM_CaptureTickPdDense", "tick_core_percent"), "%",
        get("BM_CaptureTickPdDense", "offline_core_percent"), "offline decode", "max", 5,
        "<= 5 %")
    packets = get("BM_ExportCsvBoth", "packets")
    exported = packets == "" ? "CSV export, both items" : \
        sprintf("CSV export, %s packets + %s samples (%.0f MB)", grouped(packets),
                grouped(get("BM_ExportCsvBoth", "samples")), get("BM_ExportCsvBoth", "bytes") / 1e6)
    row(exported, get("BM_ExportCsvBoth", "csv_MBps"), "MB/s",
        get("BM_ExportCsvBoth", "plain_write_MBps"), "plain write")
    row("Record slice, whole capture", get("BM_RecordSliceWhole", "slice_MBps"), "MB/s",
        get("BM_RecordSliceWhole", "copy_MBps"), "plain 1 MiB copy", "minratio", 0.5,
        "ratio >= 0.50")
    row("Stitch, three parts", get("BM_StitchThreeParts", "stitch_MBps"), "MB/s",
        get("BM_StitchThreeParts", "copy_MBps"), "plain 1 MiB copy", "minratio", 0.5,
        "ratio >= 0.50")

    row("Find Next over 1 000 000 rows, no match",
        quotient(get("BM_FindNextMillionRows", "rows"), seconds("BM_FindNextMillionRows")), "/s",
        get("BM_FindNextMillionRows", "baseline_rows_per_s"), "field walk", "min", 2e6,
        ">= 2 000 000 /s")
    row("Display filter over 1 000 000 packets",
        quotient(get("BM_FilterMillionPackets", "rows"), seconds("BM_FilterMillionPackets")), "/s",
        get("BM_FilterMillionPackets", "baseline_rows_per_s"), "field walk", "min", 2e6,
        ">= 2 000 000 /s")

    if (missed > 0) {
        printf "\n%d target(s) MISSED or not run.\n", missed
    } else {
        print "\nEvery stated target met."
    }
}
