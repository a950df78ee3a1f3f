#!/usr/bin/python3
"""Start-up benchmark: the desktop program's start, offscreen, from process start to the main window
on screen (bench_startup), on a new park, RUNS times (environment variable,
default 10). Reports the median and the slowest (target: median under 0.5 s)."""
import os
import statistics
import subprocess
import time

from benchlib import BIN, bench_folder, fresh_park


def main():
    runs = int(os.environ.get("RUNS", "10"))
    with bench_folder() as work:
        park = fresh_park(work)  # an empty park: the main window reads only ParkInfo
        with open(os.path.join(park, "path.txt"), "w", newline="") as settings:
            settings.write(park + "\r\n" + park + "\r\n")
        times, whole = [], []
        for _ in range(runs):
            start = time.monotonic()
            done = subprocess.run([os.path.join(BIN, "bench_startup"), park], stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL, check=True)
            whole.append(time.monotonic() - start)
            times.append(float(done.stdout))
        print("start-up to the main window: median %.3f s, slowest %.3f s over %d starts (target < 0.5 s);"
              " whole process including its exit: median %.3f s" %
              (statistics.median(times), max(times), runs, statistics.median(whole)))


if __name__ == "__main__":
    main()
