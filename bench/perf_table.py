#!/usr/bin/env python3
"""Prints scripts/perf's results as one markdown table set.

  perf_table.py RESULTS_DIR --hook-calls N --dll32 FILE --dll64 FILE

RESULTS_DIR holds what scripts/perf collected; a part that is missing (say,
Wine could not run) shows as "n/a" instead of failing the whole table:
  host-bench.json        vorn_hook_bench --benchmark_out (JSON)
  host-hooks.tsv         vorn_hook_timing --tsv, run under callgrind with
  hooks-callgrind/       --calls N --rounds 1: one dump per case
  host-loader.tsv        vorn_loader_scaling --tsv
  loader-callgrind/      vorn_loader_scaling --single under callgrind
  wine-hooks.tsv         vorn_hook_timing.exe --tsv under Wine
  wine-loader.tsv        vorn_loader_scaling.exe --tsv under Wine
"""
import argparse
import glob
import json
import os
import platform
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "static"))
from check_pe import PeFile  # noqa: E402

NA = "n/a"


def read_tsv(path):
    """Rows of a --tsv output, or [] when the file is missing."""
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return [line.rstrip("\r\n").split("\t") for line in f if "\t" in line]
    except OSError:
        return []


def callgrind_dumps(folder):
    """{stretch name: fewest instructions of its dumps} from callgrind's
    files in `folder` (one per CALLGRIND_DUMP_STATS_AT)."""
    counts = {}
    for path in glob.glob(os.path.join(folder, "*")):
        name, total = None, None
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                match = re.match(r"desc: Trigger: Client Request: (.*)", line)
                if match:
                    name = match.group(1).strip()
                match = re.match(r"summary: (\d+)", line)
                if match:
                    total = int(match.group(1))
        if name and total is not None:
            counts[name] = min(total, counts.get(name, total))
    return counts


def bench_cpu_times(path):
    """{case: best CPU time in ns} from Google Benchmark's JSON output."""
    scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
    try:
        with open(path) as f:
            runs = json.load(f)["benchmarks"]
    except (OSError, ValueError, KeyError):
        return {}
    times = {}
    for run in runs:
        if run.get("run_type", "iteration") != "iteration" or run.get("error_occurred"):
            continue
        ns = run["cpu_time"] * scale.get(run.get("time_unit", "ns"), 1.0)
        times[run["name"]] = min(ns, times.get(run["name"], ns))
    return times


def duration(ns):
    if ns is None:
        return NA
    sign = "−" if ns < 0 else ""
    ns = abs(ns)
    if ns >= 1e6:
        return "%s%.3g ms" % (sign, ns / 1e6)
    if ns >= 1e3:
        return "%s%.3g µs" % (sign, ns / 1e3)
    return "%s%.3g ns" % (sign, ns)


def count(n):
    if n is None:
        return NA
    if n >= 1e6:
        return "%.3g M" % (n / 1e6)
    if n >= 1e4:
        return "%.3g k" % (n / 1e3)
    return "%.0f" % n


def ratio(value, baseline):
    if value is None or not baseline:
        return NA
    return "%.1f" % (value / baseline) if value / baseline < 100 else "%.0f" % (value / baseline)


def growth(values, sizes, i, unit):
    """Growth per KB from the previous size, in `unit` per KB."""
    if i == 0 or values[i] is None or values[i - 1] is None:
        return "–" if i == 0 else NA
    per_kb = (values[i] - values[i - 1]) / ((sizes[i] - sizes[i - 1]) / 1024)
    return unit(per_kb)


def hook_table(results, calls):
    host_rows = read_tsv(os.path.join(results, "host-hooks.tsv"))
    wine_rows = read_tsv(os.path.join(results, "wine-hooks.tsv"))
    cases = [(row[0], row[1].replace(" x ", " × ")) for row in host_rows or wine_rows]
    if not cases:
        return ["No hook measurement ran."]
    instructions = callgrind_dumps(os.path.join(results, "hooks-callgrind"))
    instructions = {name: total / calls for name, total in instructions.items()}
    cpu = bench_cpu_times(os.path.join(results, "host-bench.json"))
    wine = {row[0]: float(row[2]) for row in wine_rows if len(row) >= 3}
    baseline = cases[0][0]
    lines = [
        "| case | host: instructions | × | host: CPU time | × | Wine: time | × | Wine: added |",
        "|------|-------------------:|--:|---------------:|--:|-----------:|--:|------------:|",
    ]
    for name, label in cases:
        added = wine[name] - wine[baseline] if name in wine and baseline in wine else None
        lines.append("| %s | %s | %s | %s | %s | %s | %s | %s |" % (
            label,
            count(instructions.get(name)), ratio(instructions.get(name), instructions.get(baseline)),
            duration(cpu.get(name)), ratio(cpu.get(name), cpu.get(baseline)),
            duration(wine.get(name)), ratio(wine.get(name), wine.get(baseline)),
            "–" if name == baseline else duration(added)))
    return lines


def loader_table(results):
    host_rows = read_tsv(os.path.join(results, "host-loader.tsv"))
    wine_rows = read_tsv(os.path.join(results, "wine-loader.tsv"))
    rows = host_rows or wine_rows
    if not rows:
        return ["No loader measurement ran."]
    kilobytes = [int(row[0]) for row in rows]
    sizes = [int(row[1]) for row in rows]
    counted = callgrind_dumps(os.path.join(results, "loader-callgrind"))
    instructions = [counted.get("compile-%dk" % kb) for kb in kilobytes]

    def times(source):
        found = {int(row[0]): float(row[2]) * 1e6 for row in source if len(row) >= 3}
        return [found.get(kb) for kb in kilobytes]

    host, wine = times(host_rows), times(wine_rows)
    lines = [
        "| vorn.ini | host: instructions | growth per KB | host: time | growth per KB | Wine: time | growth per KB |",
        "|---------:|-------------------:|--------------:|-----------:|--------------:|-----------:|--------------:|",
    ]
    for i, kb in enumerate(kilobytes):
        size = "%d KB" % kb if kb < 1024 else "%g MB" % (kb / 1024)
        lines.append("| %s | %s | %s | %s | %s | %s | %s |" % (
            size,
            count(instructions[i]), growth(instructions, sizes, i, count),
            duration(host[i]), growth(host, sizes, i, duration),
            duration(wine[i]), growth(wine, sizes, i, duration)))
    return lines


def dll_tables(dlls):
    lines = ["| hook library | size | imported from | functions |",
             "|--------------|-----:|---------------|----------:|"]
    listed = []
    for label, path in dlls:
        try:
            pe = PeFile(path)
        except (OSError, ValueError) as error:
            lines.append("| %s | %s | %s | %s |" % (label, NA, "cannot read: %s" % error, NA))
            continue
        imports = pe.imports()
        lines.append("| %s | %d bytes | %s | %d |" % (
            label, len(pe.data), ", ".join(sorted(imports, key=str.lower)),
            sum(len(names) for names in imports.values())))
        listed.append((label, imports))
    for label, imports in listed:
        lines.append("")
        lines.append("Imports of %s:" % label)
        for dll in sorted(imports, key=str.lower):
            lines.append("- %s: %s" % (dll, ", ".join(sorted(imports[dll]))))
    return lines


def machine():
    model = platform.machine()
    try:
        with open("/proc/cpuinfo") as f:
            names = [line.split(":", 1)[1].strip() for line in f if line.startswith("model name")]
        if names:
            model = names[0]
    except OSError:
        pass
    try:
        wine = subprocess.run(["wine", "--version"], capture_output=True, text=True,
                              timeout=30).stdout.strip()
    except (OSError, subprocess.SubprocessError):
        wine = "no Wine"
    return "%s, %d cores; %s" % (model, os.cpu_count() or 0, wine or "no Wine")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("results")
    parser.add_argument("--hook-calls", type=int, required=True)
    parser.add_argument("--dll32", required=True)
    parser.add_argument("--dll64", required=True)
    args = parser.parse_args()
    out = ["Measured on: %s." % machine(), "",
           "### The mouse hook, per message", ""]
    out += hook_table(args.results, args.hook_calls)
    out += ["", "### The loader: compiling vorn.ini, against the file's size", ""]
    out += loader_table(args.results)
    out += ["", "### The hook library", ""]
    out += dll_tables([("vorn.dll (i686)", args.dll32), ("vorn64.dll (x86_64)", args.dll64)])
    print("\n".join(out))


if __name__ == "__main__":
    main()
