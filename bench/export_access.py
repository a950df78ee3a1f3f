#!/usr/bin/python3
"""Access export benchmark: a Jet table of 100,000 rows (grown from nwind.mdb's "Orders" by
make_big_access.py) exported to a workbook with libmdb in the program's own process, as before,
and through the reader process, alternately in the same run. Reports the median seconds of each
over RUNS runs (environment variable, default 9), the ratio (the aim: at most 1.10) and peak
memory."""
import os
import statistics
import subprocess
import sys

from benchlib import BIN, ROOT, bench_folder

NWIND = os.path.join(ROOT, "..", "shared", "testdata", "access", "nwind.mdb")
ROWS = 100000


def export(mode, database, folder):
    workbook = os.path.join(folder, "Orders.xls")
    if os.path.exists(workbook):
        os.remove(workbook)
    done = subprocess.run([os.path.join(BIN, "bench_export_access"), mode, database, "Orders", folder],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if done.returncode != 0:
        sys.exit("%s export failed: %s" % (mode, done.stderr))
    seconds, own, reader = done.stdout.split()
    return float(seconds), int(own), int(reader)


def main():
    runs = int(os.environ.get("RUNS", "9"))
    with bench_folder() as work:
        database = os.path.join(work, "orders-100000.mdb")
        subprocess.run([sys.executable, os.path.join(ROOT, "bench", "make_big_access.py"), NWIND, str(ROWS),
                        database], check=True)
        times = {"in-process": [], "reader": []}
        memory = {}
        for _ in range(runs):
            for mode in times:
                seconds, own, reader = export(mode, database, work)
                times[mode].append(seconds)
                memory[mode] = (own, reader)
        before, now = statistics.median(times["in-process"]), statistics.median(times["reader"])
        print("%d rows, medians of %d runs: in-process %.3f s, reader process %.3f s, ratio %.3f" %
              (ROWS, runs, before, now, now / before))
        for mode, (own, reader) in memory.items():
            print("  %-10s peak memory: program %d MiB, reader %d MiB" % (mode, own // 1024, reader // 1024))


if __name__ == "__main__":
    main()
