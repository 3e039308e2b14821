"""Drives the real Blokkenveld.exe under Wine on a virtual X display.

Each test gets a fresh program folder (the settings file lives beside the exe), its own Wine
virtual desktop, and every process it starts is ended by its process group when it is done.
"""
import os
import shutil
import signal
import subprocess
import tempfile
import time

WINE64 = os.environ.get("WINE64", "/usr/lib/wine/wine64")
DESKTOP_SIZE = (1280, 1024)
STATUS_STRIP = 18


class TestFailure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


class Screen:
    """A picture of the whole virtual display, pixel by pixel."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def grab(cls):
        ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], capture_output=True, timeout=30,
                             check=True).stdout
        # P6 header: magic, width, height, maxval, each separated by white space.
        fields, pos = [], 0
        while len(fields) < 4:
            while ppm[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[pos:end])
            pos = end
        pos += 1
        return cls(int(fields[1]), int(fields[2]), ppm[pos:])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def save_png(self, path):
        subprocess.run(["convert", "-size", f"{self.width}x{self.height}", "-depth", "8", "rgb:-", path],
                       input=self.data, check=True, timeout=30)

    def longest_run(self, colour, row=None, column=None):
        """Longest run of exactly colour along a row or column: (start, length)."""
        best, start, length = (0, 0), 0, 0
        count = self.width if row is not None else self.height
        for i in range(count):
            p = self.pixel(i, row) if row is not None else self.pixel(column, i)
            if p == colour:
                if length == 0:
                    start = i
                length += 1
                if length > best[1]:
                    best = (start, length)
            else:
                length = 0
        return best

    def find_client(self, background, status_shown=True, edge="right"):
        """The client area as (left, top, width, height), found from the background colour: the
        widest row of it gives left and right, the column at one edge gives top and bottom."""
        best_row, best = 0, (0, 0)
        for y in range(0, self.height, 2):
            run = self.longest_run(background, row=y)
            if run[1] > best[1]:
                best_row, best = y, run
        check(best[1] > 0, "no background-coloured area on the screen")
        left, width = best
        top, height = self.longest_run(background, column=left + width - 1 if edge == "right" else left)
        if status_shown:
            height += STATUS_STRIP
        return left, top, width, height

    def count(self, colour, box, tolerance=0):
        left, top, right, bottom = box
        n = 0
        for y in range(top, bottom):
            for x in range(left, right):
                p = self.pixel(x, y)
                if all(abs(p[i] - colour[i]) <= tolerance for i in range(3)):
                    n += 1
        return n


def ini_text(values):
    lines = ["[SYSTEM]"] + [f"{k}={v}" for k, v in values.items()]
    return "\r\n".join(lines) + "\r\n"


def read_ini(path):
    """The settings file as an ordered list of (key, value) of section SYSTEM."""
    if not os.path.exists(path):
        return None
    items, section = [], None
    with open(path, "rb") as f:
        for raw in f.read().decode("latin-1").splitlines():
            line = raw.strip()
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1]
            elif "=" in line and section == "SYSTEM":
                key, value = line.split("=", 1)
                items.append((key, value))
    return items


class Program:
    """One run of the program in its own folder and its own Wine virtual desktop."""

    counter = 0

    def __init__(self, exe_dir, settings=None, keep_defaults=True):
        Program.counter += 1
        self.folder = tempfile.mkdtemp(prefix="blokkenveld-e2e-")
        shutil.copy(os.path.join(exe_dir, "Blokkenveld.exe"), self.folder)
        if keep_defaults:
            for name in ("tex.bmp", "palette.bvp"):
                src = os.path.join(exe_dir, name)
                if os.path.exists(src):
                    shutil.copy(src, self.folder)
        if settings is not None:
            with open(self.ini_path, "w", newline="") as f:
                f.write(ini_text(settings))
        self.process = None
        self.desktop = f"bv{os.getpid()}x{Program.counter}"

    @property
    def ini_path(self):
        return os.path.join(self.folder, "Blokkenveld.ini")

    def start(self, *args, ready=None, timeout=40):
        """Starts the program and waits until ready(screen) holds (by default: the first drawn frame)."""
        cmd = [WINE64, "explorer", f"/desktop={self.desktop},{DESKTOP_SIZE[0]}x{DESKTOP_SIZE[1]}",
               "Blokkenveld.exe", *args]
        self.process = subprocess.Popen(cmd, cwd=self.folder, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        deadline = time.time() + timeout
        while time.time() < deadline:
            time.sleep(1.0)
            screen = Screen.grab()
            if ready is None or ready(screen):
                time.sleep(1.0)  # a few more frames under the software rasteriser
                return Screen.grab()
        raise TestFailure("the program did not show its window in time")

    def key(self, *keys, pause=0.4):
        for k in keys:
            subprocess.run(["xdotool", "keydown", k], check=True, timeout=10)
            time.sleep(0.12)  # input is polled: hold long enough for a frame to see it
            subprocess.run(["xdotool", "keyup", k], check=True, timeout=10)
            time.sleep(pause)

    def chord(self, combo, pause=0.6):
        subprocess.run(["xdotool", "key", "--delay", "120", combo], check=True, timeout=10)
        time.sleep(pause)

    def move(self, x, y):
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], check=True, timeout=10)
        time.sleep(0.2)

    def click(self, x, y, button=1):
        self.move(x, y)
        subprocess.run(["xdotool", "mousedown", str(button)], check=True, timeout=10)
        time.sleep(0.12)
        subprocess.run(["xdotool", "mouseup", str(button)], check=True, timeout=10)
        time.sleep(0.4)

    def close(self, timeout=20):
        """Closes the main window as a user would (Alt+F4) and waits for the program to end."""
        self.chord("alt+F4", pause=0.2)
        return self.wait_exit(timeout)

    def wait_exit(self, timeout=20):
        """The virtual desktop ends with the program's last window."""
        try:
            self.process.wait(timeout=timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        """Ends everything this run started: its process group, then the prefix's Wine server."""
        if self.process is not None:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        subprocess.run(["wineserver", "-k"], env=os.environ, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=os.environ, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def cleanup(self):
        shutil.rmtree(self.folder, ignore_errors=True)
