"""Drives the real Blokkenveld.exe under Wine on a virtual X display.

Each test gets a fresh program folder (the settings file lives beside the exe), its own Wine
virtual desktop, and every process it starts is ended by its process group when it is done.

Nothing here trusts the screen alone: every wait is for a sign that only the running program can
give (its window, its client area, a drawn frame inside that area, a dialog, a file it wrote), and
every wait is bounded and says what it waited for when it gives up.
"""
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

WINE64 = os.environ.get("WINE64", "/usr/lib/wine/wine64")
DESKTOP_SIZE = (1280, 1024)
STATUS_STRIP = 18
MAIN_TITLE = r"^Blokkenveld( - .*)?$"
POLL = 0.15


class TestFailure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def wait_until(condition, what, timeout=20.0):
    """Polls condition() until it returns something true and returns that; fails naming what it waited for."""
    deadline = time.time() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.time() >= deadline:
            raise TestFailure(f"gave up after {timeout:.0f} s waiting for {what}")
        time.sleep(POLL)


def run(args, timeout=10):
    return subprocess.run(args, capture_output=True, timeout=timeout)


# ---- X windows -------------------------------------------------------------------------------

class Rect:
    def __init__(self, left, top, width, height):
        self.left, self.top, self.width, self.height = left, top, width, height

    def __repr__(self):
        return f"{self.width}x{self.height}+{self.left}+{self.top}"

    def __eq__(self, other):
        return isinstance(other, Rect) and repr(self) == repr(other)


def find_windows(title_pattern):
    """Ids of the mapped X windows whose title matches the regular expression."""
    result = run(["xdotool", "search", "--onlyvisible", "--name", title_pattern])
    return [int(line) for line in result.stdout.split()] if result.returncode == 0 else []


def window_name(window):
    result = run(["xdotool", "getwindowname", str(window)])
    return result.stdout.decode("utf-8", "replace").rstrip("\n") if result.returncode == 0 else None


def geometry(window):
    """The window's rectangle on the screen, or None when it is gone or unmapped."""
    result = run(["xwininfo", "-id", str(window)])
    if result.returncode != 0:
        return None
    text = result.stdout.decode("utf-8", "replace")
    fields = dict(re.findall(r"^\s*([A-Za-z -]+):\s+(\S+)", text, re.M))
    if fields.get("Map State") != "IsViewable":
        return None
    return Rect(int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                int(fields["Width"]), int(fields["Height"]))


def children(window):
    result = run(["xwininfo", "-children", "-id", str(window)])
    if result.returncode != 0:
        return []
    return [int(m, 16) for m in re.findall(r"^\s+(0x[0-9a-f]+)", result.stdout.decode("utf-8", "replace"), re.M)]


def popup_menus():
    """Open menus: unnamed override-redirect windows of some size (the desktop's own windows are named)."""
    found = []
    result = run(["xdotool", "search", "--onlyvisible", "--name", ""])
    for window in (int(w) for w in result.stdout.split()) if result.returncode == 0 else []:
        info = run(["xwininfo", "-id", str(window)]).stdout.decode("utf-8", "replace")
        if "Override Redirect State: yes" in info and "(has no name)" in info:
            size = re.search(r"Width: (\d+)\s+Height: (\d+)", info)
            if size and int(size.group(1)) > 8 and int(size.group(2)) > 8:
                found.append(window)
    return found


def focused_window():
    result = run(["xdotool", "getwindowfocus"])
    return int(result.stdout) if result.returncode == 0 and result.stdout.strip() else None


# ---- pictures --------------------------------------------------------------------------------

def parse_ppm(ppm):
    """A binary PPM (P6, 8 bits) as (width, height, RGB bytes)."""
    # The header: magic, width, height, maxval, each followed by white space.
    fields, pos = [], 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[pos:end])
        pos = end
    return int(fields[1]), int(fields[2]), ppm[pos + 1:]


class Screen:
    """A picture of part of the virtual display; pixel coordinates are relative to its own origin."""

    def __init__(self, width, height, data, origin=(0, 0)):
        self.width, self.height, self.data, self.origin = width, height, data, origin

    @classmethod
    def grab(cls, rect=None):
        args = ["import", "-window", "root"]
        if rect is not None:
            args += ["-crop", f"{rect.width}x{rect.height}+{rect.left}+{rect.top}"]
        ppm = subprocess.run(args + ["-depth", "8", "ppm:-"], capture_output=True, timeout=30, check=True).stdout
        origin = (rect.left, rect.top) if rect is not None else (0, 0)
        return cls(*parse_ppm(ppm), origin)

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

    def count(self, colour, box=None, tolerance=0, step=1):
        """Pixels of colour within box (left, top, right, bottom), every step-th pixel each way."""
        left, top, right, bottom = box if box is not None else (0, 0, self.width, self.height)
        n = 0
        for y in range(top, bottom, step):
            for x in range(left, right, step):
                p = self.pixel(x, y)
                if all(abs(p[i] - colour[i]) <= tolerance for i in range(3)):
                    n += 1
        return n

    def fraction(self, colour, step=8):
        """Share of a sparse sample of the picture that shows colour exactly."""
        samples = len(range(0, self.width, step)) * len(range(0, self.height, step))
        return self.count(colour, step=step) / max(1, samples)


# ---- settings files --------------------------------------------------------------------------

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


def setting_colour(settings, prefix):
    """The colour a triple of settings keys gives on the screen: the low 8 bits of each, 0 when missing."""
    settings = settings or {}
    return tuple(int(settings.get(f"{prefix}_{c}", 0)) % 256 for c in "RGB")


# ---- the program -----------------------------------------------------------------------------

class Program:
    """One run of the program in its own folder and its own Wine virtual desktop."""

    counter = 0

    def __init__(self, exe_dir, settings=None, keep_defaults=True):
        Program.counter += 1
        self.settings = dict(settings or {})
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
        self.main_window = None
        self.desktop = f"bv{os.getpid()}x{Program.counter}"

    @property
    def ini_path(self):
        return os.path.join(self.folder, "Blokkenveld.ini")

    @property
    def background(self):
        return setting_colour(self.settings, "BGCOLOR")

    @property
    def status_shown(self):
        return int(self.settings.get("SWIN_SHOW", 1)) != 0

    def launch(self, *args):
        """Starts the program and returns at once, before any window of it shows."""
        cmd = [WINE64, "explorer", f"/desktop={self.desktop},{DESKTOP_SIZE[0]}x{DESKTOP_SIZE[1]}",
               "Blokkenveld.exe", *args]
        self.process = subprocess.Popen(cmd, cwd=self.folder, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)

    def start(self, *args, ready=None, timeout=60):
        """Starts the program, waits for its main window, its client area and a first drawn frame in it
        (ready(shot) when given, else first_frame), and returns that frame as a picture of the client area."""
        self.launch(*args)
        deadline = time.time() + timeout

        def remaining():
            return max(1.0, deadline - time.time())

        self.main_window = wait_until(lambda: self._alive() and first(find_windows(MAIN_TITLE)),
                                      "the program's main window", remaining())
        wait_until(self.client_rect, "the main window's client area", remaining())
        return self.wait_shot(ready or self.first_frame, "the first frame drawn in the client area", remaining())

    def _alive(self):
        check(self.process.poll() is None, f"the program ended early with code {self.process.returncode}")
        return True

    def client_rect(self):
        """The client area on the screen: the drawing surface Wine keeps inside the main window."""
        best = None
        for child in children(self.main_window):
            rect = geometry(child)
            if rect is not None and (best is None or rect.width * rect.height > best.width * best.height):
                best = rect
        return best if best is not None and best.width > 1 and best.height > 1 else None

    def first_frame(self, shot):
        """A frame is on the client area: mostly the background colour, the start cube at the centre, the
        status strip along the bottom when it is shown. The backdrop before it is plain white."""
        bg = self.background
        if shot.fraction(bg) < 0.4 or shot.pixel(shot.width // 2, shot.height // 2) == bg:
            return False
        return not self.status_shown or shot.pixel(shot.width - 40, shot.height - 2) not in (bg, (255, 255, 255))

    def shot(self):
        """A picture of the client area as it is now."""
        rect = wait_until(self.client_rect, "the main window's client area", 10)
        return Screen.grab(rect)

    def wait_shot(self, condition, what, timeout=15):
        """Pictures of the client area until condition(shot) holds; returns that picture."""
        found = []

        def attempt():
            self._alive()
            shot = self.shot()
            if condition(shot):
                found.append(shot)
                return True
            return False
        wait_until(attempt, what, timeout)
        return found[0]

    def wait_still(self, timeout=15):
        """Waits until two pictures in a row are the same: nothing on the view is moving; returns the last."""
        last = [None]

        def same(shot):
            settled = last[0] is not None and shot.data == last[0]
            last[0] = shot.data
            return settled
        return self.wait_shot(same, "the view to stand still", timeout)

    # ---- windows and focus

    def wait_window(self, title_pattern, what, timeout=30, give_focus=True):
        """Waits until a window with this title exists and has the keyboard focus; returns its id. A window
        that has appeared but not been given the focus within a few seconds is given it."""
        shown = {}

        def focused():
            self._alive()
            window = focused_window()
            if window and re.search(title_pattern, window_name(window) or ""):
                return window
            allowed = give_focus() if callable(give_focus) else give_focus
            for candidate in find_windows(title_pattern) if allowed else []:
                first_seen = shown.setdefault(candidate, time.time())
                if time.time() - first_seen > 3:
                    run(["xdotool", "windowfocus", str(candidate)])
            return None
        return wait_until(focused, f"{what} (a focused window titled /{title_pattern}/)", timeout)

    def wait_gone(self, window, what, timeout=15):
        wait_until(lambda: geometry(window) is None, f"{what} to close", timeout)

    def menu(self, combo, item_key, what):
        """Opens a menu of the main window with its access key, waits for it, then picks an item."""
        self.wait_main_focus()
        self.chord(combo)
        wait_until(popup_menus, f"the menu opened by {combo}")
        self.key(item_key)
        wait_until(lambda: not popup_menus(), f"the menu to close after choosing {what}")

    def wait_main_focus(self, timeout=15):
        """Waits for the main window to have the focus. X does not always hand it back when a dialog closes, so it
        is given the focus, but only while no other window of the program (a dialog, a box) is open."""
        def dialogs():
            named = [window_name(w) or "" for w in find_windows(".+")]
            return [n for n in named
                    if not re.search(MAIN_TITLE, n) and "Wine desktop" not in n and n != "Default IME"]
        return self.wait_window(MAIN_TITLE, "the main window", timeout, give_focus=lambda: not dialogs())

    def title(self):
        return window_name(self.main_window)

    def wait_title(self, expected, timeout=15):
        wait_until(lambda: self.title() == expected, f"the window title {expected!r} (now {self.title()!r})",
                   timeout)

    # ---- input, always through XTEST: synthetic window events are ignored

    def key(self, *keys, pause=0.15):
        for k in keys:
            subprocess.run(["xdotool", "keydown", k], check=True, timeout=10)
            time.sleep(0.12)  # input is polled: hold long enough for a frame to see it
            subprocess.run(["xdotool", "keyup", k], check=True, timeout=10)
            time.sleep(pause)

    def chord(self, combo, pause=0.15):
        subprocess.run(["xdotool", "key", "--delay", "120", combo], check=True, timeout=10)
        time.sleep(pause)

    def type_text(self, text):
        subprocess.run(["xdotool", "type", "--delay", "40", text], check=True, timeout=60)

    def move(self, x, y):
        """Moves the pointer to (x, y) of the client area."""
        rect = self.client_rect()
        subprocess.run(["xdotool", "mousemove", "--", str(rect.left + x), str(rect.top + y)], check=True, timeout=10)
        time.sleep(0.1)

    def click(self, x, y, button=1, hold=0.12):
        """Presses and releases a button at (x, y) of the client area, held long enough for a poll to see it."""
        self.move(x, y)
        subprocess.run(["xdotool", "mousedown", str(button)], check=True, timeout=10)
        time.sleep(hold)
        subprocess.run(["xdotool", "mouseup", str(button)], check=True, timeout=10)
        time.sleep(0.1)

    def button(self, button, down):
        subprocess.run(["xdotool", "mousedown" if down else "mouseup", str(button)], check=True, timeout=10)

    # ---- files and dialogs

    def path(self, name):
        return os.path.join(self.folder, name)

    def wine_path(self, name):
        """The path of a file in the program folder as the program sees it."""
        return "Z:" + self.path(name).replace("/", "\\")

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode("latin-1"))
        return self.path(name)

    def file_dialog(self, title_pattern, wine_path, what):
        """Waits for a file dialog, types a path over the proposed name and confirms it."""
        dialog = self.wait_window(title_pattern, what)
        self.key("End")
        self.chord("shift+Home")
        self.type_text(wine_path)
        self.key("Return")
        self.wait_gone(dialog, what)

    def answer(self, title_pattern, key, what):
        """Waits for a message box and answers it with a key."""
        box = self.wait_window(title_pattern, what)
        self.key(key)
        self.wait_gone(box, what)

    # ---- the end

    def close(self, timeout=20):
        """Closes the main window as a user would (Alt+F4) and waits for the program to end."""
        self.wait_main_focus()
        self.chord("alt+F4")
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
        end_wine()

    def cleanup(self):
        shutil.rmtree(self.folder, ignore_errors=True)


def first(items):
    return items[0] if items else None


def end_wine():
    """Ends every Wine process of the prefix and waits until its server is gone."""
    for args in (["wineserver", "-k"], ["wineserver", "-w"]):
        try:
            subprocess.run(args, env=os.environ, timeout=30, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            pass


def wait_file(path, what, timeout=15):
    """Waits until a file exists and has kept the same size and time for a moment: written and closed."""
    last = []

    def settled():
        try:
            st = os.stat(path)
        except FileNotFoundError:
            return False
        sig = (st.st_size, st.st_mtime_ns)
        if last and last[0] == sig:
            return True
        last[:] = [sig]
        return False
    wait_until(settled, what, timeout)


class VirtualDisplay:
    """An Xvfb server on a display number it picks itself; ended with the context."""

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{DESKTOP_SIZE[0]}x{DESKTOP_SIZE[1]}x24",
             "-nolisten", "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        check(number.strip().isdigit(), "Xvfb did not report a display number")
        self.display = f":{number.decode().strip()}"
        os.environ["DISPLAY"] = self.display
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        return False


# ---- the suite -------------------------------------------------------------------------------

TESTS = []


class Suite:
    """Where the runner puts the program folder and the folder for pictures the tests keep."""
    exe_dir = None
    shots_dir = None
    label = ""  # tells the pictures of parallel runners apart


def e2e(fn):
    TESTS.append(fn)
    return fn


def save(shot, name):
    shot.save_png(os.path.join(Suite.shots_dir, name + ".png"))


class launched:
    """The program started in a fresh folder and shown; ended and removed however the test goes."""

    def __init__(self, settings=None, *args, ready=None, keep_defaults=True, before_start=None):
        self.program = Program(Suite.exe_dir, settings, keep_defaults)
        self.args, self.ready, self.before_start = args, ready, before_start

    def __enter__(self):
        try:
            if self.before_start is not None:
                self.before_start(self.program)
            # Arguments may name files in the program's folder, which exists only now.
            args = [a(self.program) if callable(a) else a for a in self.args]
            shot = self.program.start(*args, ready=self.ready)
        except BaseException as error:
            self.__exit__(type(error), error, None)
            raise
        return self.program, shot

    def __exit__(self, kind, error, trace):
        if kind is not None:
            keep_failure_picture()
        self.program.stop()
        self.program.cleanup()
        return False


def keep_failure_picture():
    """The display as a failure left it, for the reader of the report."""
    if Suite.shots_dir is None:
        return
    try:
        Screen.grab().save_png(os.path.join(Suite.shots_dir, f"failed-{Suite.label}{Program.counter}.png"))
    except Exception:
        pass


def panel_bitmap():
    """The panel artwork as drawn at build time: pixel(x, y) -> (r, g, b)."""
    import struct
    with open(os.path.join(Suite.exe_dir, "artwork", "panel.bmp"), "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3

    def pixel(x, y):
        i = offset + (height - 1 - y) * stride + x * 3
        return (data[i + 2], data[i + 1], data[i])
    return pixel
