"""The program left open: untouched, minimized, or behind another program, it rests, and it wakes for a click, a
held key, a restore, an activation, a drop or a dialog as before."""
import glob
import os
import shutil
import subprocess
import time

from files_tests import OPEN, add_on_top, crlf, top_face
from harness import DESKTOP_SIZE, wait_file, WINE64, Suite, check, e2e, find_windows, first, geometry, launched, popup_menus, \
    save, wait_until
from window_tests import MAGENTA, MAGENTA_SETTINGS

OTHER_EXE = "e2e_other_program.exe"
FOREGROUND_TITLE = r"^Other program \(foreground\)$"
# Three red cubes in a column on the start cube's place: the view shows red where the start scene shows nothing.
COLUMN = "Blokkenveld\n1 1\n3\n100 100 100 ffff0000\n100 101 100 ffff0000\n100 102 100 ffff0000\ntex.bmp\n0\n"
SINGLE = "Blokkenveld\n1 1\n1\n100 100 100 ff0000ff\ntex.bmp\n0\n"


# ---- processes and processor time, from the Linux side

def processes(program, prefix=None):
    """The Linux processes of the program (by its folder), its Wine desktop (by name) and the prefix's Wine server.
    The prefix is the environment's when none is given."""
    prefix = prefix or os.environ.get("WINEPREFIX")
    found = {}
    folder = os.path.realpath(program.folder)
    for entry in glob.glob("/proc/[0-9]*"):
        try:
            with open(entry + "/cmdline", "rb") as f:
                argv = f.read().split(b"\0")
            with open(entry + "/environ", "rb") as f:
                environment = f.read().split(b"\0")
            cwd = os.path.realpath(os.readlink(entry + "/cwd"))
        except OSError:
            continue
        if prefix and f"WINEPREFIX={prefix}".encode() not in environment:
            continue
        pid = int(entry[len("/proc/"):])
        if argv[0].endswith(b"Blokkenveld.exe") and cwd == folder:
            found["program"] = pid
        elif os.path.basename(argv[0]).startswith(b"wineserver"):
            found["wineserver"] = pid
        elif b"explorer.exe" in argv[0].lower() and f"/desktop={program.desktop},".encode() in b" ".join(argv):
            found["desktop"] = pid
    return found


def cpu_seconds(pid):
    """Processor time of every thread of a process so far, in seconds (nanosecond counts of the scheduler)."""
    total = 0
    for path in glob.glob(f"/proc/{pid}/task/*/schedstat"):
        try:
            with open(path) as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total / 1e9


def wait_rest(program, what, span=1.0, most=0.01, timeout=15):
    """Waits until the program has used less than `most` seconds of processor time over `span` seconds: it sleeps
    until something happens. A program that looks for work every millisecond never gets there."""
    pid = wait_until(lambda: processes(program).get("program"), "the program's process")

    def resting():
        program._alive()
        before = cpu_seconds(pid)
        time.sleep(span)
        return cpu_seconds(pid) - before < most
    wait_until(resting, f"the program to rest {what}", timeout)


# ---- the other program and the system menu

class OtherProgram:
    """A second program in the program's Wine desktop (other_program.cpp), which takes the foreground."""

    def __init__(self, program, exe=None):
        self.program = program
        self.exe = exe or os.path.join(Suite.exe_dir, OTHER_EXE)
        self.window = None

    def _run(self, *args):
        shutil.copy(self.exe, self.program.folder)
        command = [WINE64, "explorer", f"/desktop={self.program.desktop},{DESKTOP_SIZE[0]}x{DESKTOP_SIZE[1]}",
                   OTHER_EXE, *args]
        return subprocess.Popen(command, cwd=self.program.folder, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)

    def activate(self, cursor_on_it=True):
        """Starts it, or brings its window back, and waits until that is the foreground window; then rests the cursor
        on it, or leaves the cursor where it is."""
        self._run("activate")
        self.window = wait_until(lambda: first(find_windows(FOREGROUND_TITLE)), "the other program in the foreground")
        if cursor_on_it:
            rect = geometry(self.window)
            subprocess.run(["xdotool", "mousemove", str(rect.left + rect.width // 2),
                            str(rect.top + rect.height // 2)], check=True, timeout=10)
        return self.window

    def close(self):
        """Closes its window as a user would; the program's window is active again after it."""
        self.program.wait_window(FOREGROUND_TITLE, "the other program")
        self.program.chord("alt+F4")
        self.program.wait_gone(self.window, "the other program")

    def drop(self, wine_path):
        """Drops a file on the program's main window, as a file manager does."""
        dropper = self._run("drop", wine_path)
        check(dropper.wait(timeout=30) == 0, f"the drop of {wine_path} was not posted (code {dropper.returncode})")

    def paste(self, name):
        """The clipboard's text, as another program's paste reads it, written into a file of the program's folder
        and read back; the start returns before the other program has run."""
        path = self.program.path(name)
        if os.path.exists(path):
            os.remove(path)
        self._run("paste", self.program.wine_path(name)).wait(timeout=30)
        wait_file(path, "the text another program pasted")
        with open(path, encoding="utf-8", newline="") as f:
            return f.read()

    def foreground(self):
        """Whether its window is the foreground window now."""
        return bool(find_windows(FOREGROUND_TITLE))


def system_menu(program, key, what):
    """Opens the main window's system menu (Alt+Space) and picks an item by its access key."""
    program.wait_main_focus()
    program.chord("alt+space")
    wait_until(popup_menus, "the system menu")
    program.key(key)
    wait_until(lambda: not popup_menus(), f"the system menu to close after {what}")


def minimize(program):
    """Minimizes the main window through its system menu, the way that reaches a window in Wine's desktop."""
    system_menu(program, "n", "Minimize")
    # Minimized, the window is a short title bar at the foot of the desktop, with no client area.
    wait_until(lambda: program.client_rect() is None, "the main window to be minimized")


# ---- the tests

@e2e
def minimized_the_program_rests_and_restored_it_edits_again():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        add_on_top(program, shot)
        minimize(program)
        wait_rest(program, "while minimized")
        system_menu(program, "r", "Restore")
        wait_until(program.client_rect, "the client area after the restore")
        restored = program.wait_shot(lambda s: s.pixel(*top_face(shot, 2)) != MAGENTA,
                                     "the two cubes after the restore")
        check(restored.pixel(*top_face(shot, 3)) == MAGENTA, "a cube too many after the restore")
        add_on_top(program, shot, 2)
        # A menu works as before: hiding the paint window shows the background where it was.
        program.menu("alt+v", "p", "the paint window")
        program.wait_shot(lambda s: s.pixel(80, 200) == MAGENTA, "the view without the paint window")


@e2e
def behind_another_program_it_rests_and_the_activating_click_is_not_an_edit():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        other = OtherProgram(program)
        other.activate()
        wait_rest(program, "behind the other program")
        # The cursor was outside the view, so the click that brings the window back edits nothing, and however long
        # the program slept, the first frames move nothing; the next click adds.
        program.click(*top_face(shot, 1))
        program.wait_main_focus()
        check(program.wait_still().data == shot.data, "the view changed when the activating click brought it back")
        add_on_top(program, shot)
        # Back from another program by closing it: no click, and the program edits at once.
        other.activate()
        wait_rest(program, "behind the other program, a second time")
        other.close()
        program.wait_main_focus()
        add_on_top(program, shot, 2)


@e2e
def a_drop_behind_another_program_is_drawn_at_once_and_a_dialog_wakes_the_program():
    with launched(dict(MAGENTA_SETTINGS), before_start=lambda p: p.write("column.bvo", crlf(COLUMN))) \
            as (program, shot):
        # The cursor stays over the view, where it might still leave unseen: the program rests all the same.
        program.move(400, 300)
        other = OtherProgram(program)
        other.activate(cursor_on_it=False)
        wait_rest(program, "behind the other program with the cursor over the view")
        other.drop(program.wine_path("column.bvo"))
        program.wait_title("Blokkenveld - " + program.wine_path("column.bvo"))
        dropped = program.wait_shot(lambda s: s.pixel(*top_face(shot, 3)) != MAGENTA, "the dropped column drawn")
        save(dropped, "dropped_behind_another_program")
        check(other.foreground(), "the drop took the foreground from the other program")
        wait_rest(program, "after the drop")
        other.close()
        program.wait_main_focus()
        add_on_top(program, shot, 3)
        # Opened through the dialog: while it is open the main window is inactive; the scene is drawn after it
        # without any other input.
        program.write("single.bvo", crlf(SINGLE))
        program.menu("alt+f", "o", "開く")
        program.answer("^確認$", "n", "the save question")
        program.file_dialog(OPEN, program.wine_path("single.bvo"), "the open dialog")
        program.wait_title("Blokkenveld - " + program.wine_path("single.bvo"))
        program.wait_shot(lambda s: s.pixel(*top_face(shot, 2)) == MAGENTA and s.pixel(*top_face(shot, 1)) != MAGENTA,
                          "the opened single cube drawn")


@e2e
def focused_and_untouched_the_program_rests_and_wakes_for_a_click_and_a_held_key():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        program.move(400, 300)  # over the view, where a frame would have something to look at
        wait_rest(program, "focused and untouched")
        pids = processes(program)
        before = {role: cpu_seconds(pid) for role, pid in pids.items()}
        time.sleep(5)
        used = {role: cpu_seconds(pid) - before[role] for role, pid in pids.items()}
        # A frame takes the program a few milliseconds of processor time: five seconds at rest hold a few at most.
        check(used["program"] < 0.03 and used["program"] + used["wineserver"] < 0.1,
              f"processor time over five seconds at rest: {used}")
        # The click after the rest adds its cube at once.
        add_on_top(program, shot)
        # Without the keyboard's own repeats, only the held key itself keeps the frames coming: the view goes on
        # turning for as long as Left is held, and stands still once it is let go.
        subprocess.run(["xset", "r", "off"], check=True, timeout=10)
        try:
            subprocess.run(["xdotool", "keydown", "Left"], check=True, timeout=10)
            try:
                turning = [program.shot()]
                for _ in range(3):
                    time.sleep(0.3)
                    turning.append(program.shot())
            finally:
                subprocess.run(["xdotool", "keyup", "Left"], check=True, timeout=10)
        finally:
            subprocess.run(["xset", "r", "on"], check=True, timeout=10)
        check(all(a.data != b.data for a, b in zip(turning, turning[1:])),
              "the view stopped turning while Left was held")
        still = program.wait_still()
        wait_rest(program, "after the key was let go")
        check(program.shot().data == still.data, "the view moved after the key was let go")
