"""Runs a Python suite the way ctest calls it (trelvik_add_python_suite in
tests/CMakeLists.txt): the suite's own options, then the names of the cases
to run, Class or Class.method, every case when none is named.

Exit status 0 passed, 1 failed, 77 (ctest's skip code) when every case run
was skipped: a case skips itself with unittest's skipTest, naming the
outside thing it lacks."""
import sys
import unittest

SKIPPED = 77


def run(names):
    """Runs the named cases of the script that was started; its exit status."""
    module = sys.modules["__main__"]
    loader = unittest.TestLoader()
    cases = loader.loadTestsFromNames(names, module) if names else \
        loader.loadTestsFromModule(module)
    result = unittest.TextTestRunner(stream=sys.stdout, verbosity=2).run(cases)
    if not result.wasSuccessful():
        return 1
    if result.testsRun == 0:
        print("FAILED: no case of that name")
        return 1
    return SKIPPED if len(result.skipped) == result.testsRun else 0


def main(parser):
    """Parses the suite's options, leaving the case names, and runs them;
    the options are returned to the suite through `options`."""
    global options
    options, names = parser.parse_known_args()
    sys.stdout.reconfigure(line_buffering=True)
    sys.exit(run(names))


options = None
