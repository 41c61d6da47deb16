#!/usr/bin/env python3
"""Start-up time of Windows programs under Wine: from the start of each run
to its main window appearing on the X screen (the window manager mapping its
frame, just before the first paint), for each program in turn, alternating,
on one lasting Wine server. Prints the medians and their ratios to the
first program given, the baseline.

    windows_startup.py --wine WINE64 [--runs N] BASELINE.exe PROGRAM.exe...

scripts/bench-windows-startup runs it on a display and in a Wine prefix of
its own, with that prefix's server already started; DISPLAY and WINEPREFIX
come from there. The figures go into docs/performance.md by hand."""
import argparse
import ctypes
import ctypes.util
import os
import select
import statistics
import subprocess
import sys
import time

SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
MAP_NOTIFY = 19


class Screen:
    """The X server's root window, told of every window mapped on it."""

    def __init__(self):
        self.x = ctypes.CDLL(ctypes.util.find_library('X11'))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        self.x.XPending.argtypes = [ctypes.c_void_p]
        self.x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        self.x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        self.display = self.x.XOpenDisplay(None)
        if not self.display:
            sys.exit('no X display')
        root = self.x.XDefaultRootWindow(self.display)
        self.x.XSelectInput(self.display, root, SUBSTRUCTURE_NOTIFY_MASK)
        self.x.XFlush(ctypes.c_void_p(self.display))
        self.fd = self.x.XConnectionNumber(self.display)
        self.event = ctypes.create_string_buffer(192)

    def drain(self):
        while self.x.XPending(self.display):
            self.x.XNextEvent(self.display, self.event)

    def wait_for_map(self, seconds):
        """Monotonic nanoseconds of the next window mapped."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            while self.x.XPending(self.display):
                self.x.XNextEvent(self.display, self.event)
                if ctypes.c_int.from_buffer(self.event).value == MAP_NOTIFY:
                    return time.monotonic_ns()
            select.select([self.fd], [], [], 0.05)
        raise TimeoutError('no window appeared')


def run_once(screen, wine, exe):
    screen.drain()
    folder, name = os.path.split(os.path.abspath(exe))
    start = time.monotonic_ns()
    process = subprocess.Popen([wine, name], cwd=folder, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        shown = screen.wait_for_map(60)
    finally:
        process.kill()
        process.wait()
    time.sleep(0.5)  # the window gone, and Wine quiet again
    return (shown - start) / 1e6


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--wine', required=True)
    parser.add_argument('--runs', type=int, default=21)
    parser.add_argument('programs', nargs='+')
    args = parser.parse_args()
    if not os.environ.get('WINEPREFIX'):
        sys.exit('WINEPREFIX must name a Wine prefix of the benchmark\'s own')
    screen = Screen()
    for exe in args.programs:  # one run each to warm the caches
        run_once(screen, args.wine, exe)
    times = {exe: [] for exe in args.programs}
    for _ in range(args.runs):
        for exe in args.programs:
            times[exe].append(run_once(screen, args.wine, exe))
    baseline = statistics.median(times[args.programs[0]])
    for exe in args.programs:
        median = statistics.median(times[exe])
        print(f'{os.path.basename(exe)}: median {median:.0f} ms over {args.runs} runs,'
              f' {median / baseline:.2f} of the baseline')


if __name__ == '__main__':
    main()
