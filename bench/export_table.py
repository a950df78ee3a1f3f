#!/usr/bin/python3
"""Export benchmark: the largest tables of the real test database nwind.mdb written to a workbook by
tarnwick-cli export (the export window's core), against mdb-export writing the same table as CSV
to /dev/null, alternately in the same run. Reports the median time of each over RUNS runs
(environment variable, default 15) and the ratio."""
import os
import statistics
import subprocess

from benchlib import CLI, ROOT, bench_folder, fresh_park, timed

DATABASE = os.path.join(ROOT, "..", "shared", "testdata", "access", "nwind.mdb")
TABLES = ["Order Details", "Orders"]


def main():
    runs = int(os.environ.get("RUNS", "15"))
    with bench_folder() as work:
        park = fresh_park(work)
        for table in TABLES:
            ours, reference = [], []
            workbook = os.path.join(park, table + ".xls")
            for _ in range(runs):
                if os.path.exists(workbook):
                    os.remove(workbook)
                ours.append(timed([CLI, "--park", park, "export", DATABASE, table], stdout=subprocess.DEVNULL))
                with open(os.devnull, "w") as sink:
                    reference.append(timed(["mdb-export", DATABASE, table], stdout=sink))
            o, r = statistics.median(ours), statistics.median(reference)
            rows = subprocess.run(["mdb-export", DATABASE, table], stdout=subprocess.PIPE).stdout.count(b"\n") - 1
            print("%-14s %5d rows: export %.4f s, mdb-export %.4f s, ratio %.2f (over %d runs)" %
                  (table, rows, o, r, o / r, runs))


if __name__ == "__main__":
    main()
