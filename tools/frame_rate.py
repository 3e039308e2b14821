#!/usr/bin/env python3
"""Frame time and processor use of the real program under Wine, in one run.

Usage: tools/frame_rate.py [SCENE.bvo|SCENE.bmp] [--full-block] [--seconds 10] [--exe-dir build/windows]

Opens the scene (the start scene when none is named; --full-block makes 10,000 cubes) in the real program on
a virtual X display and measures five phases of the given length each: the program active and untouched; the
same with the Left key held; with a right-button drag going on; another program's window active (a second
program in the same Wine desktop takes the foreground, the cursor rests on it); the program minimized through
its system menu (Alt+Space, N). For each phase it prints the milliseconds per frame
and frames per second, and the processor time of the program, the Wine server and the desktop process as a
share of one core. Frames are Wine's own count of presented frames (WINEDEBUG trace+fps: wined3d reports the
rate of Present calls every 1.5 s); tracing every Direct3D call instead costs the program a quarter of its
frames. Run it through tools/frame_rate.sh, which makes the Wine prefix first.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import DESKTOP_SIZE, MAIN_TITLE, WINE64, Program, TestFailure, VirtualDisplay, check, end_wine, \
    find_windows, first, wait_until  # noqa: E402
from loop_tests import OTHER_EXE, OtherProgram, cpu_seconds, minimize, processes  # noqa: E402
from stress_tests import full_block  # noqa: E402

FPS_LINE = re.compile(rb"trace:fps:wined3d_cs_exec_present .*@ approx ([0-9.]+)fps")
SETTLE = 2.0  # seconds between a change of phase and its measurement


class Presents:
    """Reads the program's trace output and keeps (arrival time, frames per second) of each rate report."""

    def __init__(self, stream):
        self.reports = []
        self.lock = threading.Lock()
        threading.Thread(target=self._read, args=(stream,), daemon=True).start()

    def _read(self, stream):
        for line in stream:
            match = FPS_LINE.search(line)
            if match:
                with self.lock:
                    self.reports.append((time.time(), float(match.group(1))))

    def count(self):
        with self.lock:
            return len(self.reports)

    def frames(self, start, end):
        """Frames presented between start and end, from the reports whose intervals lie inside them."""
        with self.lock:
            reports = list(self.reports)
        frames, covered = 0.0, 0.0
        for (before, _), (at, rate) in zip(reports, reports[1:]):
            if before >= start and at <= end:
                frames += rate * (at - before)
                covered += at - before
        return frames, covered


def measure(name, seconds, pids, presents, start_input=None, stop_input=None):
    """One phase: processor time of each process and the frames presented over `seconds`, after a settling pause;
    the input of the phase (a held key, a drag) runs from before the pause to the end."""
    if start_input:
        start_input()
    time.sleep(SETTLE)
    start = time.time()
    before = {role: cpu_seconds(pid) for role, pid in pids.items()}
    time.sleep(seconds)
    after = {role: cpu_seconds(pid) for role, pid in pids.items()}
    end = time.time()
    if stop_input:
        stop_input()
    frames, covered = presents.frames(start, end)
    share = {role: 100.0 * (after[role] - before[role]) / (end - start) for role in pids}
    return {"name": name, "frames": frames, "covered": covered, "share": share}


def launch(program, args):
    os.environ["WINEDEBUG"] = "-all,trace+fps"
    command = [WINE64, "explorer", f"/desktop={program.desktop},{DESKTOP_SIZE[0]}x{DESKTOP_SIZE[1]}",
               "Blokkenveld.exe", *args]
    program.process = subprocess.Popen(command, cwd=program.folder, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.PIPE, start_new_session=True)
    presents = Presents(program.process.stderr)
    program.main_window = wait_until(lambda: program._alive() and first(find_windows(MAIN_TITLE)),
                                     "the program's main window", 60)
    wait_until(program.client_rect, "the main window's client area", 30)
    # At rest the program presents a frame only now and then, too seldom for Wine to report a rate: the first
    # picture is waited for on the screen instead.
    program.wait_still()
    return presents


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=10)


class Drag:
    """A right-button drag across the view that goes back and forth until stopped."""

    def __init__(self, rect):
        self.rect = rect
        self.running = False
        self.thread = None

    def start(self):
        self.running = True
        middle_x, middle_y = self.rect.left + self.rect.width // 2, self.rect.top + self.rect.height // 2
        xdotool("mousemove", str(middle_x), str(middle_y), "mousedown", "3")

        def sway():
            step = 0
            while self.running:
                step += 1
                xdotool("mousemove", str(middle_x + 8 * (step % 20 - 10)), str(middle_y))
                time.sleep(0.01)
        self.thread = threading.Thread(target=sway, daemon=True)
        self.thread.start()

    def stop(self):
        self.running = False
        self.thread.join()
        xdotool("mouseup", "3")


def report(rows, scene, seconds):
    with open("/proc/loadavg") as f:
        load = f.read().split()[0]  # other work on the machine moves the frame rate most
    print(f"Blokkenveld under Wine, {scene}, {seconds:.0f} s per phase, machine load {load}; "
          "processor time as % of one core")
    print(f"{'phase':<24}{'ms/frame':>10}{'frames/s':>10}{'program':>10}{'wineserver':>12}{'both':>8}"
          f"{'desktop':>9}")
    for row in rows:
        rate = row["frames"] / row["covered"] if row["covered"] > 0 else 0.0
        ms = f"{1000.0 / rate:.2f}" if rate > 0 else "-"
        share = row["share"]
        both = share.get("program", 0) + share.get("wineserver", 0)
        print(f"{row['name']:<24}{ms:>10}{rate:>10.1f}{share.get('program', 0):>10.2f}"
              f"{share.get('wineserver', 0):>12.2f}{both:>8.2f}{share.get('desktop', 0):>9.2f}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("scene", nargs="?", help="an object file (.bvo) or a bitmap (.bmp) to open")
    parser.add_argument("--full-block", action="store_true", help="open a scene of 10,000 cubes")
    parser.add_argument("--seconds", type=float, default=10.0, help="length of each measured phase")
    parser.add_argument("--exe-dir", default=os.path.join("build", "windows"), help="where Blokkenveld.exe is")
    options = parser.parse_args()
    exe_dir = os.path.abspath(options.exe_dir)
    other_exe = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build", "windows", OTHER_EXE)
    for path in (os.path.join(exe_dir, "Blokkenveld.exe"), other_exe):
        if not os.path.exists(path):
            print(f"{path} is missing: run tools/build.sh first")
            return 2

    display = VirtualDisplay() if not os.environ.get("DISPLAY") else None
    if display is not None:
        display.__enter__()
    program = Program(exe_dir)
    try:
        args, scene = [], "the start scene"
        if options.full_block:
            program.write("block.bvo", full_block())
            args, scene = ["block.bvo"], "10,000 cubes"
        elif options.scene:
            name = os.path.basename(options.scene)
            shutil.copy(options.scene, program.path(name))
            args, scene = [name], name
        presents = launch(program, args)
        pids = processes(program)
        check("program" in pids and "wineserver" in pids, f"processes not found: {pids}")
        program.wait_main_focus()
        rect = program.client_rect()
        subprocess.run(["xdotool", "mousemove", str(rect.left + rect.width // 2), str(rect.top + rect.height // 2)],
                       check=True, timeout=10)
        rows = [measure("active, untouched", options.seconds, pids, presents)]
        # A held arrow key turns the camera; a right-button drag turns it by the cursor, which moves all the while.
        rows.append(measure("active, Left held", options.seconds, pids, presents,
                            lambda: xdotool("keydown", "Left"), lambda: xdotool("keyup", "Left")))
        drag = Drag(rect)
        rows.append(measure("active, right drag", options.seconds, pids, presents, drag.start, drag.stop))
        other = OtherProgram(program, other_exe)
        other.activate()
        rows.append(measure("other program active", options.seconds, pids, presents))
        other.close()
        minimize(program)
        rows.append(measure("minimized", options.seconds, pids, presents))
        report(rows, scene, options.seconds)
        return 0
    except TestFailure as failure:
        print(f"frame_rate: {failure}")
        return 1
    finally:
        program.stop()
        program.cleanup()
        end_wine()
        if display is not None:
            display.__exit__(None, None, None)


if __name__ == "__main__":
    sys.exit(main())
