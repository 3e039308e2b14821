"""What the view shows: background, the lit start cube, the panels where the settings put them, the camera."""
import math
import subprocess

from harness import check, e2e, launched, panel_bitmap, read_ini, save
from window_tests import MAGENTA, MAGENTA_SETTINGS

START_YAW, START_PITCH, START_DISTANCE, TARGET = -4.1887898, 0.7853981, 8.0, (100.5, 100.5, 100.5)


def project(point, width, height):
    """Client position of a world point for the start camera (left-handed look-at, 60 degree view)."""
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
    with launched({"BGCOLOR_R": 300, "BGCOLOR_G": 256, "BGCOLOR_B": 513}) as (program, shot):
        check(shot.fraction((44, 0, 1)) > 0.5, "the view is not cleared to (44, 0, 1)")


@e2e
def start_cube_is_lit_from_the_eye_with_its_wireframe_diagonals():
    green = (0, 255, 0)
    with launched(dict(MAGENTA_SETTINGS, WFCOLOR_R=0, WFCOLOR_G=255, WFCOLOR_B=0)) as (program, shot):
        save(shot, "start_cube")
        # Faces seen from the start camera: top (+y), -x and +z. Off the diagonal a face shows the
        # cosine of its normal against the eye direction; at its centre the diagonal crosses it.
        faces = [((0, 1, 0), (100.5, 101, 100.5), [(100.78, 101, 100.22), (100.22, 101, 100.78)]),
                 ((-1, 0, 0), (100, 100.5, 100.5), [(100, 100.22, 100.22), (100, 100.78, 100.78)]),
                 ((0, 0, 1), (100.5, 100.5, 101), [(100.22, 100.22, 101), (100.78, 100.78, 101)])]
        for normal, centre, off_diagonal in faces:
            grey = expected_grey(normal)
            for point in off_diagonal:
                sx, sy = project(point, shot.width, shot.height)
                p = shot.pixel(int(sx), int(sy))
                check(all(abs(c - grey) <= 2.5 for c in p), f"face {normal} at {point}: {p}, expected grey {grey:.1f}")
            cx, cy = project(centre, shot.width, shot.height)
            cx, cy = int(round(cx)), int(round(cy))
            check(shot.count(green, (cx - 2, cy - 2, cx + 3, cy + 3)) > 0,
                  f"no wireframe diagonal through the centre of face {normal}")
        check(shot.count(green, (300, 200, 500, 400)) > 150, "too few wireframe pixels")


def panel_at(px, py):
    """A predicate: the panel artwork is drawn with its corner at (px, py) of the client area."""
    art = panel_bitmap()
    points = [(80, 10), (150, 10), (10, 100), (12, 300), (5, 450), (140, 500)]
    return lambda shot: all(shot.pixel(px + x, py + y) == art(x, y) for x, y in points)


@e2e
def paint_window_and_status_strip_sit_where_the_settings_put_them():
    with launched(dict(MAGENTA_SETTINGS, PWIN_X=200, PWIN_Y=50)) as (program, shot):
        save(shot, "panel_moved")
        check((shot.width, shot.height) == (800, 600), f"client area {shot.width}x{shot.height}")
        check(panel_at(200, 50)(shot), "the panel is not drawn at 200, 50")
        check(shot.pixel(199, 300) == MAGENTA, "something drawn left of the panel")
        art = panel_bitmap()
        for j in range(18):
            seen = shot.pixel(500, shot.height - 18 + j)
            check(seen == art(163, 58 + j), f"status strip row {j}: {seen}, artwork {art(163, 58 + j)}")
        check(shot.pixel(500, shot.height - 19) == MAGENTA, "the status strip is taller than 18 pixels")


@e2e
def paint_window_is_pulled_back_inside_after_a_resize():
    settings = dict(MAGENTA_SETTINGS, PWIN_X=5000, PWIN_Y=5000, WINDOW_MAXIMIZED=3)
    with launched(settings, ready=lambda s: s.width >= 1270 and panel_at(s.width - 158, s.height - 519)(s)) \
            as (program, shot):
        save(shot, "panel_pulled_back")
        # Restore: the device is rebuilt at 800 x 600 and the panel pulled in again.
        program.menu("alt+space", "r", "Restore")
        shot = program.wait_shot(lambda s: (s.width, s.height) == (800, 600) and panel_at(642, 81)(s),
                                 "the restored 800 x 600 client area with the panel at 642, 81")
        save(shot, "panel_after_restore")
        check(program.close(), "the program did not end")
        items = dict(read_ini(program.ini_path))
        check((items["PWIN_X"], items["PWIN_Y"], items["WINDOW_MAXIMIZED"]) == ("642", "81", "5"),
              f"exit settings {items}")


def cube_area(shot):
    """Pixels (in a sample of every fourth row and column) that are not the background."""
    return len(range(0, shot.width, 4)) * len(range(0, shot.height, 4)) - shot.count(MAGENTA, step=4)


@e2e
def camera_follows_the_wheel_keys_and_right_drag():
    settings = dict(MAGENTA_SETTINGS, PWIN_SHOW=0, SWIN_SHOW=0)
    with launched(settings) as (program, shot):
        area = cube_area(shot)
        program.move(shot.width // 2, shot.height // 2)
        for _ in range(2):
            subprocess.run(["xdotool", "click", "4"], check=True, timeout=10)  # away from the user: closer
        zoomed = program.wait_shot(lambda s: cube_area(s) > area * 1.5, "the wheel to zoom in")
        zoomed_area = cube_area(zoomed)
        subprocess.run(["xdotool", "keydown", "f"], check=True, timeout=10)
        try:
            program.wait_shot(lambda s: cube_area(s) < zoomed_area / 4, "F to zoom out")
        finally:
            subprocess.run(["xdotool", "keyup", "f"], check=True, timeout=10)
        before = program.wait_still()
        program.button(3, True)
        try:
            for step in range(1, 6):
                program.move(shot.width // 2 + 20 * step, shot.height // 2)
            program.wait_shot(lambda s: s.data != before.data, "a right-button drag to turn the view")
        finally:
            program.button(3, False)


@e2e
def the_atlas_may_be_any_image_the_system_reads():
    def png_atlas(program):
        subprocess.run(["convert", "-size", "128x128", "xc:#20C040", program.path("atlas.png")], check=True, timeout=30)
    with launched(dict(MAGENTA_SETTINGS, TEXTURE="atlas.png"), before_start=png_atlas) as (program, shot):
        check(shot.pixel(25 + 64, 318 + 64) == (0x20, 0xC0, 0x40), f"the atlas view shows {shot.pixel(89, 382)}")
