#!/usr/bin/env python3
"""End-to-end tests: the real Blokkenveld.exe under Wine on a virtual X display.

Usage: run_e2e.py EXE_DIR [TEST_NAME ...]
Prints one line per test and a closing "N passed, N failed" line; exits non-zero on any failure.
"""
import contextlib
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


@contextlib.contextmanager
def launched(settings, ready_colour, *args):
    """The program started in a fresh folder; ended and removed however the test goes."""
    program = Program(EXE_DIR, settings)
    try:
        screen = program.start(*args, ready=has_colour(ready_colour))
        yield program, screen
    finally:
        program.stop()
        program.cleanup()


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
    with launched(None, (0, 0, 0)) as (program, screen):
        save(screen, "defaults")
        left, top, width, height = screen.find_client((0, 0, 0))
        check((width, height) == (800, 600), f"client area {width}x{height}, expected 800x600")
        check(program.close(), "the program did not end after Alt+F4")
        items = read_ini(program.ini_path)
        check(items == [("WINDOW_MODE", "1"), ("WINDOW_MAXIMIZED", "5"), ("PWIN_X", "0"), ("PWIN_Y", "0"),
                        ("PWIN_SHOW", "1"), ("SWIN_SHOW", "1"), ("TEXTURE", "tex.bmp")],
              f"settings written at exit: {items}")


@e2e
def window_mode_2_gives_1024_by_768():
    with launched(dict(MAGENTA_SETTINGS, WINDOW_MODE=2), MAGENTA) as (program, screen):
        _, _, width, height = screen.find_client(MAGENTA)
        check((width, height) == (1024, 768), f"client area {width}x{height}, expected 1024x768")
        check(program.close(), "the program did not end")
        check(("WINDOW_MODE", "2") in read_ini(program.ini_path), "WINDOW_MODE=2 not written back")


@e2e
def unknown_window_mode_falls_back_to_800_by_600_and_is_written_as_1():
    with launched(dict(MAGENTA_SETTINGS, WINDOW_MODE=7), MAGENTA) as (program, screen):
        _, _, width, height = screen.find_client(MAGENTA)
        check((width, height) == (800, 600), f"client area {width}x{height}, expected 800x600")
        check(program.close(), "the program did not end")
        items = dict(read_ini(program.ini_path))
        check(items["WINDOW_MODE"] == "1", f"WINDOW_MODE written as {items['WINDOW_MODE']}")
        check(items["BGCOLOR_R"] == "250", "colour keys must be left as they were at exit")


@e2e
def window_maximized_3_starts_maximized():
    with launched(dict(MAGENTA_SETTINGS, WINDOW_MAXIMIZED=3), MAGENTA) as (program, screen):
        save(screen, "maximized")
        left, top, width, height = screen.find_client(MAGENTA)
        check(width >= 1270 and height >= 940, f"client area {width}x{height} is not maximized")
        # The status strip follows the larger client area after the device was rebuilt.
        strip = screen.pixel(left + width - 40, top + height - 2)
        check(strip != MAGENTA, "no status strip at the bottom of the maximized client area")
        check(program.close(), "the program did not end")
        check(dict(read_ini(program.ini_path))["WINDOW_MAXIMIZED"] == "3", "WINDOW_MAXIMIZED not kept as 3")


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
    with launched(settings, (44, 0, 0)) as (program, screen):
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


@e2e
def settings_dialog_cancel_writes_nothing_and_keeps_the_view():
    settings = {"BGCOLOR_R": 300, "BGCOLOR_G": 0, "BGCOLOR_B": 0}
    with launched(settings, (44, 0, 0)) as (program, screen):
        before = open(program.ini_path, "rb").read()
        open_settings_and_choose_black_background(program)
        program.key("Escape", pause=1.5)
        check(open(program.ini_path, "rb").read() == before, "Cancel wrote the settings file")
        after = Screen.grab()
        check(has_colour((44, 0, 0))(after), "the view lost its background after Cancel")
        check(program.close(), "the program did not end")
        check(dict(read_ini(program.ini_path))["BGCOLOR_R"] == "300", "colour changed by exit")


@e2e
def settings_dialog_close_box_keeps_the_colours_for_this_run_only():
    settings = {"BGCOLOR_R": 300, "BGCOLOR_G": 0, "BGCOLOR_B": 0}
    with launched(settings, (44, 0, 0)) as (program, screen):
        before = open(program.ini_path, "rb").read()
        open_settings_and_choose_black_background(program)
        program.chord("alt+F4", pause=1.5)  # the dialog's close box
        check(open(program.ini_path, "rb").read() == before, "the close box wrote the settings file")
        check(has_colour((0, 0, 0))(Screen.grab()), "the chosen background is not in effect after the close box")
        check(program.close(), "the program did not end")
        check(dict(read_ini(program.ini_path))["BGCOLOR_R"] == "300", "the chosen colour reached the file")


@e2e
def view_menu_toggles_panels_and_the_exit_settings_follow():
    with launched(dict(MAGENTA_SETTINGS), MAGENTA) as (program, screen):
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


@e2e
def version_dialog_opens_and_closes_with_ok():
    with launched(dict(MAGENTA_SETTINGS), MAGENTA) as (program, screen):
        left, top, width, height = screen.find_client(MAGENTA)
        box = (left + 200, top + 100, left + width, top + height - 100)
        plain = screen.count(MAGENTA, box)
        program.chord("alt+h")
        program.key("a", pause=1.5)
        dialog = Screen.grab()
        save(dialog, "version_dialog")
        check(dialog.count(MAGENTA, box) < plain - 2000, "no version dialog over the view")
        program.key("Return", pause=1.0)
        check(Screen.grab().count(MAGENTA, box) == plain, "the version dialog did not close with OK")
        check(program.close(), "the program did not end")


# ---- the picture -----------------------------------------------------------------------------

START_YAW, START_PITCH, START_DISTANCE, TARGET = -4.1887898, 0.7853981, 8.0, (100.5, 100.5, 100.5)


def project(point, width, height):
    """Screen position of a world point for the start camera (left-handed look-at, 60 degree view)."""
    d = (math.cos(START_YAW) * math.cos(START_PITCH), math.sin(START_PITCH),
         math.sin(START_YAW) * math.cos(START_PITCH))
    eye = tuple(TARGET[i] + START_DISTANCE * d[i] for i in range(3))

    def sub(a, b):
        return tuple(a[i] - b[i] for i in range(3))

    def dot(a, b):
        return sum(a[i] * b[i] for i in range(3))

    def cross(a, b):
        return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])

    def unit(a):
        n = math.sqrt(dot(a, a))
        return tuple(c / n for c in a)
    zaxis = unit(sub(TARGET, eye))
    xaxis = unit(cross((0, 1, 0), zaxis))
    yaxis = cross(zaxis, xaxis)
    rel = sub(point, eye)
    yscale = 1 / math.tan(math.pi / 6)
    xscale = yscale * height / width
    x = dot(rel, xaxis) * xscale / dot(rel, zaxis)
    y = dot(rel, yaxis) * yscale / dot(rel, zaxis)
    return (x + 1) / 2 * width, (1 - y) / 2 * height


def expected_grey(normal):
    d = (math.cos(START_YAW) * math.cos(START_PITCH), math.sin(START_PITCH),
         math.sin(START_YAW) * math.cos(START_PITCH))
    return 255 * max(0.0, sum(normal[i] * d[i] for i in range(3)))


@e2e
def background_takes_the_low_8_bits_of_each_colour_setting():
    with launched({"BGCOLOR_R": 300, "BGCOLOR_G": 256, "BGCOLOR_B": 513}, (44, 0, 1)) as (program, screen):
        left, top, width, height = screen.find_client((44, 0, 1))
        check((width, height) == (800, 600), f"client area {width}x{height}")


@e2e
def start_cube_is_lit_from_the_eye_with_its_wireframe_diagonals():
    green = (0, 255, 0)
    with launched(dict(MAGENTA_SETTINGS, WFCOLOR_R=0, WFCOLOR_G=255, WFCOLOR_B=0), MAGENTA) as (program, screen):
        save(screen, "start_cube")
        left, top, width, height = screen.find_client(MAGENTA)
        # Faces seen from the start camera: top (+y), -x and +z. Off the diagonal a face shows the
        # cosine of its normal against the eye direction; at its centre the diagonal crosses it.
        faces = [((0, 1, 0), (100.5, 101, 100.5), [(100.78, 101, 100.22), (100.22, 101, 100.78)]),
                 ((-1, 0, 0), (100, 100.5, 100.5), [(100, 100.22, 100.22), (100, 100.78, 100.78)]),
                 ((0, 0, 1), (100.5, 100.5, 101), [(100.22, 100.22, 101), (100.78, 100.78, 101)])]
        for normal, centre, off_diagonal in faces:
            grey = expected_grey(normal)
            for point in off_diagonal:
                sx, sy = project(point, width, height)
                p = screen.pixel(left + int(sx), top + int(sy))
                check(all(abs(c - grey) <= 2.5 for c in p), f"face {normal} at {point}: {p}, expected grey {grey:.1f}")
            cx, cy = project(centre, width, height)
            cx, cy = left + int(round(cx)), top + int(round(cy))
            check(screen.count(green, (cx - 2, cy - 2, cx + 3, cy + 3)) > 0,
                  f"no wireframe diagonal through the centre of face {normal}")
        check(screen.count(green, (left + 300, top + 200, left + 500, top + 400)) > 150, "too few wireframe pixels")


def check_panel_at(screen, left, top, px, py, what):
    art = panel_bitmap()
    for x, y in [(80, 10), (150, 10), (10, 100), (12, 300), (5, 450), (140, 500)]:
        seen = screen.pixel(left + px + x, top + py + y)
        check(seen == art(x, y), f"{what}: panel pixel ({x},{y}) shows {seen}, artwork has {art(x, y)}")


@e2e
def paint_window_and_status_strip_sit_where_the_settings_put_them():
    with launched(dict(MAGENTA_SETTINGS, PWIN_X=200, PWIN_Y=50), MAGENTA) as (program, screen):
        save(screen, "panel_moved")
        left, top, width, height = screen.find_client(MAGENTA)
        check((width, height) == (800, 600), f"client area {width}x{height}")
        check_panel_at(screen, left, top, 200, 50, "panel at 200,50")
        check(screen.pixel(left + 199, top + 300) == MAGENTA, "something drawn left of the panel")
        art = panel_bitmap()
        bottom = top + height
        for j in range(18):
            seen = screen.pixel(left + 500, bottom - 18 + j)
            check(seen == art(163, 58 + j), f"status strip row {j}: {seen}, artwork {art(163, 58 + j)}")
        check(screen.pixel(left + 500, bottom - 19) == MAGENTA, "the status strip is taller than 18 pixels")


@e2e
def paint_window_is_pulled_back_inside_after_a_resize():
    settings = dict(MAGENTA_SETTINGS, PWIN_X=5000, PWIN_Y=5000, WINDOW_MAXIMIZED=3)
    with launched(settings, MAGENTA) as (program, screen):
        save(screen, "panel_pulled_back")
        left, top, width, height = screen.find_client(MAGENTA, edge="left")
        check_panel_at(screen, left, top, width - 158, height - 519, "maximized")
        # Restore: the device is rebuilt at 800 x 600 and the panel pulled in again.
        program.chord("alt+space")
        program.key("r", pause=2.0)
        screen = Screen.grab()
        save(screen, "panel_after_restore")
        left, top, width, height = screen.find_client(MAGENTA, edge="left")
        check((width, height) == (800, 600), f"restored client area {width}x{height}")
        check_panel_at(screen, left, top, 800 - 158, 600 - 519, "restored")
        check(program.close(), "the program did not end")
        items = dict(read_ini(program.ini_path))
        check((items["PWIN_X"], items["PWIN_Y"], items["WINDOW_MAXIMIZED"]) == ("642", "81", "5"),
              f"exit settings {items}")


@e2e
def camera_follows_the_wheel_keys_and_right_drag():
    settings = dict(MAGENTA_SETTINGS, PWIN_SHOW=0, SWIN_SHOW=0)
    with launched(settings, MAGENTA) as (program, screen):
        left, top, width, height = screen.find_client(MAGENTA, status_shown=False)
        box = (left, top, left + width, top + height)
        area = width * height - screen.count(MAGENTA, box)
        program.move(left + width // 2, top + height // 2)
        for _ in range(2):
            subprocess.run(["xdotool", "click", "4"], check=True, timeout=10)  # away from the user: closer
            time.sleep(0.3)
        time.sleep(0.5)
        zoomed = Screen.grab()
        zoomed_area = width * height - zoomed.count(MAGENTA, box)
        check(zoomed_area > area * 1.5, f"wheel zoom: cube covers {zoomed_area} pixels, before {area}")
        subprocess.run(["xdotool", "keydown", "f"], check=True, timeout=10)
        time.sleep(1.5)
        subprocess.run(["xdotool", "keyup", "f"], check=True, timeout=10)
        time.sleep(0.5)
        far = Screen.grab()
        far_area = width * height - far.count(MAGENTA, box)
        check(far_area < zoomed_area / 4, f"F zoom out: {far_area} pixels, before {zoomed_area}")
        before = far.data
        subprocess.run(["xdotool", "mousedown", "3"], check=True, timeout=10)
        for step in range(1, 6):
            program.move(left + width // 2 + 20 * step, top + height // 2)
        subprocess.run(["xdotool", "mouseup", "3"], check=True, timeout=10)
        time.sleep(0.5)
        check(Screen.grab().data != before, "a right-button drag did not turn the view")


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
