"""bench/run_bench.py on a built tree (LOOPWEAVE_BENCH_TREE) with tiny
inputs: the table's rows, the cap and missing maps; and on a stand-in driver
that sleeps, for the time limit."""

import os
import pathlib
import subprocess
import sys
import tempfile
import textwrap
import unittest

RUNNER = pathlib.Path(__file__).resolve().parents[1] / "run_bench.py"


def run_bench(*options, tree=None, **env):
    tree = tree or os.environ["LOOPWEAVE_BENCH_TREE"]
    done = subprocess.run([sys.executable, str(RUNNER), str(tree), *options], capture_output=True, text=True,
                          env=dict(os.environ, **env))
    return done.returncode, done.stdout


# Lists three sizes of a slow kind, the largest over the cap, the smallest
# moved far from the origin, scaled and turned, and one fast input; sleeps on
# the slow ones.
SLEEPING_DRIVER = textwrap.dedent("""\
    #!/bin/sh
    case "$1 $2" in
      "--list ") echo slow:1 slow:2 slow:3 slow:1@1000 slow:1*100 slow:1/30 fast:1 ;;
      "--check slow:3") echo "engine=loopweave input=$2 status=over-cap elements=3" ;;
      --check*) echo "engine=loopweave input=$2 status=runnable" ;;
      slow:*) exec sleep 30 ;;
      *) echo "engine=loopweave input=$1 status=ok elements=1 edges=1 polygons=1 cut_s=0 form_s=0 peak_kib=1024" ;;
    esac
""")


class RunBenchTest(unittest.TestCase):
    def test_rows_for_inputs_run_over_the_cap_and_without_data(self):
        status, table = run_bench("--operations", BENCH_INPUTS="grid:16 grid:40 map:absent", BENCH_MAX_SEGMENTS="20",
                                  BENCH_TIMEOUT="60")
        self.assertEqual(status, 0, table)
        self.assertRegex(table, r"grid:16 +loopweave +16 +112 +50 +[\d.]+ +[\d.]+ +[\d.]+ +[\d.]+\n")
        self.assertRegex(table, r"grid:40 +- +40 +over the cap\n")
        self.assertRegex(table, r"map:absent +- +no data")
        self.assertRegex(table, r"milliseconds per operation.*\n.*\ngrid:16(  +[\d.]+){5}\n")

    def test_operations_of_a_map_whose_name_has_a_hyphen(self):
        # The filter for one case once carried Python's escape of the "-",
        # which Google Benchmark rejects: the maps' operations then ran
        # nothing, and the runner died reading their output.
        with tempfile.TemporaryDirectory() as data:
            (pathlib.Path(data) / "counties-10m.segments").write_text("0 0 4 0 0 0\n4 0 0 3 0 1\n0 3 0 0 0 2\n")
            status, table = run_bench("--operations", BENCH_INPUTS="map:counties-10m", BENCH_DATA_DIR=data,
                                      BENCH_TIMEOUT="60")
        self.assertEqual(status, 0, table)
        self.assertRegex(table, r"map:counties-10m +loopweave +3 +3 +2 ")
        self.assertRegex(table, r"milliseconds per operation.*\n.*\nmap:counties-10m(  +[\d.]+){5}\n")

    def test_a_process_over_the_time_limit_stops_the_larger_inputs_of_its_kind(self):
        with tempfile.TemporaryDirectory() as tree:
            driver = pathlib.Path(tree) / "bench" / "loopweave_driver"
            driver.parent.mkdir()
            driver.write_text(SLEEPING_DRIVER)
            driver.chmod(0o755)
            status, table = run_bench(tree=tree, BENCH_TIMEOUT="0.5")
        self.assertEqual(status, 0, table)
        self.assertRegex(table, r"slow:1 +loopweave +timed out \(over 0.5 s\)\n")
        self.assertRegex(table, r"slow:2 +loopweave +skipped: loopweave timed out")
        self.assertRegex(table, r"slow:3 +- +3 +over the cap\n")
        self.assertRegex(table, r"slow:1@1000 +loopweave +timed out")  # a kind of its own
        self.assertRegex(table, r"slow:1\*100 +loopweave +timed out")
        self.assertRegex(table, r"slow:1/30 +loopweave +timed out")
        self.assertRegex(table, r"fast:1 +loopweave +1 +1 +1 +0.000 +0.000 +0.000 +1.0\n")

if __name__ == "__main__":
    unittest.main()
