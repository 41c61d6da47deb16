#!/usr/bin/env python3
"""Prints the nanoseconds from launch to the first paint of one run of
COMMAND, a program built with the first-paint probe.

    first_paint.py COMMAND...
"""
import sys

from common import first_paint

print(first_paint(sys.argv[1:])["ns"])
