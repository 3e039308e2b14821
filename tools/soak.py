#!/usr/bin/env python3
"""A soak of the real program under Wine: random clicks, drags, keys, wheel turns and menu commands, with
every dialog and box answered or cancelled, for a bounded time and number of events.

Usage: tools/soak.py EXE_DIR [--minutes 20] [--events 20000] [--seed N]
Reports the events sent, the minutes run, crashes and hangs, and the program's memory at the start, the
end and its peak. Exits non-zero on a crash or a hang. Run it after tools/build.sh, with the Wine prefix
made (tools/run_tests.sh makes it).
"""
import argparse
import os
import random
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
from harness import Program, TestFailure, VirtualDisplay, end_wine, find_windows, focused_window, popup_menus, \
    window_name  # noqa: E402

DIALOGS = {
    "^確認$": ["y", "n", "Escape"],
    "^(エラー|バージョン情報)$": ["Return"],
    "^(設定|Color)$": ["Escape"],
}
FILE_DIALOGS = "^(Save As|Open|スクリーンショットの保存)$"
KEYS = ["Left", "Right", "Up", "Down", "w", "a", "s", "d", "f", "g", "ctrl+z", "ctrl+y", "ctrl+z", "ctrl+y"]
# Menu commands: File (New, Open, Save, Save As, Screenshot), Options (Undo, Redo, Reset camera, Settings),
# View (both panels), Help (version). Closing the window is left out: the soak keeps the program running.
MENUS = [("alt+f", k) for k in "noast"] + [("alt+o", k) for k in "urco"] + [("alt+v", k) for k in "ps"] + \
        [("alt+h", "a")]


def xdo(*args):
    subprocess.run(["xdotool", *args], capture_output=True, timeout=20)


def program_pid():
    """The Linux process of Blokkenveld.exe under Wine."""
    out = subprocess.run(["pgrep", "-f", "Blokkenveld.exe"], capture_output=True, text=True).stdout.split()
    pids = [int(p) for p in out if p.isdigit()]
    for pid in pids:
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                if f.read().split(b"\0")[0].endswith(b"Blokkenveld.exe"):
                    return pid
        except OSError:
            pass
    return pids[-1] if pids else None


def resident_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        return None
    return None


class Soak:
    def __init__(self, program, rng):
        self.program, self.rng = program, rng
        self.events = 0
        self.files = 0

    def answer_dialogs(self, patience=1.0, limit=60.0):
        """Answers whatever dialog or box the last event opened, until none is left (a minute at most)."""
        deadline = time.time() + patience
        give_up = time.time() + limit
        while time.time() < min(deadline, give_up):
            window = focused_window()
            name = window_name(window) if window else ""
            for pattern, keys in DIALOGS.items():
                if name and re.search(pattern, name):
                    self.program.key(self.rng.choice(keys))
                    deadline = time.time() + patience
                    break
            else:
                if name and re.search(FILE_DIALOGS, name):
                    if self.rng.random() < 0.5:
                        self.program.key("Escape")
                    else:
                        self.files += 1
                        ext = self.rng.choice([".bvo", ".mqo", ".bmp", ".bvp", ".txt"])
                        target = self.program.wine_path(f"soak{self.files}{ext}")
                        self.program.key("End")
                        self.program.chord("shift+Home")
                        self.program.type_text(target)
                        self.program.key("Return")
                    deadline = time.time() + patience
                elif popup_menus():
                    self.program.key("Escape")
                else:
                    time.sleep(0.1)

    def event(self, width, height):
        kind = self.rng.random()
        p = self.program
        if kind < 0.35:
            p.click(self.rng.randrange(width), self.rng.randrange(height))
        elif kind < 0.5:
            p.click(self.rng.randrange(158), self.rng.randrange(503))  # the paint window
        elif kind < 0.65:
            button = self.rng.choice([1, 2, 3])
            p.move(self.rng.randrange(width), self.rng.randrange(height))
            p.button(button, True)
            for _ in range(self.rng.randrange(1, 6)):
                p.move(self.rng.randrange(-50, width + 50), self.rng.randrange(-50, height + 50))
            p.button(button, False)
        elif kind < 0.75:
            xdo("click", "--repeat", str(self.rng.randrange(1, 6)), self.rng.choice(["4", "5"]))
        elif kind < 0.92:
            key = self.rng.choice(KEYS)
            if "+" in key:
                p.chord(key)
            else:
                xdo("keydown", key)
                time.sleep(self.rng.choice([0.05, 0.2, 0.8]))
                xdo("keyup", key)
        else:
            menu, item = self.rng.choice(MENUS)
            p.chord(menu)
            time.sleep(0.3)
            p.key(item)
        self.events += 1
        self.answer_dialogs()

    def responsive(self):
        """The message loop answers: the View menu opens and closes again. X does not always give the focus
        back when a dialog closes; with no dialog left, the main window is given it first."""
        self.answer_dialogs()
        try:
            self.program.wait_main_focus(timeout=20)
        except TestFailure:
            return False
        # A lone Alt leaves the menu bar selected, and then Alt+V only leaves that again: Escape first, and a
        # few tries within fifteen seconds.
        deadline = time.time() + 15
        opened = False
        while time.time() < deadline and not opened:
            self.program.key("Escape", "Escape")
            self.program.chord("alt+v")
            tried = time.time()
            while time.time() - tried < 3 and not popup_menus():
                time.sleep(0.2)
            opened = bool(popup_menus())
        self.program.key("Escape", "Escape")
        return opened


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe_dir")
    parser.add_argument("--minutes", type=float, default=20)
    parser.add_argument("--events", type=int, default=20000)
    parser.add_argument("--seed", type=int, default=int(time.time()))
    parser.add_argument("--probe", action="store_true", help="on a hang, keep the program for a look")
    options = parser.parse_args()
    harness.Suite.exe_dir = os.path.abspath(options.exe_dir)
    rng = random.Random(options.seed)
    crashes = hangs = 0
    with VirtualDisplay():
        program = Program(harness.Suite.exe_dir, {"PWIN_SHOW": 1, "SWIN_SHOW": 1})
        try:
            shot = program.start()
            pid = program_pid()
            start_kb = peak_kb = resident_kb(pid) or 0
            soak = Soak(program, rng)
            samples = []  # (minutes, MB) at every responsiveness check
            started = time.time()
            while soak.events < options.events and time.time() - started < options.minutes * 60:
                if program.process.poll() is not None:
                    crashes += 1
                    break
                soak.event(shot.width, shot.height)
                if soak.events % 50 == 0:
                    if not soak.responsive():
                        hangs += 1
                        harness.Screen.grab().save_png(os.path.join(harness.Suite.exe_dir, "soak-hang.png"))
                        names = [window_name(w) for w in find_windows(".+")]
                        print(f"soak: no answer after event {soak.events}; windows {names}; picture soak-hang.png",
                              flush=True)
                        if options.probe:
                            print(f"soak: DISPLAY={os.environ['DISPLAY']} pid {pid}", flush=True)
                            time.sleep(600)
                        break
                    now_kb = resident_kb(pid) or 0
                    peak_kb = max(peak_kb, now_kb)
                    samples.append((round((time.time() - started) / 60, 1), round(now_kb / 1024, 1)))
            end_kb = resident_kb(pid) or 0
            minutes = (time.time() - started) / 60
            print(f"soak: seed {options.seed}, {soak.events} events in {minutes:.1f} minutes, {crashes} crashes, "
                  f"{hangs} hangs; memory {start_kb / 1024:.1f} MB at the start, {end_kb / 1024:.1f} MB at the end, "
                  f"{peak_kb / 1024:.1f} MB at most")
            print("soak: memory over time (minutes, MB): " + ", ".join(f"{m} {mb}" for m, mb in samples))
        except TestFailure as failure:
            print(f"soak: {failure}")
            crashes += 1
        finally:
            program.stop()
            program.cleanup()
            end_wine()
    return 1 if crashes or hangs else 0


if __name__ == "__main__":
    sys.exit(main())
