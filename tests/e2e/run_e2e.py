#!/usr/bin/env python3
"""End-to-end tests: the real Blokkenveld.exe under Wine on a virtual X display.

Usage: run_e2e.py EXE_DIR [TEST_NAME ...]
Prints one line per test and a closing "N passed, N failed" line; exits non-zero on any failure.
"""
import math
import os
import struct
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Program, Screen, TestFailure, check, read_ini  # noqa: E402

EXE_DIR = None
SHOTS_DIR = None
MAGENTA = (250, 0, 250)  # a background no theme colour shares, so the client area can be found
MAGENTA_SETTINGS = {"BGCOLOR_R": 250, "BGCOLOR_G": 0, "BGCOLOR_B": 250}
TESTS = []


def e2e(fn):
    TESTS.append(fn)
    return fn


def has_colour(colour, min_run=300):
    return lambda screen: any(screen.longest_run(colour, row=y)[1] >= min_run for y in range(100, 900, 50))


def run_program(settings, ready_colour, *args):
    program = Program(EXE_DIR, settings)
    screen = program.start(*args, ready=has_colour(ready_colour))
    return program, screen


def save(screen, name):
    screen.save_png(os.path.join(SHOTS_DIR, name + ".png"))


def panel_bitmap():
    """The panel artwork as drawn at build time: pixel(x, y) -> (r, g, b)."""
    with open(os.path.join(EXE_DIR, "artwork", "panel.bmp"), "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3

    def pixel(x, y):
        i = offset + (height - 1 - y) * stride + x * 3
        return (data[i + 2], data[i + 1], data[i])
    return pixel


# ---- window and settings -------------------------------------------------------------------

@e2e
def no_settings_file_gives_defaults_and_writes_exit_keys():
    program, screen = run_program(None, (0, 0, 0))
    try:
        save(screen, "defaults")
        left, top, width, height = screen.find_client((0, 0, 0))
        check((width, height) == (800, 600), f"client area {width}x{height}, expected 800x600")
        check(program.close(), "the program did not end after Alt+F4")
        items = read_ini(program.ini_path)
        check(items == [("WINDOW_MODE", "1"), ("WINDOW_MAXIMIZED", "5"), ("PWIN_X", "0"), ("PWIN_Y", "0"),
                        ("PWIN_SHOW", "1"), ("SWIN_SHOW", "1"), ("TEXTURE", "tex.bmp")],
              f"settings written at exit: {items}")
    finally:
        program.stop()
        program.cleanup()


@e2e
def window_mode_2_gives_1024_by_768():
    program, screen = run_program(dict(MAGENTA_SETTINGS, WINDOW_MODE=2), MAGENTA)
    try:
        _, _, width, height = screen.find_client(MAGENTA)
        check((width, height) == (1024, 768), f"client area {width}x{height}, expected 1024x768")
        check(program.close(), "the program did not end")
        check(("WINDOW_MODE", "2") in read_ini(program.ini_path), "WINDOW_MODE=2 not written back")
    finally:
        program.stop()
        program.cleanup()


@e2e
def unknown_window_mode_falls_back_to_800_by_600_and_is_written_as_1():
    program, screen = run_program(dict(MAGENTA_SETTINGS, WINDOW_MODE=7), MAGENTA)
    try:
        _, _, width, height = screen.find_client(MAGENTA)
        check((width, height) == (800, 600), f"client area {width}x{height}, expected 800x600")
        check(program.close(), "the program did not end")
        items = dict(read_ini(program.ini_path))
        check(items["WINDOW_MODE"] == "1", f"WINDOW_MODE written as {items['WINDOW_MODE']}")
        check(items["BGCOLOR_R"] == "250", "colour keys must be left as they were at exit")
    finally:
        program.stop()
        program.cleanup()


@e2e
def window_maximized_3_starts_maximized():
    program, screen = run_program(dict(MAGENTA_SETTINGS, WINDOW_MAXIMIZED=3), MAGENTA)
    try:
        save(screen, "maximized")
        left, top, width, height = screen.find_client(MAGENTA)
        check(width >= 1270 and height >= 940, f"client area {width}x{height} is not maximized")
        # The status strip follows the larger client area after the device was rebuilt.
        strip = screen.pixel(left + width - 40, top + height - 2)
        check(strip != MAGENTA, "no status strip at the bottom of the maximized client area")
        check(program.close(), "the program did not end")
        check(dict(read_ini(program.ini_path))["WINDOW_MAXIMIZED"] == "3", "WINDOW_MAXIMIZED not kept as 3")
    finally:
        program.stop()
        program.cleanup()


def open_settings_and_choose_black_background(program):
    program.chord("alt+o")
    program.key("o", pause=1.5)  # 設定(&O): the dialog opens with the focus on 背景
    program.key("space", pause=2.0)  # the colour chooser opens on black
    shot = Screen.grab()
    program.key("Return", pause=1.5)  # confirm black
    return shot


@e2e
def settings_dialog_ok_writes_the_six_colour_keys():
    settings = {"BGCOLOR_R": 300, "BGCOLOR_G": 0, "BGCOLOR_B": 0, "WFCOLOR_R": 12, "WFCOLOR_G": 34, "WFCOLOR_B": 56}
    program, screen = run_program(settings, (44, 0, 0))
    try:
        chooser = open_settings_and_choose_black_background(program)
        save(chooser, "colour_chooser")
        dialog = Screen.grab()
        save(dialog, "settings_dialog")
        # While the dialog is open the view keeps the colour it opened with.
        check(has_colour((44, 0, 0))(dialog), "the view changed colour while the dialog was open")
        program.key("Tab", "Tab")
        program.key("Return", pause=1.5)
        items = dict(read_ini(program.ini_path))
        expected = {"BGCOLOR_R": "0", "BGCOLOR_G": "0", "BGCOLOR_B": "0",
                    "WFCOLOR_R": "12", "WFCOLOR_G": "34", "WFCOLOR_B": "56"}
        check(all(items.get(k) == v for k, v in expected.items()), f"settings after OK: {items}")
        after = Screen.grab()
        check(has_colour((0, 0, 0))(after), "the view did not change to the chosen black background")
        check(program.close(), "the program did not end")
    finally:
        program.stop()
        program.cleanup()


@e2e
def settings_dialog_cancel_writes_nothing_and_keeps_the_view():
    settings = {"BGCOLOR_R": 300, "BGCOLOR_G": 0, "BGCOLOR_B": 0}
    program, screen = run_program(settings, (44, 0, 0))
    try:
        before = open(program.ini_path, "rb").read()
        open_settings_and_choose_black_background(program)
        program.key("Escape", pause=1.5)
        check(open(program.ini_path, "rb").read() == before, "Cancel wrote the settings file")
        after = Screen.grab()
        check(has_colour((44, 0, 0))(after), "the view lost its background after Cancel")
        check(program.close(), "the program did not end")
        check(dict(read_ini(program.ini_path))["BGCOLOR_R"] == "300", "colour changed by exit")
    finally:
        program.stop()
        program.cleanup()


@e2e
def view_menu_toggles_panels_and_the_exit_settings_follow():
    program, screen = run_program(dict(MAGENTA_SETTINGS), MAGENTA)
    try:
        left, top, width, height = screen.find_client(MAGENTA)
        check(screen.pixel(left + 60, top + 200) != MAGENTA, "paint window not shown at start")
        program.chord("alt+v")
        save(Screen.grab(), "view_menu_checked")
        program.key("p", pause=1.0)
        shot = Screen.grab()
        check(shot.pixel(left + 60, top + 200) == MAGENTA, "paint window still drawn after View > Paint window")
        program.chord("alt+v")
        program.key("s", pause=1.0)
        program.chord("alt+v")
        menu = Screen.grab()
        save(menu, "view_menu_unchecked")
        program.key("Escape", "Escape", pause=0.6)
        shot = Screen.grab()
        check(shot.pixel(left + width - 40, top + height - 2) == MAGENTA, "status strip still drawn")
        check(program.close(), "the program did not end")
        items = dict(read_ini(program.ini_path))
        check(items["PWIN_SHOW"] == "0" and items["SWIN_SHOW"] == "0", f"panel settings at exit: {items}")
    finally:
        program.stop()
        program.cleanup()


def main():
    global EXE_DIR, SHOTS_DIR
    EXE_DIR = os.path.abspath(sys.argv[1])
    selected = sys.argv[2:]
    SHOTS_DIR = os.path.join(EXE_DIR, "e2e-screens")
    os.makedirs(SHOTS_DIR, exist_ok=True)
    xvfb = None
    if not os.environ.get("DISPLAY") or os.environ.get("CI"):
        display = f":{100 + os.getpid() % 400}"
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.environ["DISPLAY"] = display
        time.sleep(1.5)
    passed = failed = 0
    try:
        for test in TESTS:
            if selected and test.__name__ not in selected:
                continue
            started = time.time()
            try:
                test()
                passed += 1
                print(f"PASS {test.__name__} ({time.time() - started:.1f} s)", flush=True)
            except Exception as error:  # a failure or a harness error: report it and go on
                failed += 1
                detail = str(error) if isinstance(error, TestFailure) else traceback.format_exc()
                print(f"FAIL {test.__name__}: {detail}", flush=True)
    finally:
        if xvfb is not None:
            xvfb.kill()
            xvfb.wait()
    print(f"e2e: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
