#!/usr/bin/env python3
"""The measuring and the report of scripts/bench-memory.

    memory.py BUILD PORT RUNS DOC
"""
import os
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

from common import cpu_model, first_paint, package_version

build, port, runs, doc_path = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
program, bare_window, bare_webview = (f"{build}/app/trelvik", f"{build}/bench/bare_window",
                                      f"{build}/bench/bare_webview")
# The calculator alone is read at its first paint, by the benchmark's build.
probed_program = f"{build}/bench/trelvik_with_probe"
url = f"http://127.0.0.1:{port}/qinvo.htm"
SAMPLE_S, DURATION_S = 0.05, 6.0
TARGET_TREE = 1.1

def processes():
    """pid -> (parent pid, session id) of every process."""
    found = {}
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open(f"/proc/{name}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        found[int(name)] = (int(fields[1]), int(fields[3]))
    return found

def tree(root):
    """The pids of `root` and everything it started: its descendants, and
    whatever is left in its session should a helper have been re-parented."""
    found = processes()
    members, todo = set(), [root]
    while todo:
        pid = todo.pop()
        if pid in members or pid not in found:
            continue
        members.add(pid)
        todo.extend(p for p, (parent, _) in found.items() if parent == pid)
    members.update(p for p, (_, session) in found.items() if session == root)
    return members

def resident_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0  # gone, or a kernel thread

def end(process):
    """Ends the process and everything in its session, and waits for them."""
    members = tree(process.pid)
    for sig in (signal.SIGTERM, signal.SIGKILL):
        for pid in members:
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            process.poll()
            members = {p for p in tree(process.pid) if os.path.exists(f"/proc/{p}")}
            if process.returncode is not None and not members:
                return
            time.sleep(0.05)

def requests(log):
    with open(log) as f:
        return f.read().count("GET /qinvo.htm ")

def tree_peak(command, log):
    """Largest sum of VmRSS over the process tree, in kB, sampled for
    DURATION_S after the start, and the number of processes then."""
    before = requests(log)
    process = subprocess.Popen(command, start_new_session=True, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    peak, count = 0, 0
    start = time.monotonic()
    while time.monotonic() - start < DURATION_S:
        members = tree(process.pid)
        total = sum(resident_kb(p) for p in members)
        if total > peak:
            peak, count = total, len(members)
        time.sleep(SAMPLE_S)
    end(process)
    if requests(log) <= before:
        sys.exit(f"{command[0]} did not request {url} within {DURATION_S} s")
    return peak, count

def first_paint_peak(command):
    """The process's own peak resident memory at its first paint, in kB."""
    report = first_paint(command)
    if "vmhwm-kb" not in report:
        sys.exit(f"{command[0]}: no peak memory reported")
    return report["vmhwm-kb"]

with tempfile.TemporaryDirectory() as folder:
    with open(os.path.join(folder, "qinvo.htm"), "w", encoding="utf-8") as f:
        f.write("<!DOCTYPE html><html lang='zh-CN'><head><meta charset='utf-8'>"
                "<title>Qinvo</title></head><body><p>Qinvo 首页</p>"
                "<a href='/other.htm'>其他</a></body></html>\n")
    log = os.path.join(folder, "access.log")
    with open(log, "w") as log_file:
        server = subprocess.Popen(
            [sys.executable, "-m", "http.server", str(port), "--bind", "127.0.0.1",
             "--directory", folder], stdout=subprocess.DEVNULL, stderr=log_file)
    try:
        for _ in range(100):
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                break
            except OSError:
                if server.poll() is not None:
                    sys.exit(f"the local server did not start on port {port}")
                time.sleep(0.1)
        # One warm-up run each, so both start with a warm file cache.
        tree_peak([program], log)
        tree_peak([bare_webview, url], log)
        trees = {"program": [], "bare": []}
        counts = {"program": [], "bare": []}
        for i in range(runs):
            for name, command in (("program", [program]), ("bare", [bare_webview, url])):
                peak, count = tree_peak(command, log)
                trees[name].append(peak)
                counts[name].append(count)
                print(f"run {i + 1} {name:8} tree peak {peak / 1024:7.1f} MiB, {count} processes",
                      flush=True)
        first_paint_peak([probed_program])
        first_paint_peak([bare_window])
        calc = {"program": [], "bare": []}
        for _ in range(max(runs, 10)):
            calc["program"].append(first_paint_peak([probed_program]))
            calc["bare"].append(first_paint_peak([bare_window]))
    finally:
        server.terminate()
        server.wait()

mib = lambda kb: kb / 1024
tp, tb = statistics.median(trees["program"]), statistics.median(trees["bare"])
cp, cb = statistics.median(calc["program"]), statistics.median(calc["bare"])
tree_ratio, calc_ratio = tp / tb, cp / cb
print(f"whole tree, page loaded: program {mib(tp):.1f} MiB, bare web view {mib(tb):.1f} MiB, "
      f"ratio {tree_ratio:.2f}")
print(f"calculator alone at first paint: program {mib(cp):.1f} MiB, bare window {mib(cb):.1f} MiB, "
      f"ratio {calc_ratio:.2f}")

cpu = cpu_model()
memory = "unknown"
with open("/proc/meminfo") as f:
    for line in f:
        if line.startswith("MemTotal:"):
            memory = f"{int(line.split()[1]) / 1024 / 1024:.1f} GiB"
qt = package_version("libqt6webenginecore6")

def verdict(value, target):
    return "met" if value <= target else "**missed**"

section = f"""## Memory

Written by `scripts/bench-memory`; run it again to refresh this section.

Machine: {os.cpu_count()} CPUs (`nproc`), {cpu}, {memory} of memory; Qt WebEngine
{qt} (Debian); a RelWithDebInfo build of its own in `build/memory`, whose site
address is a local server; Xvfb with openbox as the display.

Method, whole process tree: `python3 -m http.server` on 127.0.0.1 serves a
small `qinvo.htm`. The program, and as the baseline a bare Qt window holding
one `QWebEngineView` of the panel's size, 401×105, loading the same page
(`bench/bare_webview.cpp`), are started alternately, {runs} times each after one
warm-up run each. For {DURATION_S:.0f} s after each start the sum of `VmRSS` over the
process and all its descendants (the engine's helper processes) is read from
`/proc` every {SAMPLE_S * 1000:.0f} ms; a run's figure is the largest sum, and the server's
access log must show the page requested during the run. Pages shared between
processes count once in each, as `VmRSS` has them. The figures are medians.

Method, calculator alone: the program's own peak resident memory (`VmHWM`)
at the first paint of its window, before the panel's engine is loaded,
reported by the benchmark's own build of it with the first-paint probe
(`bench/first_paint_probe.cpp`), against a bare Qt window with one line edit
(`bench/bare_window.cpp`) with the same probe;
{max(runs, 10)} runs each, alternately, medians.

| Measure | Program | Baseline | Ratio | Target |
|---|---|---|---|---|
| Whole process tree, start page loaded | {mib(tp):.0f} MiB ({statistics.median(counts["program"]):.0f} processes) | {mib(tb):.0f} MiB ({statistics.median(counts["bare"]):.0f} processes) | {tree_ratio:.2f} | ≤ {TARGET_TREE} ({verdict(tree_ratio, TARGET_TREE)}) |
| Calculator alone, at first paint | {mib(cp):.1f} MiB | {mib(cb):.1f} MiB | {calc_ratio:.2f} | none set |
"""
subprocess.run(["scripts/write-doc-section", doc_path], input=section, text=True, check=True)
print(f"written to {doc_path}")
