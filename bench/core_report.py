#!/usr/bin/env python3
"""Writes the "Core" section of docs/performance.md from core_bench's JSON
(scripts/bench-core).

    core_report.py RESULTS REPETITIONS DOC
"""
import json
import os
import subprocess
import sys

from common import cpu_model

results_path, repetitions, doc_path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
with open(results_path) as f:
    results = json.load(f)

# Median CPU time per benchmark, in nanoseconds.
median = {}
for run in results["benchmarks"]:
    if run.get("aggregate_name") == "median":
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[run["time_unit"]]
        median[run["run_name"]] = run["cpu_time"] * scale

def ratio(a, b):
    return median[a] / median[b]

cpu = cpu_model()
compiler = subprocess.run(["c++", "--version"], capture_output=True, text=True).stdout.splitlines()[0]

parse, format_ = ratio("BM_ParseNumber", "BM_StdFromChars"), ratio("BM_FormatNumber", "BM_StdToChars")
small, large = median["BM_ParsePastedText/1048576"], median["BM_ParsePastedText/16777216"]
growth = large / small

def verdict(value, target):
    return "met" if value <= target else "**missed**"

section = f"""## Core

Written by `scripts/bench-core`; run it again to refresh this section.

Machine: {os.cpu_count()} CPUs (`nproc`), {cpu}; {compiler}, the default preset's
flags (RelWithDebInfo, `-O2 -g`) without the windows (preset `bench`).

Method: `bench/core_bench` with {repetitions} repetitions of each benchmark in random
order; each figure is the median CPU time. Machines shared with other work are
noisy, so the figures that matter are ratios between benchmarks of the same
run; the times are there for scale only.

| Measure | Ratio | Target |
|---|---|---|
| `ParseNumber` / `std::from_chars`, ten typical texts | {parse:.2f} | ≤ 2 ({verdict(parse, 2)}) |
| `FormatNumber` / `std::to_chars` (general, 15 digits), ten typical values | {format_:.2f} | ≤ 1.5 ({verdict(format_, 1.5)}) |
| Pasted text of 16 MiB / of 1 MiB (linear growth gives 16) | {growth:.1f} | ≈ 16 |

| Benchmark | Median CPU time |
|---|---|
| `ParseNumber`, ten texts | {median["BM_ParseNumber"]:.0f} ns |
| `std::from_chars`, the same ten texts | {median["BM_StdFromChars"]:.0f} ns |
| `FormatNumber`, ten values | {median["BM_FormatNumber"]:.0f} ns |
| `std::to_chars`, the same ten values | {median["BM_StdToChars"]:.0f} ns |
| FAT32 row, one click | {median["BM_Fat32Row"]:.0f} ns |
| NTFS row, one click | {median["BM_NtfsRow"]:.0f} ns |
| `ParseNumber` on a pasted text of 1 MiB | {small / 1e6:.2f} ms |
| `ParseNumber` on a pasted text of 16 MiB | {large / 1e6:.2f} ms |

The pasted text is digits with blanks, tabs and line feeds between them after
"0.": every character is looked at and kept, the worst case for reading. The
16 MiB text does not fit in the processor's caches and the 1 MiB one does, so
the growth ratio also depends on how busy the memory is with other work.
Load average while measuring: {os.getloadavg()[0]:.1f}.
"""

subprocess.run(["scripts/write-doc-section", doc_path], input=section, text=True, check=True)
print(f"ParseNumber / from_chars {parse:.2f}, FormatNumber / to_chars {format_:.2f}, "
      f"16 MiB / 1 MiB {growth:.1f}; written to {doc_path}")
