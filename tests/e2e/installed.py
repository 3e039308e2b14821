"""The program as a user has it: started from the folder it was unpacked into, under a chosen locale.

The program keeps paths in the system's ANSI code page. Under Wine that code page follows the locale Wine
is started with (LC_ALL or LANG): ja_JP.UTF-8 gives code page 932, in which Japanese folder names can be
written; the C library must know that locale too, or Wine cannot even map the folder's UTF-8 name.
"""
import os
import subprocess

from harness import DESKTOP_SIZE, WINE64, Program, Suite, TestFailure, ini_text, keep_failure_picture

JAPANESE_LOCALE = "ja_JP.UTF-8"


def locale_installed(name):
    """Whether the C library knows the locale (locale -a spells UTF-8 as utf8)."""
    result = subprocess.run(["locale", "-a"], capture_output=True, text=True, timeout=10)
    wanted = name.lower().replace("utf-8", "utf8")
    return any(line.strip().lower() == wanted for line in result.stdout.splitlines())


def windows_path(path):
    """The path as the program sees it: drive C: inside the Wine prefix, Z: for the rest of the machine."""
    drive_c = os.path.join(os.environ.get("WINEPREFIX", ""), "drive_c") + os.sep
    if os.environ.get("WINEPREFIX") and os.path.abspath(path).startswith(drive_c):
        return "C:\\" + os.path.abspath(path)[len(drive_c):].replace("/", "\\")
    return "Z:" + path.replace("/", "\\")


class InstalledProgram(Program):
    """A run of Blokkenveld.exe in a folder that already holds it, started by its full path as Explorer
    starts it, in a Wine session with the given locale. The folder is the caller's to remove."""

    def __init__(self, folder, locale=None, settings=None):
        Program.counter += 1
        self.settings = dict(settings or {})
        self.folder = folder
        self.locale = locale
        if settings is not None:
            with open(self.ini_path, "w", newline="") as f:
                f.write(ini_text(settings))
        self.process = None
        self.main_window = None
        self.desktop = f"bv{os.getpid()}x{Program.counter}"

    def environment(self):
        env = dict(os.environ)
        if self.locale:
            for name in ("LC_ALL", "LANG"):
                env[name] = self.locale
        return env

    def launch(self, *args):
        """Starts the program and returns at once, before any window of it shows."""
        exe = windows_path(os.path.join(self.folder, "Blokkenveld.exe"))
        cmd = [WINE64, "explorer", f"/desktop={self.desktop},{DESKTOP_SIZE[0]}x{DESKTOP_SIZE[1]}", exe, *args]
        self.process = subprocess.Popen(cmd, cwd=os.path.expanduser("~"), env=self.environment(),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)

    def cleanup(self):
        pass


class running:
    """An InstalledProgram started and shown; ended however the block goes, its folder left in place."""

    def __init__(self, program, *args, ready=None):
        self.program, self.args, self.ready = program, args, ready

    def __enter__(self):
        try:
            shot = self.program.start(*self.args, ready=self.ready)
        except BaseException:
            self.program.stop()
            raise
        return self.program, shot

    def __exit__(self, kind, error, trace):
        if kind is not None:
            keep_failure_picture()
        self.program.stop()
        return False


def require_japanese_locale():
    if not locale_installed(JAPANESE_LOCALE):
        raise TestFailure(f"the C library does not know {JAPANESE_LOCALE}: tools/install_deps.sh makes it")
