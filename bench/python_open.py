"""Times zoduz.open plus Capture.samples against zoduz-cli info on one capture and prints a
Markdown table with the medians, the ratio and the target (see bench/python_open).

    python3 bench/python_open.py ZODUZ_CLI CAPTURE REPETITIONS
    python3 bench/python_open.py --module CAPTURE     (one run of the module side, as JSON)
"""
import json
import os
import resource
import statistics
import subprocess
import sys
import time

TARGET = 1.3


def cpu_of_children():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def module_side(capture):
    """One open plus the sample array in this process: wall and CPU seconds."""
    import zoduz
    wall, cpu = time.perf_counter(), time.process_time()
    samples = zoduz.open(capture).samples
    result = {"wall": time.perf_counter() - wall, "cpu": time.process_time() - cpu,
              "samples": len(samples)}
    print(json.dumps(result))


def command_side(cli, capture):
    wall, cpu = time.perf_counter(), cpu_of_children()
    subprocess.run([cli, "info", capture], stdout=subprocess.DEVNULL, check=True)
    return {"wall": time.perf_counter() - wall, "cpu": cpu_of_children() - cpu}


def main():
    if sys.argv[1] == "--module":
        module_side(sys.argv[2])
        return
    cli, capture, repetitions = sys.argv[1], sys.argv[2], int(sys.argv[3])
    module, command = [], []
    for _ in range(repetitions):
        command.append(command_side(cli, capture))
        done = subprocess.run([sys.executable, __file__, "--module", capture],
                              capture_output=True, text=True, check=True, env=os.environ)
        module.append(json.loads(done.stdout))
    rows = []
    for measure in ("wall", "cpu"):
        ours = statistics.median(run[measure] for run in module)
        theirs = statistics.median(run[measure] for run in command)
        ratio = ours / theirs
        rows.append(f"| {measure} | {ours * 1000:.0f} ms | {theirs * 1000:.0f} ms | {ratio:.2f} | "
                    f"{TARGET} | {'met' if ratio <= TARGET else 'MISSED'} |")
    load = open("/proc/loadavg").read().split()[:3]
    print(f"zoduz.open + samples against zoduz-cli info, {os.path.basename(capture)}: "
          f"{module[0]['samples']} samples, {os.path.getsize(capture)} bytes; medians of "
          f"{repetitions} runs, load average {' '.join(load)}")
    print()
    print("| time | zoduz.open + samples | zoduz-cli info | ratio | target | |")
    print("| --- | --- | --- | --- | --- | --- |")
    print("\n".join(rows))


if __name__ == "__main__":
    main()
