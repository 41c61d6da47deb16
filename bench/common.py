"""What the benchmark scripts share: the machine they ran on, and the report
of the first-paint probe (first_paint_probe.cpp)."""
import os
import subprocess
import time


def cpu_model():
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return "unknown"


def package_version(package):
    return subprocess.run(["dpkg-query", "-W", "-f=${Version}", package],
                          capture_output=True, text=True).stdout.strip() or "unknown"


def first_paint(command):
    """Runs `command`, a program built with the probe, to its first paint;
    returns what the probe reported there: {"ns": ..., "vmhwm-kb": ...}."""
    launch = time.clock_gettime_ns(time.CLOCK_MONOTONIC)
    env = dict(os.environ, TRELVIK_STARTUP_PROBE=str(launch))
    r = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                       timeout=60)
    err = r.stderr.decode(errors="replace")
    report = {}
    for line in err.splitlines():
        if line.startswith("first-paint-"):
            key, value = line[len("first-paint-"):].split()
            report[key] = int(value)
    if "ns" not in report:
        raise SystemExit(f"{command[-1]}: no first paint reported: " + err[-500:])
    return report
