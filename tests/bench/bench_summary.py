"""Prints the benchmarks' figures as one table, each next to its goal.

Usage: bench_summary.py DIR
DIR holds what scripts/bench collected: headless.json and qt.json (Google Benchmark's JSON
output), idle.txt and startup.txt (lines of "name value ..." pairs), and load-*.txt (the load
average when each part started).
"""

import json
import os
import statistics
import sys


def runs_of(path, name, field):
    """The per-repetition values of a benchmark's field, skipping aggregates and failed runs."""
    if not os.path.exists(path):
        return []
    with open(path) as f:
        data = json.load(f)
    return [b[field] for b in data["benchmarks"]
            if b.get("run_name", b["name"]).startswith(name)
            and b.get("run_type") == "iteration" and not b.get("error_occurred")]


def errors_of(path):
    if not os.path.exists(path):
        return []
    with open(path) as f:
        data = json.load(f)
    return [f"{b['name']}: {b.get('error_message', '')}" for b in data["benchmarks"]
            if b.get("error_occurred")]


def pairs_of(path, key):
    """Values of `key` from lines of "name value name value ..." pairs."""
    if not os.path.exists(path):
        return []
    values = []
    with open(path) as f:
        for line in f:
            words = line.split()
            fields = dict(zip(words[0::2], words[1::2]))
            if key in fields:
                values.append(float(fields[key]))
    return values


def load_of(folder, part):
    path = os.path.join(folder, f"load-{part}.txt")
    if not os.path.exists(path):
        return ""
    with open(path) as f:
        return f.read().strip()


def main():
    folder = sys.argv[1]
    headless = os.path.join(folder, "headless.json")
    qt = os.path.join(folder, "qt.json")
    rows = []  # figure, runs, value, goal text, met (None: no goal), CPU per byte, load

    def median(values):
        return statistics.median(values) if values else None

    def add(figure, runs, value, goal, met, load, fmt="{:,.0f}", cpu=None):
        shown_runs = ", ".join(fmt.format(r) for r in runs) if runs else "-"
        shown_value = fmt.format(value) if value is not None else "-"
        shown_cpu = f"{median(cpu):.2f}" if cpu else ""
        if value is None and goal:
            met = "no figure"
        rows.append((figure, shown_runs, shown_value, goal, met, shown_cpu, load))

    def cpu_of(path, name):
        return runs_of(path, name, "cpu_us_per_byte")

    ours = runs_of(headless, "BytePath/headless", "bytes_per_second")
    python = runs_of(headless, "PythonPerByteReader", "bytes_per_second")
    ours_qt = runs_of(qt, "BytePath/qt", "bytes_per_second")
    load_h, load_q = load_of(folder, "headless"), load_of(folder, "qt")

    m = median(ours)
    add("Byte path, headless (bytes/s)", ours, m, ">= 200,000", m is not None and m >= 200_000, load_h,
        cpu=cpu_of(headless, "BytePath/headless"))
    pm = median(python)
    add("Python per-byte reader (bytes/s)", python, pm, "", None, load_h)
    ratio = m / pm if m and pm else None
    add("Ours / Python", [], ratio, ">= 1.0", ratio is not None and ratio >= 1.0, load_h, "{:.2f}")
    qm = median(ours_qt)
    add("Byte path, Qt (bytes/s)", ours_qt, qm, "", None, load_q, cpu=cpu_of(qt, "BytePath/qt"))
    slowdown = m / qm if m and qm else None
    add("Headless / Qt", [], slowdown, "<= 2.0", slowdown is not None and slowdown <= 2.0, load_q,
        "{:.2f}")

    idle = pairs_of(os.path.join(folder, "idle.txt"), "idle_cpu_percent")
    im = median(idle)
    add("Idle open port, CPU (% of a core)", idle, im, "< 0.5", im is not None and im < 0.5,
        load_of(folder, "idle"), "{:.3f}")
    shown = pairs_of(os.path.join(folder, "startup.txt"), "startup_ms")
    painted = pairs_of(os.path.join(folder, "startup.txt"), "painted_ms")
    sm = median(shown)
    add("Start-up to dialog shown (ms)", shown, sm, "< 300", sm is not None and sm < 300,
        load_of(folder, "startup"), "{:.0f}")
    add("  to first paint (ms)", painted, median(painted), "", None, "", "{:.0f}")

    headers = ("Figure", "Runs", "Median", "Goal", "", "CPU us/byte", "Load at start")
    marks = {True: "met", False: "MISSED", None: "", "no figure": "no figure"}
    table = [headers] + [(f, r, v, g, marks[ok], c, l) for f, r, v, g, ok, c, l in rows]
    widths = [max(len(row[i]) for row in table) for i in range(len(headers))]
    for i, row in enumerate(table):
        print("  ".join(cell.ljust(w) for cell, w in zip(row, widths)).rstrip())
        if i == 0:
            print("  ".join("-" * w for w in widths))
    for error in errors_of(headless) + errors_of(qt):
        print("failed:", error)
    print("CPU us/byte: the process's CPU time per byte (all threads), median of the runs; it")
    print("depends far less on the machine's load than the rates do.")


if __name__ == "__main__":
    main()
