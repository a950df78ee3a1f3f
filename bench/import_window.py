#!/usr/bin/python3
"""Window benchmark: the same 100,000-row guest CSV imported through the import window (driven
offscreen by bench_import_window) and through tarnwick-cli, alternately in the same run, each into a
new park. Reports the median time of each over RUNS runs (environment variable, default 7) and the
ratio window / terminal (target <= 1.15)."""
import os
import statistics
import subprocess
import sys
import time

from benchlib import BIN, CLI, bench_folder, fresh_park, guest_mapping


def timed(command, cwd):
    start = time.monotonic()
    done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    seconds = time.monotonic() - start
    if done.returncode != 0 or b"100000 of 100000 Guests" not in done.stdout:
        sys.exit("failed: %s\n%s%s" % (" ".join(command), done.stdout.decode(), done.stderr.decode()))
    return seconds


def main():
    runs = int(os.environ.get("RUNS", "7"))
    with bench_folder() as work:
        csv = os.path.join(work, "guests.csv")
        subprocess.run([os.path.join(BIN, "tarnwick-sample-data"), "guests-csv", csv, "100000"], check=True)
        cli = [CLI, "--park", None, "import", "guests", "guests.csv", "--case", "title", "--backup", "no",
               "--on-row-error", "stop"] + guest_mapping()
        window, terminal = [], []
        for _ in range(runs):
            park = fresh_park(work, source=csv)
            window.append(timed([os.path.join(BIN, "bench_import_window"), park, "guests.csv"], park))
            park = fresh_park(work, source=csv)
            cli[2] = park
            terminal.append(timed(cli, park))
        w, t = statistics.median(window), statistics.median(terminal)
        print("window   median %.3f s" % w)
        print("terminal median %.3f s" % t)
        print("ratio window / terminal %.3f (target <= 1.15), over %d runs" % (w / t, runs))


if __name__ == "__main__":
    main()
