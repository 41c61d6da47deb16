"""Runs a Python suite as ctest calls it (trelvik_add_python_suite): the
suite's options, then the cases to run (Class or Class.method; all when
none). Exit status 0 passed, 1 failed, 77 (ctest's skip) when every case
run skipped itself, with unittest's skipTest naming what it lacks."""
import sys
import unittest

SKIPPED = 77
options = None  # the suite's options, once main() has read them


def run(names):
    """Runs the named cases of the script that was started; its exit status."""
    loader, module = unittest.TestLoader(), sys.modules["__main__"]
    cases = loader.loadTestsFromNames(names, module) if names else \
        loader.loadTestsFromModule(module)
    result = unittest.TextTestRunner(stream=sys.stdout, verbosity=2).run(cases)
    if not result.wasSuccessful() or result.testsRun == 0:
        return 1
    return SKIPPED if len(result.skipped) == result.testsRun else 0


def main(parser):
    global options
    options, names = parser.parse_known_args()
    sys.stdout.reconfigure(line_buffering=True)
    sys.exit(run(names))
