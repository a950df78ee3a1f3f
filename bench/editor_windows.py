#!/usr/bin/python3
"""Editor benchmark: parks of 100,000 sites and 100,000 guests; the site and guest windows opened
offscreen on them (bench_editor_window: open, refill after a Save, scroll to the end) against
sqlite3 reading the same rows to /dev/null, alternately in the same run. Reports medians over RUNS
runs (environment variable, default 5), the ratios (targets: open under 1 s and at most 3 x sqlite3;
refill as fast) and the windows' peak memory (target under 150 MB for the guests)."""
import os
import statistics
import subprocess
import sys
import time
import shutil

from benchlib import BIN, CLI, bench_folder, fresh_park, guest_mapping

ROWS = 100000


def sites_csv(path):
    with open(path, "w", newline="") as out:
        out.write('"Site","Alias","Length","Width","Amps","Water","Daily"\r\n')
        for i in range(1, ROWS + 1):
            out.write("%d,S%d,%d,%d,%d,%s,%d.50\r\n" % (i, i % 100000, 20 + i % 40, 10 + i % 5, 30 if i % 2 else 50,
                                                        "True" if i % 3 else "False", 20 + i % 30))


def import_into(park, table, source, mapping):
    done = subprocess.run([CLI, "--park", park, "import", table, os.path.basename(source), "--backup", "no",
                           "--on-row-error", "stop"] + mapping, stdout=subprocess.PIPE)
    if b"%d of %d" % (ROWS, ROWS) not in done.stdout:
        sys.exit("import failed: %s" % done.stdout.decode()[-500:])


def window(park, table):
    """(open seconds, refill seconds, peak KiB) of one window run."""
    child = subprocess.Popen([os.path.join(BIN, "bench_editor_window"), park, table], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL)
    output = child.stdout.read().decode().split()
    _, status, usage = os.wait4(child.pid, 0)
    if os.waitstatus_to_exitcode(status) != 0 or len(output) != 4 or int(output[3]) != ROWS:
        sys.exit("window run failed: %s" % output)
    return float(output[0]), float(output[1]), usage.ru_maxrss


def sqlite_read(park, table):
    start = time.monotonic()
    with open(os.devnull, "w") as sink:
        subprocess.run(["sqlite3", os.path.join(park, "Park.MDB"), "SELECT * FROM %s" % table], stdout=sink, check=True)
    return time.monotonic() - start


def main():
    runs = int(os.environ.get("RUNS", "5"))
    with bench_folder() as work:
        sites_source = os.path.join(work, "sites.csv")
        sites_csv(sites_source)
        guests_source = os.path.join(work, "guests.csv")
        subprocess.run([os.path.join(BIN, "tarnwick-sample-data"), "guests-csv", guests_source, str(ROWS)], check=True)
        park = fresh_park(work, source=sites_source)
        shutil.copy(guests_source, park)
        import_into(park, "sites", sites_source, ["--map", "Number=Site", "--map", "AliasNumber=Alias", "--map",
                                                  "Length=Length", "--map", "Width=Width", "--map",
                                                  "ElectricAmp=Amps", "--map", "Water=Water", "--map",
                                                  "Daily=Daily"])
        import_into(park, "guests", guests_source, guest_mapping())
        for kind, table in (("sites", "Sites"), ("guests", "Guest")):
            opens, refills, peaks, reads = [], [], [], []
            for _ in range(runs):
                o, r, peak = window(park, kind)
                opens.append(o)
                refills.append(r)
                peaks.append(peak)
                reads.append(sqlite_read(park, table))
            o, r, ref = statistics.median(opens), statistics.median(refills), statistics.median(reads)
            print("%-6s window open %.3f s (%.2f x sqlite3), refill %.3f s (%.2f x), sqlite3 %.3f s, peak %.1f MiB"
                  % (kind, o, o / ref, r, r / ref, ref, statistics.median(peaks) / 1024))
        print("over %d runs; targets: open < 1 s and <= 3 x sqlite3, refill as fast, guests' peak < 150 MB" % runs)


if __name__ == "__main__":
    main()
