#!/usr/bin/python3
"""Check benchmark: checking the 100,000-guest CSV (tarnwick-cli check) against importing it
(tarnwick-cli import), alternately in the same run, each on a new park. Reports the medians over
RUNS runs (environment variable, default 5) and the ratio check / import (target <= 1)."""
import os
import statistics
import subprocess

from benchlib import BIN, CLI, bench_folder, fresh_park, guest_mapping, timed


def main():
    runs = int(os.environ.get("RUNS", "5"))
    with bench_folder() as work:
        csv = os.path.join(work, "guests.csv")
        subprocess.run([os.path.join(BIN, "tarnwick-sample-data"), "guests-csv", csv, "100000"], check=True)
        options = ["--case", "title"] + guest_mapping()
        checks, imports = [], []
        for _ in range(runs):
            park = fresh_park(work, source=csv)
            checks.append(timed([CLI, "--park", park, "check", "guests", "guests.csv"] + options))
            park = fresh_park(work, source=csv)
            imports.append(timed([CLI, "--park", park, "import", "guests", "guests.csv", "--backup", "no",
                                  "--on-row-error", "skip"] + options))
        c, i = statistics.median(checks), statistics.median(imports)
        print("check median %.3f s, import median %.3f s, ratio %.2f (target <= 1), over %d runs" % (c, i, c / i, runs))


if __name__ == "__main__":
    main()
