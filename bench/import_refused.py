#!/usr/bin/python3
"""Refused-rows benchmark: a ~50 MB site CSV whose every row the import refuses (a site number that is
not a number), imported by tarnwick-cli with --on-row-error skip into a new park, so that every row
goes to the rejected-rows file. Compared in the same run with checking the same file (tarnwick-cli
check) and with importing a file of the same size whose every row is stored. Reports the median time
and peak memory of each over RUNS runs (environment variable, default 5), and the ratios."""
import os
import statistics
import subprocess
import sys
import time

from benchlib import CLI, bench_folder, fresh_park

ROWS = int(os.environ.get("ROWS", "800000"))
MAPPING = ["--map", "Number=Site", "--map", "AliasNumber=Alias", "--map", "Length=Len", "--map", "Width=Wide",
           "--map", "ElectricAmp=Amps"]


def write_sites(path, refused):
    """A site CSV of ROWS rows; with `refused`, every site number carries a letter."""
    prefix = "n" if refused else ""
    with open(path, "w", newline="") as out:
        out.write('"Site","Alias","Len","Wide","Amps","Notes"\r\n')
        for i in range(1, ROWS + 1):
            out.write('%s%d,A%d,%d,%d,%d,"pull-through, shaded, near the lake"\r\n' %
                      (prefix, i, i % 1000000, 20 + i % 40, 10 + i % 8, 30 if i % 2 else 50))


def measure(command, cwd, expected=0):
    """Runs a command that should end with status `expected`; returns (seconds, peak KiB of that child
    alone)."""
    start = time.monotonic()
    child = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != expected:
        sys.exit("failed: %s\n%s" % (" ".join(command), child.stderr.read().decode()))
    return seconds, usage.ru_maxrss


def main():
    runs = int(os.environ.get("RUNS", "5"))
    with bench_folder() as work:
        refused = os.path.join(work, "refused.csv")
        good = os.path.join(work, "good.csv")
        write_sites(refused, True)
        write_sites(good, False)
        print("refused.csv %.1f MB, good.csv %.1f MB, %d rows each" %
              (os.path.getsize(refused) / 1e6, os.path.getsize(good) / 1e6, ROWS))
        importing = ["--backup", "no", "--on-row-error", "skip"] + MAPPING

        results = {"import all refused": [], "check all refused": [], "import all stored": []}
        for _ in range(runs):
            park = fresh_park(work, source=refused)
            results["import all refused"].append(
                measure([CLI, "--park", park, "import", "sites", "refused.csv"] + importing, park))
            rejected = os.path.join(park, "refused rejected.csv")
            if not os.path.exists(rejected):
                sys.exit("the import wrote no rejected-rows file")
            park = fresh_park(work, source=refused)
            # A check that finds refused rows ends with status 1.
            results["check all refused"].append(
                measure([CLI, "--park", park, "check", "sites", "refused.csv"] + MAPPING, park, expected=1))
            park = fresh_park(work, source=good)
            results["import all stored"].append(
                measure([CLI, "--park", park, "import", "sites", "good.csv"] + importing, park))

        med = {k: (statistics.median(t for t, _ in v), statistics.median(m for _, m in v)) for k, v in results.items()}
        for name, (seconds, kib) in med.items():
            print("%-19s median %.3f s, peak %.1f MiB" % (name, seconds, kib / 1024))
        ours = med["import all refused"]
        print("all refused against check: time %.2f x, peak %.2f x; against all stored: time %.2f x, peak %.2f x;"
              " over %d runs" % (ours[0] / med["check all refused"][0], ours[1] / med["check all refused"][1],
                                 ours[0] / med["import all stored"][0], ours[1] / med["import all stored"][1], runs))
        print("peak memory of the all-refused import: %.1f MiB (target < 64 MiB)" % (ours[1] / 1024))


if __name__ == "__main__":
    main()
