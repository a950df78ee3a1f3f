#!/usr/bin/python3
"""Check benchmark: checking the 100,000-guest CSV (tarnwick-cli check) against importing it
(tarnwick-cli import), alternately in the same run, each on a new park. Reports the medians over
RUNS runs (environment variable, default 5) and the ratio check / import (target <= 1)."""
import os
import shutil
import statistics
import subprocess
import tempfile
import time

from benchlib import BIN, CLI, ROOT, fresh_park, guest_mapping


def timed(command):
    start = time.monotonic()
    subprocess.run(command, check=False, stdout=subprocess.DEVNULL)
    return time.monotonic() - start


def main():
    runs = int(os.environ.get("RUNS", "5"))
    subprocess.run([os.path.join(ROOT, "scripts", "build")], check=True, stdout=subprocess.DEVNULL)
    work = tempfile.mkdtemp(prefix="tarnwick-bench-")
    try:
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
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
