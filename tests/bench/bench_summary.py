"""Prints the benchmarks' figures as one table, each next to its goal.

Usage: bench_summary.py DIR
DIR holds what scripts/bench collected: headless.json and qt.json (Google Benchmark's JSON
output of kaldo-bench-byte-path, plain and --qt), idle.txt and startup.txt (lines of "name value ..." pairs), and load-*.txt (the load
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
    rows = []  # figure, runs, value, goal text, met (None: no goal), load

    def median(values):
        return statistics.median(values) if values else None

    def add(figure, runs, value, goal, met, load, fmt="{:,.0f}"):
        shown_runs = ", ".join(fmt.format(r) for r in runs) if runs else "-"
        shown_value = fmt.format(value) if value is not None else "-"
        if value is None and goal:
            met = "no figure"
        rows.append((figure, shown_runs, shown_value, goal, met, load))

    for presenter, path in (("headless", headless), ("qt", qt)):
        load = load_of(folder, presenter)
        ours = runs_of(path, f"BytePath/{presenter}", "bytes_per_second")
        python = runs_of(path, f"PythonPerByteReader/{presenter}", "bytes_per_second")
        cpu = runs_of(path, f"BytePath/{presenter}", "cpu_us_per_byte")
        m, pm, cm = median(ours), median(python), median(cpu)
        add(f"Byte path, {presenter} (bytes/s)", ours, m, "", None, load)
        add("  Python per-byte reader, same run", python, pm, "", None, load)
        ratio = m / pm if m and pm else None
        add("  ours / Python", [], ratio, ">= 1.0", ratio is not None and ratio >= 1.0, load,
            "{:.2f}")
        add("  CPU per byte (us, all threads)", cpu, cm, "<= 4", cm is not None and cm <= 4, load,
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

    headers = ("Figure", "Runs", "Median", "Goal", "", "Load at start")
    marks = {True: "met", False: "MISSED", None: "", "no figure": "no figure"}
    table = [headers] + [(f, r, v, g, marks[ok], l) for f, r, v, g, ok, l in rows]
    widths = [max(len(row[i]) for row in table) for i in range(len(headers))]
    for i, row in enumerate(table):
        print("  ".join(cell.ljust(w) for cell, w in zip(row, widths)).rstrip())
        if i == 0:
            print("  ".join("-" * w for w in widths))
    for error in errors_of(headless) + errors_of(qt):
        print("failed:", error)
    print("CPU per byte: the process's CPU time per byte (all threads); under load (see the last")
    print("column) the rates drop first.")


if __name__ == "__main__":
    main()
