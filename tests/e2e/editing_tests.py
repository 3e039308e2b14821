"""Editing with the real mouse and keys: the tools on the start cube, undo and redo, the paint window's controls."""
import time

from harness import check, e2e, launched, read_ini, run, save, wait_file
from loop_tests import OtherProgram
from picture_tests import panel_at, project
from window_tests import MAGENTA, MAGENTA_SETTINGS

# Panel offsets of the controls used here (the panel sits at 0, 0 unless a test moves it).
PAINT_TOOL = (84, 34)
LIGHTING_SWITCH, FACES_SWITCH, WIREFRAME_SWITCH = (36, 58), (60, 58), (84, 58)
RED_PLUS = (122, 269)
BLACK_CELL = (25 + 16 * 7 + 8, 78 + 8)
SWATCH = (40, 230)
RED_NUMBER = (131, 264, 156, 277)
GREEN_NUMBER = (131, 280, 156, 293)
WHITE = (255, 255, 255)


def point(shot, world):
    x, y = project(world, shot.width, shot.height)
    return int(x), int(y)


def top_of_column(shot, height):
    """The centre of the top face of a column of cubes standing on the start cube."""
    return point(shot, (100.5, 100 + height, 100.5))


def region(shot, box):
    left, top, right, bottom = box
    return [shot.pixel(x, y) for y in range(top, bottom) for x in range(left, right)]


@e2e
def adding_on_the_top_face_then_undo_and_redo():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        above = top_of_column(shot, 2)
        check(shot.pixel(*above) == MAGENTA, "something is drawn above the start cube at start")
        program.click(*top_of_column(shot, 1))
        added = program.wait_shot(lambda s: s.pixel(*above) != MAGENTA, "a new cube on top of the start cube")
        save(added, "added_on_top")
        program.chord("ctrl+z")
        program.wait_shot(lambda s: s.pixel(*above) == MAGENTA, "Ctrl+Z to take the new cube away")
        program.chord("ctrl+y")
        program.wait_shot(lambda s: s.pixel(*above) != MAGENTA, "Ctrl+Y to bring the new cube back")


@e2e
def painting_with_a_palette_colour_and_with_a_texture_cell():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        program.click(*LIGHTING_SWITCH)  # unlit faces show their colour exactly
        top = top_of_column(shot, 1)
        program.wait_shot(lambda s: s.pixel(*top) == WHITE, "the unlit white top face")
        program.click(*PAINT_TOOL)
        program.click(25 + 16 * 4 + 8, 78 + 16 * 3 + 8)  # a palette cell: the swatch shows its colour
        cell = program.wait_shot(lambda s: s.pixel(*SWATCH) != WHITE, "the swatch to take the cell's colour")
        colour = cell.pixel(*SWATCH)
        program.click(*top)
        painted = program.wait_shot(lambda s: s.pixel(*top) == colour, f"the top face painted {colour}")
        save(painted, "painted_with_palette_colour")
        program.click(25 + 16 * 2 + 8, 318 + 16 * 1 + 8)  # an atlas cell
        program.click(*top)
        textured = program.wait_shot(lambda s: s.pixel(*top) not in (colour, WHITE), "the top face textured")
        save(textured, "painted_with_texture")
        texels = {textured.pixel(top[0] + dx, top[1] + dy) for dx in range(-6, 7, 3) for dy in range(-4, 5, 2)}
        check(len(texels) > 1, f"the textured face shows a single colour {texels}")


@e2e
def red_plus_raises_the_number_and_the_title_strip_drags_the_panel():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        program.click(*BLACK_CELL)
        program.wait_shot(lambda s: s.pixel(*SWATCH) == (0, 0, 0), "the black palette cell in the swatch")
        check(region(program.shot(), RED_NUMBER) == region(program.shot(), GREEN_NUMBER),
              "red and green do not show the same number for black")
        program.click(*RED_PLUS)
        raised = program.wait_shot(lambda s: region(s, RED_NUMBER) != region(s, GREEN_NUMBER),
                                   "the red number to change")
        save(raised, "red_plus")
        program.move(80, 10)
        program.button(1, True)
        try:
            # A frame reads the press where the cursor is then: it must still be on the title strip, and the panel
            # moving with the first step shows that the drag has begun.
            time.sleep(0.3)
            program.move(90, 10)
            program.wait_shot(panel_at(10, 0), "the panel to follow the title-strip drag's first step")
            for step in range(1, 6):
                program.move(80 + 40 * step, 10 + 10 * step)
            program.wait_shot(panel_at(200, 50), "the panel to follow the title-strip drag to 200, 50")
            # Past the bottom, the panel stops where it still leaves the status strip free.
            program.move(280, 400)
            program.wait_shot(panel_at(200, 600 - 519), "the panel to stop at the lowest place it may take")
        finally:
            program.button(1, False)


@e2e
def display_switches_change_what_the_view_shows():
    green = (0, 255, 0)
    settings = dict(MAGENTA_SETTINGS, WFCOLOR_R=0, WFCOLOR_G=255, WFCOLOR_B=0)
    with launched(settings) as (program, shot):
        view = (200, 100, 600, 500)

        def colours(s):
            left, top, right, bottom = view
            return {s.pixel(x, y) for y in range(top, bottom, 2) for x in range(left, right, 2)}
        program.click(*LIGHTING_SWITCH)
        unlit = program.wait_shot(lambda s: WHITE in colours(s), "white faces with the lighting off")
        check(colours(unlit) <= {WHITE, green, MAGENTA}, f"unlit view shows {colours(unlit) - {WHITE, green, MAGENTA}}")
        program.click(*FACES_SWITCH)
        lines = program.wait_shot(lambda s: colours(s) == {green, MAGENTA}, "only wireframe lines")
        save(lines, "wireframe_only")
        program.click(*WIREFRAME_SWITCH)
        empty = program.wait_shot(lambda s: colours(s) == {MAGENTA}, "an empty view with every switch off")
        check(panel_at(0, 0)(empty), "the panel is not drawn with every switch off")


@e2e
def a_mirrored_shift_drag_box_is_saved_and_undone_as_one_step():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        def saved_as(name):
            program.menu("alt+f", "a", "名前を付けて保存")
            program.file_dialog("^(Save As|名前を付けて保存)$", program.wine_path(name), "the save dialog")
            wait_file(program.path(name), "the saved scene")
            return open(program.path(name), "rb").read().split(b"\r\n")
        program.menu("alt+o", "x", "ミラー X")
        program.move(*top_of_column(shot, 1))  # a box from here to the -x side: 99..100 by 100..101 by 100
        run(["xdotool", "keydown", "shift", "mousedown", "1", "sleep", "0.3", "keyup", "shift"])
        program.move(*point(shot, (100, 100.5, 100.6)))
        run(["xdotool", "sleep", "0.5", "mouseup", "1"])
        image = point(shot, (101.5, 102, 100.5))  # the top of the upper cube of the box's mirror image
        program.wait_shot(lambda s: s.pixel(*image) != MAGENTA, "the box and its image added")
        cubes = [b"%d %d 100 ffffffff" % (x, y) for x in (99, 100, 101) for y in (100, 101)]
        check(sorted(saved_as("box.bvo")) == sorted([b"Blokkenveld", b"1 0", b"6", b""] + cubes), "the saved box")
        program.chord("ctrl+z")
        program.wait_shot(lambda s: s.pixel(*image) == MAGENTA, "Ctrl+Z to take the box and its image away")
        check(saved_as("undone.bvo") == [b"Blokkenveld", b"1 0", b"1", cubes[2], b""], "not the start cube again")


@e2e
def a_key_that_chose_a_menu_item_or_answered_a_box_does_not_act_again_in_the_view():
    """N chooses File > New and answers the save question's No while the cursor is over a face: the view must not
    take the same press as its own N, which would lay a mirror plane there and keep it in the settings."""
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        top = top_of_column(shot, 1)
        above = top_of_column(shot, 2)
        program.move(*top)
        program.menu("alt+f", "n", "新規作成")
        program.click(*top)
        program.wait_shot(lambda s: s.pixel(*above) != MAGENTA, "a cube added, so that New asks first")
        program.menu("alt+f", "n", "新規作成")
        program.answer("^確認$", "n", "the save question, answered No")
        program.wait_shot(lambda s: s.pixel(*above) == MAGENTA, "the new scene")
        program.click(*top)
        program.wait_shot(lambda s: s.pixel(*above) != MAGENTA, "a cube added on the new scene's start cube")
        program.move(*above)
        program.wait_main_focus()
        program.key("m", pause=0.5)  # a press the view received still acts: the planes through the cube above
        program.chord("alt+F4")
        program.answer("^確認$", "n", "the save question on closing, answered No")
        check(program.wait_exit(), "the program did not end")
        settings = dict(read_ini(program.ini_path) or [])
        check(settings.get("MIRROR_Y") == "0", f"a mirror plane was laid by the menu's or the box's N: {settings}")
        check(settings.get("MIRROR_PLANE_Y") == "202", f"M did not move the planes to the cube above: {settings}")


@e2e
def a_selection_copied_pasted_on_a_face_moved_and_turned_is_saved():
    """Three cubes, an L seen from the side, chosen by a Ctrl drag, copied, pasted on the top face, moved one cell by
    Shift+Left (+x as the start camera looks) and turned a quarter: the saved file holds every cube where the rules
    put it, the original's first."""
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        top_of_a = top_of_column(shot, 1)
        program.click(*point(shot, (100.5, 100.5, 101)))  # A's +z face: B at (100, 100, 101)
        program.click(*top_of_a)  # C on A
        top_of_c = top_of_column(shot, 2)
        program.wait_shot(lambda s: s.pixel(*top_of_c) != MAGENTA, "B and C added")
        program.move(*top_of_c)
        run(["xdotool", "keydown", "ctrl", "mousedown", "1", "sleep", "0.3"])
        program.move(*point(shot, (100.5, 101, 101.5)))  # B's top face
        run(["xdotool", "sleep", "0.4", "mouseup", "1", "keyup", "ctrl"])
        program.wait_main_focus()
        program.chord("ctrl+c")
        program.move(*top_of_c)
        program.chord("ctrl+v", pause=0.5)
        program.chord("shift+Left", pause=0.5)
        program.key("r", pause=0.5)
        save(program.wait_still(), "selection_turned")
        program.chord("ctrl+s")  # an unnamed scene: Save asks for a name
        program.file_dialog("^(Save As|名前を付けて保存)$", program.wine_path("moved.bvo"), "the save dialog")
        wait_file(program.path("moved.bvo"), "the saved scene")
        cubes = [b"100 100 100", b"100 100 101", b"100 101 100", b"100 102 100", b"101 102 100", b"100 103 100"]
        expected = [b"Blokkenveld", b"1 0", b"6"] + [c + b" ffffffff" for c in cubes] + [b""]
        saved = open(program.path("moved.bvo"), "rb").read().split(b"\r\n")
        check(saved == expected, f"the saved scene: {saved}")


@e2e
def a_copy_reaches_another_program_as_text_and_stays_there_after_the_program_closes():
    """The start cube selected and copied: another program's paste reads the scene text, which the program makes
    only when asked for it. Then a cube added on it, both copied, and the program closed before anything pasted that
    copy: the text is left on the clipboard as it closes."""
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        other = OtherProgram(program)
        program.wait_main_focus()
        program.chord("ctrl+a")
        program.chord("ctrl+c", pause=0.5)
        text = other.paste("pasted.txt")
        check(text == "Blokkenveld\r\n1 0\r\n1\r\n0 0 0 ffffffff\r\n", f"the clipboard's text: {text!r}")
        top = top_of_column(shot, 1)
        program.click(*top)
        program.wait_shot(lambda s: s.pixel(*top) != shot.pixel(*top), "the cube added")
        program.wait_main_focus()
        program.chord("ctrl+a")
        program.chord("ctrl+c", pause=0.5)
        program.chord("alt+F4")
        program.answer("^確認$", "n", "the save question on closing, answered No")
        check(program.wait_exit(), "the program did not end")
        text = other.paste("pasted.txt")
        check(text == "Blokkenveld\r\n1 0\r\n2\r\n0 0 0 ffffffff\r\n0 1 0 ffffffff\r\n",
              f"the clipboard's text after the program closed: {text!r}")
