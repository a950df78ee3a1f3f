#!/usr/bin/python3
"""Jet park benchmark: 100,000 guests (every guest slot mapped, Title Case) imported by tarnwick-cli
into an empty Jet 4 park, into an empty SQLite park and into a copy of the park Jackcess filled
(testdata's jackcess-park.mdb: 19,500 guests, nine more indexes, node pages with tail pointers),
alternately in the same run, with the guest
window opened offscreen on the 100,000 Jet rows (bench_editor_window) after each pair; then both
parks compacted, alternately (tarnwick-cli compact: the Jet park's tables packed row by row, the
SQLite park vacuumed). Reports the
medians over RUNS runs (environment variable, default 5), the import ratios against SQLite (aim: at
most 1.5 for the empty Jet park, 2 for Jackcess's), the imports' peak memory (aim for Jet: under
64 MB), the compactions' times and peak memory, and the window's opening time (aim: under 1 s)."""
import os
import shutil
import statistics
import subprocess
import sys

from benchlib import BIN, CLI, ROOT, bench_folder, fresh_park, guest_mapping

ROWS = 100000
JACKCESS_PARK = os.path.join(os.path.dirname(ROOT), "shared", "testdata", "access", "jackcess-park.mdb")


def park_for(work, kind, source):
    """A park of `kind` (sqlite, jet, or jackcess: a copy of Jackcess's filled park) holding `source`."""
    park = fresh_park(work, name=kind, source=source, park_format="sqlite" if kind == "sqlite" else "jet")
    if kind == "jackcess":
        target = os.path.join(park, "Park.MDB")
        shutil.copyfile(JACKCESS_PARK, target)
        os.chmod(target, 0o644)
    return park


def peak_of(command):
    """Runs `command`; (seconds, peak KiB of that child alone, its output)."""
    start = os.times().elapsed
    child = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    output = child.stdout.read().decode()
    _, status, usage = os.wait4(child.pid, 0)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: %s\n%s" % (" ".join(command), output[-500:]))
    return os.times().elapsed - start, usage.ru_maxrss, output


def main():
    runs = int(os.environ.get("RUNS", "5"))
    with bench_folder() as work:
        source = os.path.join(work, "guests.csv")
        subprocess.run([os.path.join(BIN, "tarnwick-sample-data"), "guests-csv", source, str(ROWS)], check=True)
        kinds = ["sqlite", "jet"] + (["jackcess"] if os.path.exists(JACKCESS_PARK) else [])
        if "jackcess" not in kinds:
            print("%s is missing: the run into Jackcess's park is left out" % JACKCESS_PARK)
        times = {kind: [] for kind in kinds}
        peaks = {kind: [] for kind in kinds}
        compactions = {"sqlite": [], "jet": []}
        compaction_peaks = {"sqlite": [], "jet": []}
        opens = []
        for _ in range(runs):
            for park_format in times:
                park = park_for(work, park_format, source)
                seconds, peak, output = peak_of(
                    [CLI, "--park", park, "import", "guests", "guests.csv", "--case", "title", "--backup", "no",
                     "--on-row-error", "stop"] + guest_mapping())
                if "%d of %d" % (ROWS, ROWS) not in output:
                    sys.exit("%s import failed: %s" % (park_format, output[-300:]))
                times[park_format].append(seconds)
                peaks[park_format].append(peak)
            window = subprocess.run([os.path.join(BIN, "bench_editor_window"), os.path.join(work, "jet"), "guests"],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout.split()
            if len(window) != 4 or int(window[3]) != ROWS:
                sys.exit("guest window run failed: %s" % window)
            opens.append(float(window[0]))
        # The compactions run after the imports, so that neither's writing back slows the other.
        for _ in range(runs):
            for park_format in compactions:
                seconds, peak, output = peak_of([CLI, "--park", os.path.join(work, park_format), "compact"])
                if "has been Compressed" not in output:
                    sys.exit("%s compaction failed: %s" % (park_format, output[-300:]))
                compactions[park_format].append(seconds)
                compaction_peaks[park_format].append(peak)
        sqlite, jet = statistics.median(times["sqlite"]), statistics.median(times["jet"])
        print("%d guests imported, medians of %d runs: SQLite park %.3f s, Jet park %.3f s, ratio %.2f (aim <= 1.5)"
              % (ROWS, runs, sqlite, jet, jet / sqlite))
        if "jackcess" in times:
            filled = statistics.median(times["jackcess"])
            print("  into Jackcess's park of 19,500 guests and nine more indexes: %.3f s, ratio %.2f (aim <= 2)"
                  % (filled, filled / sqlite))
        for park_format, values in peaks.items():
            print("  %-6s import peak memory %.1f MiB" % (park_format, statistics.median(values) / 1024))
        sqlite, jet = statistics.median(compactions["sqlite"]), statistics.median(compactions["jet"])
        print("the same parks compacted, medians: SQLite park %.3f s, Jet park %.3f s, ratio %.2f; peak memory "
              "SQLite %.1f MiB, Jet %.1f MiB" % (sqlite, jet, jet / sqlite, statistics.median(compaction_peaks["sqlite"])
                                                 / 1024, statistics.median(compaction_peaks["jet"]) / 1024))
        print("guest window on %d Jet rows opens in %.3f s (median; aim < 1 s)" % (ROWS, statistics.median(opens)))


if __name__ == "__main__":
    main()
