"""Scene files, exports, imports, palettes, the texture question and screenshots through the real menus."""
import os
import struct
import subprocess
import time

from harness import WINE64, Suite, check, e2e, find_windows, launched, read_ini, save, wait_file, wait_until
from picture_tests import project
from window_tests import MAGENTA, MAGENTA_SETTINGS

SAVE_AS = "^(Save As|名前を付けて保存)$"
OPEN = "^(Open|開く)$"
CONFIRM = "^確認$"
ERROR = "^エラー$"
SCENE = "Blokkenveld\n1 1\n2\n100 100 100 ffffffff\n101 100 100 ff102030\ntex.bmp\n1\n100 101 100 2 5\n"
LOAD_PALETTE, SAVE_PALETTE, LOAD_TEXTURE = (130, 215), (95, 235), (95, 455)


def crlf(text):
    return text.replace("\n", "\r\n")


def writers_output(source, target_name):
    """What the program's own writers make of a file, from the native tool built beside the program."""
    tool = os.path.join(os.path.dirname(Suite.exe_dir), "native", "e2e_file_tool")
    target = os.path.join(os.path.dirname(source), "expected-" + target_name)
    subprocess.run([tool, source, target], check=True, timeout=30)
    return read(target)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def top_face(shot, height=1):
    x, y = project((100.5, 100 + height, 100.5), shot.width, shot.height)
    return int(x), int(y)


def with_file(name, data):
    return lambda program: program.write(name, data)


def named(name):
    """The program's command line naming a file of its folder; the path is quoted where it holds a blank."""
    return lambda program: program.wine_path(name)


def bitmap_3x2():
    rows = bytes([0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 128, 128, 128, 0, 0])
    header = b"BM" + struct.pack("<IHHI", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, 3, 2, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return header + info + rows


def add_on_top(program, shot, height=1):
    """Adds a cube on the top of the column and waits for it to be drawn."""
    above = top_face(shot, height + 1)
    program.click(*top_face(shot, height))
    program.wait_shot(lambda s: s.pixel(*above) != MAGENTA, "the added cube")


@e2e
def command_line_opens_a_quoted_path_with_spaces_and_ignores_capitals():
    with launched(dict(MAGENTA_SETTINGS), named("my scene.bvo"), before_start=with_file("my scene.bvo", crlf(SCENE))) \
            as (program, shot):
        program.wait_title("Blokkenveld - " + program.wine_path("my scene.bvo"))
        check(shot.pixel(*top_face(shot, 2)) != MAGENTA, "the loaded textured cube on top is not drawn")
        check(program.close(), "the program did not end")
    with launched(dict(MAGENTA_SETTINGS), named("scene.BVO"), before_start=with_file("scene.BVO", crlf(SCENE))) \
            as (program, shot):
        check(program.title() == "Blokkenveld", f"title {program.title()!r} for a file named in capitals")
        check(shot.pixel(*top_face(shot, 2)) == MAGENTA, "a file named in capitals was opened")
        program.wait_main_focus()  # no message box took the focus


@e2e
def save_as_writes_what_the_writers_write_for_bvo_and_mqo():
    with launched(dict(MAGENTA_SETTINGS), named("scene.bvo"), before_start=with_file("scene.bvo", crlf(SCENE))) \
            as (program, _):
        scene = program.wine_path("scene.bvo")
        program.wait_title("Blokkenveld - " + scene)
        program.menu("alt+f", "a", "名前を付けて保存")
        program.file_dialog(SAVE_AS, program.wine_path("model.mqo"), "the save dialog for the export")
        wait_file(program.path("model.mqo"), "the exported document")
        check(read(program.path("model.mqo")) == writers_output(program.path("scene.bvo"), "model.mqo"),
              "the export differs from the writer's")
        check(program.title() == "Blokkenveld - " + scene, f"the export changed the title to {program.title()!r}")
        program.menu("alt+f", "a", "名前を付けて保存")
        program.file_dialog(SAVE_AS, program.wine_path("copy.bvo"), "the save dialog")
        wait_file(program.path("copy.bvo"), "the saved scene")
        check(read(program.path("copy.bvo")) == read(program.path("scene.bvo")), "the saved scene differs")
        program.wait_title("Blokkenveld - " + program.wine_path("copy.bvo"))


@e2e
def new_asks_whether_to_save_a_modified_scene():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        above = top_face(shot, 2)
        add_on_top(program, shot)
        program.menu("alt+f", "n", "新規作成")
        program.answer(CONFIRM, "Escape", "the save question, cancelled")
        check(program.shot().pixel(*above) != MAGENTA, "Cancel still started a new scene")
        program.menu("alt+f", "n", "新規作成")
        program.answer(CONFIRM, "n", "the save question, answered No")
        program.wait_shot(lambda s: s.pixel(*above) == MAGENTA, "the new scene without the added cube")
        add_on_top(program, shot)
        program.menu("alt+f", "n", "新規作成")
        program.answer(CONFIRM, "y", "the save question, answered Yes")
        program.file_dialog(SAVE_AS, program.wine_path("kept.bvo"), "the save dialog")
        wait_file(program.path("kept.bvo"), "the saved scene")
        program.wait_shot(lambda s: s.pixel(*above) == MAGENTA, "the new scene after saving")
        check(read(program.path("kept.bvo")).count(b"\r\n") == 5, "the saved scene does not hold two cubes")
        check(program.title() == "Blokkenveld", f"title {program.title()!r} after New")


@e2e
def closing_a_modified_unnamed_scene_and_cancelling_the_dialog_keeps_the_window():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        add_on_top(program, shot)
        program.wait_main_focus()
        program.chord("alt+F4")
        program.answer(CONFIRM, "y", "the save question")
        dialog = program.wait_window(SAVE_AS, "the save dialog")
        program.key("Escape")
        program.wait_gone(dialog, "the save dialog")
        program.wait_main_focus()
        check(program.process.poll() is None, "the program ended though the save was cancelled")
        program.chord("alt+F4")
        program.answer(CONFIRM, "n", "the save question")
        check(program.wait_exit(), "the program did not end after No")


@e2e
def an_imported_bitmap_is_saved_as_the_writers_save_it():
    with launched(dict(MAGENTA_SETTINGS), named("pic.bmp"), before_start=with_file("pic.bmp", bitmap_3x2()),
                  ready=lambda s: s.fraction(MAGENTA) > 0.4) as (program, shot):
        save(shot, "imported_bitmap")
        check(program.title() == "Blokkenveld", f"title {program.title()!r} after an import")
        program.menu("alt+f", "s", "上書き保存")  # unnamed: the save dialog comes
        program.file_dialog(SAVE_AS, program.wine_path("pic.bvo"), "the save dialog")
        wait_file(program.path("pic.bvo"), "the saved scene")
        check(read(program.path("pic.bvo")) == writers_output(program.path("pic.bmp"), "pic.bvo"),
              "the saved import differs from the writer's")


@e2e
def palettes_are_saved_and_loaded_by_bare_name_in_the_program_folder():
    red_palette = "BlokkenveldPalette\r\n" + ("ffff0000 " * 7 + "ffff0000\r\n") * 8
    with launched(dict(MAGENTA_SETTINGS), before_start=with_file("red.bvp", red_palette)) as (program, shot):
        program.click(*SAVE_PALETTE)
        program.file_dialog(SAVE_AS, program.wine_path("mine.bvp"), "the palette save dialog")
        wait_file(program.path("mine.bvp"), "the saved palette")
        check(read(program.path("mine.bvp")) == read(program.path("palette.bvp")).replace(b"\r\n", b"\n").replace(
            b"\n", b"\r\n"), "the saved palette differs from the one loaded at start")
        wait_until(lambda: ("PALETTE", "mine.bvp") in (read_ini(program.ini_path) or []), "PALETTE=mine.bvp")
        program.click(*LOAD_PALETTE)
        program.file_dialog(OPEN, program.wine_path("red.bvp"), "the palette open dialog")
        program.wait_shot(lambda s: s.pixel(30 + 16 * 3, 83 + 16 * 4) == (255, 0, 0), "the red palette")
        wait_until(lambda: ("PALETTE", "red.bvp") in (read_ini(program.ini_path) or []), "PALETTE=red.bvp")


@e2e
def loading_a_texture_asks_first_when_cubes_show_the_old_one():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        program.click(84, 34)  # Paint
        program.click(25 + 16 * 2 + 8, 318 + 8)  # an atlas cell
        top = top_face(shot)
        before = shot.pixel(*top)
        program.click(*top)
        program.wait_shot(lambda s: s.pixel(*top) != before, "the textured top face")
        program.click(*LOAD_TEXTURE)
        program.answer(CONFIRM, "n", "the texture question")
        # Frames run again (none runs while a dialog is open): the Delete tool button shows the press.
        before = program.shot()
        program.click(60, 34)
        program.wait_shot(lambda s: s.pixel(60, 34) != before.pixel(60, 34), "the Delete tool to be taken after No")
        check(not find_windows(OPEN), "a file dialog opened after No")


@e2e
def a_screenshot_is_the_client_area_as_shown():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        program.menu("alt+f", "t", "スクリーンショット")
        program.file_dialog("^スクリーンショットの保存$", program.wine_path("shot.bmp"), "the screenshot dialog")
        wait_file(program.path("shot.bmp"), "the screenshot")
        data = read(program.path("shot.bmp"))
        width, height = struct.unpack_from("<ii", data, 18)
        check((width, height) == (shot.width, shot.height), f"screenshot {width}x{height}, client {shot.width}x{shot.height}")
        offset = struct.unpack_from("<I", data, 10)[0]
        stride = (width * 3 + 3) & ~3
        now = program.wait_still()
        for y in range(0, height, 37):
            for x in range(0, width, 41):
                i = offset + (height - 1 - y) * stride + x * 3
                check((data[i + 2], data[i + 1], data[i]) == now.pixel(x, y), f"screenshot pixel ({x},{y}) differs")


@e2e
def a_save_into_a_read_only_folder_is_refused_and_the_old_file_survives():
    with launched(dict(MAGENTA_SETTINGS), named("scene.bvo"), before_start=with_file("scene.bvo", crlf(SCENE))) \
            as (program, shot):
        program.wait_title("Blokkenveld - " + program.wine_path("scene.bvo"))
        add_on_top(program, shot, 1)
        files = sorted(os.listdir(program.folder))
        subprocess.run(["chattr", "+i", program.folder], check=True, timeout=10)
        try:
            program.menu("alt+f", "s", "上書き保存")
            program.answer(CONFIRM, "Return", "the overwrite question")
            program.answer(ERROR, "Return", "the message that the file could not be saved")
        finally:
            subprocess.run(["chattr", "-i", program.folder], check=True, timeout=10)
        check(read(program.path("scene.bvo")) == crlf(SCENE).encode(), "the old file changed")
        check(sorted(os.listdir(program.folder)) == files, f"files left behind: {os.listdir(program.folder)}")


def centre_of(shot, colour):
    """The middle of the pixels of exactly one colour, or None."""
    points = [(x, y) for y in range(0, shot.height, 2) for x in range(0, shot.width, 2) if shot.pixel(x, y) == colour]
    if not points:
        return None
    return sum(p[0] for p in points) // len(points), sum(p[1] for p in points) // len(points)


@e2e
def adding_at_the_grid_edge_shows_the_warning():
    # A green cube at the top of the grid: adding on its top face would leave the range.
    settings = dict(MAGENTA_SETTINGS, PWIN_SHOW=0, SWIN_SHOW=0)
    edge = "Blokkenveld\n1 0\n1\n100 198 100 ff00ff00\n"
    top = (0, 180, 0)  # its top face, lit at 45 degrees
    # Opened out of the start view, the cube is framed at the view's middle.
    with launched(settings, named("edge.bvo"), before_start=with_file("edge.bvo", edge)) as (program, shot):
        program.move(400, 300)
        subprocess.run(["xdotool", "click", "--repeat", "90", "--delay", "10", "5"], check=True, timeout=30)
        program.wait_still()
        # S moves the view up, W down: steer until the cube stands near the middle.
        def cube_height(shot):
            points = [y for y in range(0, shot.height, 2) for x in range(300, 500, 2) if shot.pixel(x, y) != MAGENTA]
            return sum(points) // len(points) if points else -1000

        for _ in range(40):
            height = cube_height(program.wait_still())
            if abs(height - 300) < 60:
                break
            key = "s" if height < 300 else "w"
            subprocess.run(["xdotool", "keydown", key], check=True, timeout=10)
            time.sleep(0.05 if abs(height - 300) < 200 else 0.4)
            subprocess.run(["xdotool", "keyup", key], check=True, timeout=10)
        check(abs(cube_height(program.wait_still()) - 300) < 60, "could not bring the cube to the middle")
        program.move(400, 300)
        subprocess.run(["xdotool", "click", "--repeat", "33", "--delay", "10", "4"], check=True, timeout=30)
        near = program.wait_still()
        face = centre_of(near, top)
        check(face is not None, "the cube's top face is out of view after zooming in")
        program.click(*face)
        program.menu("alt+v", "s", "ステータスウインドウ")
        # The warning's dark text beside the count, on the light strip.
        warned = program.wait_shot(
            lambda s: s.count((0, 0, 0), (200, s.height - 16, 360, s.height), tolerance=80) > 30,
            "the limit warning in the status strip")
        save(warned, "grid_edge_warning")


@e2e
def a_save_as_of_an_unknown_kind_is_told_and_keeps_the_name_and_title():
    with launched(dict(MAGENTA_SETTINGS), named("scene.bvo"), before_start=with_file("scene.bvo", crlf(SCENE))) \
            as (program, shot):
        scene = program.wine_path("scene.bvo")
        program.wait_title("Blokkenveld - " + scene)
        add_on_top(program, shot, 2)
        program.menu("alt+f", "a", "名前を付けて保存")
        program.file_dialog(SAVE_AS, program.wine_path("model.txt"), "the save dialog")
        program.answer(ERROR, "Return", "the message that the file could not be saved")
        check(program.title() == "Blokkenveld - " + scene, f"the title became {program.title()!r}")
        check(not os.path.exists(program.path("model.txt")), "a file of an unknown kind was written")
        # The next Save writes the file the title names.
        program.menu("alt+f", "s", "上書き保存")
        program.answer(CONFIRM, "Return", "the overwrite question")
        wait_until(lambda: read(program.path("scene.bvo")).count(b"\r\n") == 9, "the scene saved with its new cube")
        check(sorted(os.listdir(program.folder)) == ["Blokkenveld.exe", "Blokkenveld.ini", "palette.bvp", "scene.bvo",
                                                     "tex.bmp"],
              f"files in the program folder: {sorted(os.listdir(program.folder))}")


@e2e
def the_atlas_survives_a_maximize_after_a_screenshot_saved_in_another_folder():
    # The file dialog makes the screenshot's folder the current one; the atlas must not be looked for there.
    with launched(dict(MAGENTA_SETTINGS), named("scene.bvo"), before_start=with_file("scene.bvo", crlf(SCENE))) \
            as (program, shot):
        program.wait_title("Blokkenveld - " + program.wine_path("scene.bvo"))
        textured = top_face(shot, 2)
        before = program.wait_still().pixel(*textured)
        os.mkdir(program.path("shots"))
        program.menu("alt+f", "t", "スクリーンショット")
        program.file_dialog("^スクリーンショットの保存$", program.wine_path("shots\\shot.bmp"), "the screenshot dialog")
        wait_file(program.path("shots/shot.bmp"), "the screenshot")
        program.menu("alt+space", "x", "Maximize")
        program.wait_shot(lambda s: s.width > shot.width, "the maximized view")
        program.menu("alt+space", "r", "Restore")
        # The white backdrop shows until the rebuilt device presents its first frame.
        program.wait_shot(lambda s: s.width == shot.width and s.fraction(program.background) > 0.4,
                          "the view drawn again at its first size")
        after = program.wait_still().pixel(*textured)
        check(after == before, f"the textured face turned from {before} to {after}")


@e2e
def a_scene_another_program_holds_open_for_writing_still_opens():
    holder = []

    def hold(program):
        program.write("scene.bvo", crlf(SCENE))
        tool = os.path.join(Suite.exe_dir, "e2e_hold_file.exe")
        process = subprocess.Popen([WINE64, tool, program.wine_path("scene.bvo")], stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, start_new_session=True)
        holder.append(process)
        check(process.stdout.readline().strip() == b"held", "the other program could not open the scene")

    try:
        with launched(dict(MAGENTA_SETTINGS), named("scene.bvo"), before_start=hold) as (program, _):
            program.wait_title("Blokkenveld - " + program.wine_path("scene.bvo"))
    finally:
        for process in holder:
            try:
                os.killpg(process.pid, 9)
            except ProcessLookupError:
                pass
            process.wait(timeout=10)
