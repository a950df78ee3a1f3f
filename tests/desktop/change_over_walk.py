#!/usr/bin/env python3
"""The change-over walked with a real mouse under a real window manager.

Starts Xvfb (1366 x 768) with openbox, opens the desktop program on a new Jet park holding the
sample files, and clicks through it with xdotool as an operator would: an import that stops at a
refused row, the site and guest windows, the export window. Positions and stacking are read from
the X server and the window manager, not from the program. Checked on the way:
  - every window the walk opens lies wholly on the screen, frame included;
  - the main window comes back where it was after each window it opened;
  - the site and guest windows open in the middle of the screen;
  - during the import the Progress window is above the import window and below the message box;
  - a message box is wide enough for the title bar to show its whole title.
Exit status 77 (skipped) where Xvfb, openbox, xdotool, xprop or xwininfo is not installed.

Usage: change_over_walk.py TARNWICK TARNWICK_CLI
"""
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

SCREEN_W, SCREEN_H = 1366, 768
MAIN_TITLE = "Halvane Tarnwick"
TOOLS = ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo")


class WalkFailed(Exception):
    pass


def settled(read, timeout=5.0):
    """Reads until two reads a moment apart agree (a window manager places and stacks a window a
    little after it is mapped), and returns the last read."""
    end = time.monotonic() + timeout
    last = read()
    while time.monotonic() < end:
        time.sleep(0.25)
        now = read()
        if now == last:
            return now
        last = now
    return last


def wait_for(what, probe, timeout=20.0):
    """Polls `probe` until it returns something true, and returns that."""
    end = time.monotonic() + timeout
    while True:
        found = probe()
        if found:
            return found
        if time.monotonic() > end:
            raise WalkFailed(f"gave up waiting for {what}")
        time.sleep(0.1)


class Desktop:
    """An X server with a window manager, and what the X server says about its windows."""

    def __init__(self, work):
        # The server picks a free display itself and names it once it takes connections, so that
        # walks run at once never share one.
        ready, told = os.pipe()
        self.processes = [subprocess.Popen(
            ["Xvfb", "-displayfd", str(told), "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24", "-nolisten", "tcp"],
            pass_fds=(told,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)]
        os.close(told)
        try:
            with os.fdopen(ready) as pipe:
                if not select.select([pipe], [], [], 60)[0]:
                    raise WalkFailed("the X server did not start")
                number = pipe.readline().strip()
            if not number:
                raise WalkFailed("the X server did not start")
            self.display = ":" + number
            self.env = dict(os.environ, DISPLAY=self.display)
            self.env.pop("QT_QPA_PLATFORM", None)
            self.env.pop("WAYLAND_DISPLAY", None)
            self._start_manager(work)
        except BaseException:
            self.close()
            raise

    def _start_manager(self, work):
        self.log = os.path.join(work, "openbox.log")
        with open(self.log, "w") as log:
            self.processes.append(subprocess.Popen(["openbox", "--config-file", self._openbox_config(work)],
                                                   env=self.env, stdout=log, stderr=log))
        try:
            wait_for("openbox", lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.x(["xprop", "-root"], check=False),
                     timeout=60)
        except WalkFailed:
            with open(self.log) as log:
                raise WalkFailed(f"openbox did not start: {log.read().strip()}")

    @staticmethod
    def _openbox_config(work):
        # Openbox's own defaults, written out so that a user's configuration cannot change the walk.
        path = os.path.join(work, "rc.xml")
        with open(path, "w") as rc:
            rc.write('<?xml version="1.0"?><openbox_config xmlns="http://openbox.org/3.4/rc">'
                     '<placement><policy>Smart</policy><center>yes</center></placement>'
                     '<focus><focusNew>yes</focusNew></focus></openbox_config>')
        return path

    def x(self, command, check=True):
        done = subprocess.run(command, env=self.env, capture_output=True, text=True)
        if check and done.returncode != 0:
            raise WalkFailed(f"{' '.join(command)}: {done.stderr.strip()}")
        return done.stdout if done.returncode == 0 else ""

    def windows(self, title):
        return self.x(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], check=False).split()

    def frame(self, window):
        """The window's frame on the screen, title bar and borders included, as (x, y, w, h)."""
        # xwininfo, not xdotool's geometry, which counts a reparenting manager's frame twice.
        info = dict(line.strip().split(":", 1) for line in self.x(["xwininfo", "-id", window]).splitlines()
                    if ":" in line)
        x, y, w, h = (int(info[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))
        extents = self.x(["xprop", "-id", window, "_NET_FRAME_EXTENTS"]).split("=")[-1]
        left, right, top, bottom = (int(v) for v in extents.split(",")) if "," in extents else (0, 0, 0, 0)
        return (x - left, y - top, w + left + right, h + top + bottom)

    def stacking(self):
        """Titles of the mapped windows, bottom to top."""
        ids = self.x(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"]).split("#")[-1]
        titles = []
        for window in ids.replace(",", " ").split():
            if "IsViewable" in self.x(["xwininfo", "-id", window], check=False):
                titles.append(self.x(["xdotool", "getwindowname", window], check=False).strip())
        return titles

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()


class Program:
    """The desktop program on a park, driven through its control map with the real mouse."""

    def __init__(self, desktop, tarnwick, folder, work):
        self.desktop = desktop
        # Outside the park's folder, which the import window watches.
        self.map_path = os.path.join(work, "controls.map")
        env = dict(desktop.env, TARNWICK_CONTROL_MAP=self.map_path, HOME=work,
                   XDG_CONFIG_HOME=os.path.join(work, ".config"))
        self.log = os.path.join(work, "tarnwick.log")
        with open(self.log, "w") as log:
            self.process = subprocess.Popen([tarnwick], cwd=folder, env=env, stdout=log, stderr=log)

    def controls(self):
        try:
            with open(self.map_path) as lines:
                rows = [line.rstrip("\n").split("\t") for line in lines]
        except FileNotFoundError:
            return {}
        found = {}
        for row in rows:
            if row[0] == "control":
                found[(row[1], row[2])] = tuple(int(v) for v in row[3:7])
        return found

    def click(self, window, name, taken=True):
        """Moves the mouse to the middle of the control `name` of `window` and clicks it; with `taken`,
        waits until the program has taken the click."""
        wait_for(f"{name} in {window}", lambda: self.controls().get((window, name)))
        # Where the window manager has put the window by now, not where Qt first drew it.
        x, y, w, h = settled(lambda: self.controls().get((window, name)))
        since = time.time_ns()
        self.desktop.x(["xdotool", "mousemove", "--sync", str(x + w // 2), str(y + h // 2), "click", "1"])
        if taken:
            self.taken(since)

    def taken(self, since):
        """Waits until the program has written its control map twice after `since`: its event loop has
        run since then, and read what was sent to it before."""
        writes = set()

        def written_twice():
            try:
                stat = os.stat(self.map_path)
            except FileNotFoundError:
                return False
            if stat.st_mtime_ns > since:
                writes.add((stat.st_ino, stat.st_mtime_ns))
            return len(writes) >= 2
        wait_for("the program to take a click", written_twice)

    def answer(self, button):
        """Clicks `button` of the message box now showing; returns the box's frame."""
        box = wait_for("a message box", lambda: self.desktop.windows("Tarnwick"))[0]
        frame = self.desktop.frame(box)
        self.click("", button, taken=False)
        wait_for("the message box to close", lambda: box not in self.desktop.windows("Tarnwick"))
        return frame

    def ended(self):
        return self.process.poll() is not None


class Walk:
    def __init__(self, desktop, program):
        self.desktop, self.program = desktop, program
        self.faults = []

    def frame_of(self, title):
        window = wait_for(f"the window '{title}'", lambda: self.desktop.windows(title))[0]
        frame = settled(lambda: self.desktop.frame(window))
        x, y, w, h = frame
        if x < 0 or y < 0 or x + w > SCREEN_W or y + h > SCREEN_H:
            self.faults.append(f"'{title}' lies partly off the screen: {frame}")
        return frame

    def answer(self, button="OK"):
        x, y, w, h = self.program.answer(button)
        if w < 230:
            self.faults.append(f"a message box {w} pixels wide, too narrow for its title bar")

    def back_to_main(self, where, came_from):
        frame = self.frame_of(MAIN_TITLE)
        if frame[:2] != where[:2]:
            self.faults.append(f"the main window came back from {came_from} at {frame[:2]}, not {where[:2]}")

    def centred_on_screen(self, title):
        x, y, w, h = self.frame_of(title)
        off = abs(x + w / 2 - SCREEN_W / 2) + abs(y + h / 2 - SCREEN_H / 2)
        if off > 24:
            self.faults.append(f"'{title}' opened at {(x, y)}, not in the middle of the screen")

    def import_with_progress(self):
        """Imports a sites file whose row 1500 is refused: the row's question is asked while the
        Progress window shows, and the stacking is read then."""
        p = self.program
        p.click("frmReadEcel", "Option1_0")
        p.click("frmReadEcel", "File1/long-sites.csv")
        p.click("frmReadEcel", "cmdMatch_0")
        self.answer()  # how many columns Match Titles chose
        p.click("frmReadEcel", "Command1")
        self.answer("No")  # no backup before the import
        wait_for("the refused row's question", lambda: self.desktop.windows("Tarnwick"))
        order = settled(self.desktop.stacking)
        wanted = ["Read CSV or Excel Spreadsheet", "Progress", "Tarnwick"]
        shown = [title for title in order if title in wanted]
        if shown != wanted:
            self.faults.append(f"stacking during the import (bottom to top) was {shown}, not {wanted}")
        self.answer("No")  # stop at the refused row
        # Then every word the import has left, until neither a box nor the Progress window shows.
        end = time.monotonic() + 60
        while time.monotonic() < end:
            boxes, working = settled(lambda: (tuple(self.desktop.windows("Tarnwick")),
                                              bool(self.desktop.windows("Progress"))))
            if boxes:
                self.answer()
            elif not working:
                return
        raise WalkFailed("the import did not end")

    def run(self):
        p = self.program
        self.answer("No")  # no initial backup
        home = self.frame_of(MAIN_TITLE)

        p.click("frmDataImport1", "Command3")
        self.frame_of("Read CSV or Excel Spreadsheet")
        self.import_with_progress()
        p.click("frmReadEcel", "Command9")
        self.back_to_main(home, "the import window")

        # The main window's button, the window it opens (name, title), whether that opens in the middle
        # of the screen, the boxes it says first, its button back, and what the walk calls it.
        for button, name, title, centred, boxes, back, called in (
                ("Command1", "frmSiteDef", "Site Definition", True, 0, "Command6", "the site window"),
                ("Command2", "frmGuestDef", "Guest Definition", True, 1, "Command6", "the guest window"),
                ("Command4", "frmMSAcessExport", "MS Access Database Export", False, 0, "Command2",
                 "the export window")):
            p.click("frmDataImport1", button)
            for _ in range(boxes):
                self.answer()  # "There are no Guests Available."
            if centred:
                self.centred_on_screen(title)
            else:
                self.frame_of(title)
            p.click(name, back)
            self.back_to_main(home, called)



def long_sites(path, rows=3000, refused=1500):
    with open(path, "w", newline="") as out:
        out.write('"Number","Length","Width"\r\n')
        for row in range(1, rows + 1):
            out.write(f'"{row}","{"ten" if row == refused else 30 + row % 20}","12"\r\n')


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    tarnwick, cli = sys.argv[1:]
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        print(f"skipped: {', '.join(missing)} not installed (scripts/setup installs them)")
        return 77
    with tempfile.TemporaryDirectory() as work:
        park = os.path.join(work, "park")
        os.mkdir(park)
        # The program keeps path.txt beside itself when it runs from a folder of its own.
        shutil.copy(tarnwick, os.path.join(park, "tarnwick"))
        subprocess.run([cli, "init", "--format", "jet", park], check=True, capture_output=True)
        with open(os.path.join(park, "path.txt"), "w", newline="") as path_txt:
            path_txt.write(f"{park}\r\n{park}\r\n")
        long_sites(os.path.join(park, "long-sites.csv"))
        try:
            desktop = Desktop(work)
        except WalkFailed as failed:
            print("FAULT: no desktop to walk:", failed)
            return 1
        program = None
        walk = Walk(desktop, None)
        try:
            program = walk.program = Program(desktop, os.path.join(park, "tarnwick"), park, work)
            walk.run()
        except WalkFailed as failed:
            walk.faults.append(f"the walk stopped: {failed}")
            shot = os.environ.get("WALK_SCREENSHOT")
            if shot and shutil.which("import"):
                desktop.x(["import", "-window", "root", shot], check=False)
        finally:
            if program and program.ended():
                walk.faults.append(f"the program ended with status {program.process.returncode}: "
                                   + open(program.log).read().strip()[-2000:])
            elif program:
                program.process.kill()
                program.process.wait()
            desktop.close()
    faults = walk.faults
    for fault in faults:
        print("FAULT:", fault)
    print("walked:", "with faults" if faults else "every window where it belongs")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
