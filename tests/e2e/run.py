"""Runs end-to-end test modules and closes with "N passed, N failed[, N skipped]".

    python3 run.py [test_module.py ...]     (all test_*.py here when none given)

Exit 0 when nothing failed, 77 when every test was skipped, 1 otherwise.
"""

import sys
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import bench  # noqa: E402


class CountingResult(unittest.TextTestResult):
    """Counts tests, not sub-tests: a test with a failed row is one failed test."""

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.passed = 0
        self.failed_ids = set()

    def addSuccess(self, test):
        super().addSuccess(test)
        self.passed += 1

    def addExpectedFailure(self, test, err):
        super().addExpectedFailure(test, err)
        self.passed += 1

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self.failed_ids.add(test.id())

    def addError(self, test, err):
        super().addError(test, err)
        self.failed_ids.add(test.id())

    def addUnexpectedSuccess(self, test):
        super().addUnexpectedSuccess(test)
        self.failed_ids.add(test.id())

    def addSubTest(self, test, subtest, err):
        super().addSubTest(test, subtest, err)
        if err is not None:
            self.failed_ids.add(test.id())


def main(argv):
    modules = [Path(a).stem for a in argv] or sorted(p.stem for p in HERE.glob("test_*.py"))
    loader = unittest.TestLoader()
    suite = unittest.TestSuite()
    for name in modules:
        suite.addTests(loader.loadTestsFromName(name))
    runner = unittest.TextTestRunner(resultclass=CountingResult, verbosity=2, stream=sys.stdout)
    try:
        result = runner.run(suite)
    finally:
        bench.shutdown()
    failed = len(result.failed_ids)
    skipped = len(result.skipped)
    line = "%d passed, %d failed" % (result.passed, failed)
    if skipped:
        line += ", %d skipped" % skipped
    print("e2e artefacts: %s" % (bench.bench_dir() / "e2e"))
    print(line)
    if failed or result.testsRun == 0:
        return 1
    if skipped == result.testsRun:
        return 77
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
