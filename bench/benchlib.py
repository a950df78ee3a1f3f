"""What the import benchmarks share: where the programs are, the sample guest file's titles and the
guest slots they map to, and a new park for each run."""
import contextlib
import os
import shutil
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BIN = os.path.join(ROOT, "build", "bin")
CLI = os.path.join(BIN, "tarnwick-cli")
TITLES = ["First", "Last", "Street", "Unit", "Town", "State", "Zip", "Phone", "Mobile", "Email", "Arrive",
          "Depart", "Vehicle", "Plate", "DL", "People", "Pets", "Notes"]
SLOTS = ["FirstName", "LastName", "Address1", "Address2", "City", "State", "Zip", "Phone", "Cell", "Email",
         "Arrival", "Departure", "Vehicle", "LicensePlate", "DLNumber", "NoPeople", "Pets", "Notes"]


def guest_mapping():
    """The --map options that match every guest slot to its title."""
    options = []
    for slot, title in zip(SLOTS, TITLES):
        options += ["--map", "%s=%s" % (slot, title)]
    return options


def fresh_park(work, name="park", source=None, park_format="sqlite"):
    """An empty park (of `park_format`, jet or sqlite) in work/name, with a copy of `source` in it when given."""
    folder = os.path.join(work, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    subprocess.run([CLI, "init", folder, "--format", park_format], check=True, stdout=subprocess.DEVNULL)
    if source:
        shutil.copy(source, folder)
    return folder


def timed(command, **kwargs):
    """Seconds a command takes; its output goes nowhere unless `stdout` is given."""
    kwargs.setdefault("stdout", subprocess.DEVNULL)
    start = time.monotonic()
    subprocess.run(command, check=False, **kwargs)
    return time.monotonic() - start


@contextlib.contextmanager
def bench_folder():
    """Builds the programs, then yields a temporary folder removed afterwards."""
    subprocess.run([os.path.join(ROOT, "scripts", "build")], check=True, stdout=subprocess.DEVNULL)
    work = tempfile.mkdtemp(prefix="tarnwick-bench-")
    try:
        yield work
    finally:
        shutil.rmtree(work, ignore_errors=True)
