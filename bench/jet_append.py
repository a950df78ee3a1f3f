#!/usr/bin/python3
"""Jet append benchmark: 100,000 guests appended to a new park's Guest table through the Jet engine
(a Jet 4 park) and through the database component (an SQLite park), alternately in the same run,
both committed every 4,000 rows as an import commits. Reports the median seconds of each over RUNS
runs (environment variable, default 5), the ratio (the aim: at most 1.5) and the peak memory of
each (the aim for Jet: under 64 MB)."""
import os
import shutil
import statistics
import subprocess
import sys

from benchlib import BIN, bench_folder

ROWS = 100000


def append(mode, folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    done = subprocess.run([os.path.join(BIN, "bench_jet_append"), mode, folder], stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True)
    if done.returncode != 0:
        sys.exit("%s append failed: %s" % (mode, done.stderr))
    seconds, memory = done.stdout.split()
    return float(seconds), int(memory)


def main():
    runs = int(os.environ.get("RUNS", "5"))
    with bench_folder() as work:
        times = {"sqlite": [], "jet": []}
        memory = {"sqlite": 0, "jet": 0}
        for _ in range(runs):
            for mode in times:
                seconds, peak = append(mode, os.path.join(work, mode))
                times[mode].append(seconds)
                memory[mode] = max(memory[mode], peak)
        sqlite, jet = statistics.median(times["sqlite"]), statistics.median(times["jet"])
        print("%d guests, medians of %d runs: SQLite %.3f s, Jet %.3f s, ratio %.2f" %
              (ROWS, runs, sqlite, jet, jet / sqlite))
        for mode, peak in memory.items():
            print("  %-6s peak memory %.1f MiB" % (mode, peak / 1024))


if __name__ == "__main__":
    main()
