#!/usr/bin/env python3
"""Prints the figures of scripts/bench-startup and, when asked, writes them
into the "Startup" section of docs/performance.md.

    startup_report.py WRITE DOC PROGRAM_INSTRUCTIONS BASELINE_INSTRUCTIONS MODE|TIMES|TIMES...
"""
import os
import statistics
import subprocess
import sys

from common import cpu_model, package_version

write, doc_path = sys.argv[1] == "1", sys.argv[2]
pi, bi = int(sys.argv[3]), int(sys.argv[4])
results = sys.argv[5:]
TARGET = 1.1
names = {"network": "with network", "none": "without network (`unshare --net`)"}
rows = []
for result in results:
    mode, program, baseline = result.split("|")
    p = [int(x) / 1e6 for x in program.split()]
    b = [int(x) / 1e6 for x in baseline.split()]
    mp, mb = statistics.median(p), statistics.median(b)
    print(f"{names[mode]}: runs: {len(p)} each")
    print(f"program     median {mp:8.1f} ms  (min {min(p):.1f}, max {max(p):.1f})")
    print(f"bare window median {mb:8.1f} ms  (min {min(b):.1f}, max {max(b):.1f})")
    print(f"ratio program / bare window: {mp / mb:.2f}")
    rows.append((names[mode], mp, mb, mp / mb, len(p)))
print(f"instructions to first paint: program {pi / 1e6:.1f} M, bare window {bi / 1e6:.1f} M,"
      f" ratio {pi / bi:.3f}")
if not write:
    sys.exit(0)

cpu = cpu_model()
qt = package_version("libqt6widgets6")

def verdict(value):
    return "met" if value <= TARGET else "**missed**"

table = "\n".join(
    f"| {name} | {mp:.0f} ms | {mb:.0f} ms | {ratio:.2f} | ≤ {TARGET} ({verdict(ratio)}) |"
    for name, mp, mb, ratio, _ in rows)
section = f"""## Startup

Written by `scripts/bench-startup`; run it again (as root, for the runs
without network) to refresh this section.

Machine: {os.cpu_count()} CPUs (`nproc`), {cpu}; Qt {qt} (Debian); the default
preset's build (RelWithDebInfo); Xvfb with openbox as the display.

Method: the time from starting the process to the first paint of its main
window, reported by a probe that only the benchmark's build of the program
carries (`bench/first_paint_probe.cpp`), which then quits. The baseline is a
bare Qt window with one line edit (`bench/bare_window.cpp`) with the same probe. The two
are started alternately, {rows[0][4]} times each after one warm-up run each, once
with the machine's network and once each run in an empty network namespace;
the figures are medians. The web panel's engine starts only after the first
paint, so neither its libraries nor the network are on this path.

| Network | Program | Bare window | Ratio | Target |
|---|---|---|---|---|
{table}

Instructions executed before the first paint, counted once each by
`valgrind --tool=callgrind` (with network), which unlike the times do not
depend on what else the machine is doing: program {pi / 1e6:.1f} M, bare window
{bi / 1e6:.1f} M, ratio {pi / bi:.3f}.

The times are there for scale only: the machine is shared with other work.
Load average while measuring: {os.getloadavg()[0]:.1f}.
"""
subprocess.run(["scripts/write-doc-section", doc_path], input=section, text=True, check=True)
print(f"written to {doc_path}")
