#!/usr/bin/python3
"""Import benchmark: a 100,000-row guest CSV with every guest slot mapped under Title Case, and a
65,535-row workbook of the same data, each imported by tarnwick-cli into a new park, compared in the
same run with sqlite3's .import of the same CSV into a plain 18-column table. Reports the median
time and peak memory of each over RUNS runs (environment variable, default 5), and the ratios."""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from benchlib import BIN, CLI, ROOT, TITLES, fresh_park, guest_mapping


def measure(command, cwd):
    """Runs a command; returns (seconds, peak KiB of that child alone)."""
    start = time.monotonic()
    child = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: %s\n%s" % (" ".join(command), child.stderr.read().decode()))
    return seconds, usage.ru_maxrss


def main():
    runs = int(os.environ.get("RUNS", "5"))
    subprocess.run([os.path.join(ROOT, "scripts", "build")], check=True, stdout=subprocess.DEVNULL)
    work = tempfile.mkdtemp(prefix="tarnwick-bench-")
    try:
        csv = os.path.join(work, "guests.csv")
        xls = os.path.join(work, "guests.xls")
        subprocess.run([os.path.join(BIN, "tarnwick-sample-data"), "guests-csv", csv, "100000"], check=True)
        subprocess.run([os.path.join(BIN, "tarnwick-sample-data"), "guests-xls", xls, "65534"], check=True)
        common = ["--case", "title", "--backup", "no", "--on-row-error", "stop"] + guest_mapping()

        results = {"ours csv": [], "ours xls": [], "sqlite3 .import": []}
        for _ in range(runs):
            park = fresh_park(work, source=csv)
            results["ours csv"].append(measure([CLI, "--park", park, "import", "guests", "guests.csv"] + common, park))
            park = fresh_park(work, source=xls)
            results["ours xls"].append(measure([CLI, "--park", park, "import", "guests", "guests.xls"] + common, park))
            ref = os.path.join(work, "ref.db")
            if os.path.exists(ref):
                os.remove(ref)
            columns = ", ".join('"%s" TEXT' % t for t in TITLES)
            subprocess.run(["sqlite3", ref, "CREATE TABLE g (%s);" % columns], check=True)
            results["sqlite3 .import"].append(measure(["sqlite3", ref, ".import --csv --skip 1 %s g" % csv], work))

        med = {k: (statistics.median(t for t, _ in v), statistics.median(m for _, m in v)) for k, v in results.items()}
        for name, (seconds, kib) in med.items():
            print("%-16s median %.3f s, peak %.1f MiB" % (name, seconds, kib / 1024))
        ref_time = med["sqlite3 .import"][0]
        print("time ratio: csv %.2f x (target <= 2), workbook %.2f x (target <= 3), over %d runs" %
              (med["ours csv"][0] / ref_time, med["ours xls"][0] / ref_time, runs))
        print("peak memory: csv %.1f MiB, workbook %.1f MiB (target < 64 MiB)" %
              (med["ours csv"][1] / 1024, med["ours xls"][1] / 1024))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
