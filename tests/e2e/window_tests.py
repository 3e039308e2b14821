"""The main window, its settings file and the colour settings dialog."""
from harness import Screen, check, e2e, launched, popup_menus, read_ini, save, wait_until

MAGENTA = (250, 0, 250)  # a background no theme colour shares
MAGENTA_SETTINGS = {"BGCOLOR_R": 250, "BGCOLOR_G": 0, "BGCOLOR_B": 250}


def check_client_size(shot, size, status_shown=True):
    check((shot.width, shot.height) == size, f"client area {shot.width}x{shot.height}, expected {size}")
    if status_shown:
        # The frame fills exactly that area: the status strip ends on its last row.
        check(shot.pixel(shot.width - 40, shot.height - 1) != shot.pixel(shot.width - 40, shot.height - 30),
              "no status strip on the last row of the client area")


@e2e
def no_settings_file_gives_defaults_and_writes_exit_keys():
    with launched(None) as (program, shot):
        save(shot, "defaults")
        check_client_size(shot, (800, 600))
        check(program.close(), "the program did not end after Alt+F4")
        items = read_ini(program.ini_path)
        check(items == [("WINDOW_MODE", "1"), ("WINDOW_MAXIMIZED", "5"), ("PWIN_X", "0"), ("PWIN_Y", "0"),
                        ("PWIN_SHOW", "1"), ("SWIN_SHOW", "1"), ("TEXTURE", "tex.bmp")],
              f"settings written at exit: {items}")


@e2e
def window_mode_2_gives_1024_by_768():
    with launched(dict(MAGENTA_SETTINGS, WINDOW_MODE=2)) as (program, shot):
        check_client_size(shot, (1024, 768))
        check(program.close(), "the program did not end")
        check(("WINDOW_MODE", "2") in read_ini(program.ini_path), "WINDOW_MODE=2 not written back")


@e2e
def unknown_window_mode_falls_back_to_800_by_600_and_is_written_as_1():
    with launched(dict(MAGENTA_SETTINGS, WINDOW_MODE=7)) as (program, shot):
        check_client_size(shot, (800, 600))
        check(program.close(), "the program did not end")
        items = dict(read_ini(program.ini_path))
        check(items["WINDOW_MODE"] == "1", f"WINDOW_MODE written as {items['WINDOW_MODE']}")
        check(items["BGCOLOR_R"] == "250", "colour keys must be left as they were at exit")


@e2e
def window_maximized_3_starts_maximized():
    settings = dict(MAGENTA_SETTINGS, WINDOW_MAXIMIZED=3)
    with launched(settings, ready=lambda shot: shot.width >= 1270 and shot.height >= 940) as (program, _):
        shot = program.wait_shot(program.first_frame, "a frame at the maximized size")
        save(shot, "maximized")
        # The status strip follows the larger client area after the device was rebuilt.
        check(shot.pixel(shot.width - 40, shot.height - 2) != MAGENTA, "no status strip at the bottom")
        check(program.close(), "the program did not end")
        check(dict(read_ini(program.ini_path))["WINDOW_MAXIMIZED"] == "3", "WINDOW_MAXIMIZED not kept as 3")


def has_colour(colour, min_run=300):
    return lambda shot: any(shot.longest_run(colour, row=y)[1] >= min_run for y in range(50, shot.height - 50, 50))


def open_settings_and_choose_black_background(program):
    """Opens the settings dialog, the colour chooser from 背景 and confirms black; returns a picture of the
    desktop with the chooser open."""
    program.menu("alt+o", "o", "設定")
    dialog = program.wait_window("^設定$", "the settings dialog")
    program.key("space")  # the focus starts on 背景
    chooser = program.wait_window("^(Color|色の設定)$", "the colour chooser")
    shot = Screen.grab()
    program.key("Return")  # the chooser opens on black
    program.wait_gone(chooser, "the colour chooser")
    program.wait_window("^設定$", "the settings dialog after the chooser")
    return shot, dialog


@e2e
def settings_dialog_ok_writes_the_six_colour_keys():
    settings = {"BGCOLOR_R": 300, "BGCOLOR_G": 0, "BGCOLOR_B": 0, "WFCOLOR_R": 12, "WFCOLOR_G": 34, "WFCOLOR_B": 56}
    with launched(settings) as (program, shot):
        chooser, dialog = open_settings_and_choose_black_background(program)
        save(chooser, "colour_chooser")
        save(Screen.grab(), "settings_dialog")
        # While the dialog is open the view keeps the colour it opened with.
        check(has_colour((44, 0, 0))(program.shot()), "the view changed colour while the dialog was open")
        program.key("Tab", "Tab", "Return")
        program.wait_gone(dialog, "the settings dialog")
        items = dict(read_ini(program.ini_path))
        expected = {"BGCOLOR_R": "0", "BGCOLOR_G": "0", "BGCOLOR_B": "0",
                    "WFCOLOR_R": "12", "WFCOLOR_G": "34", "WFCOLOR_B": "56"}
        check(all(items.get(k) == v for k, v in expected.items()), f"settings after OK: {items}")
        program.wait_shot(has_colour((0, 0, 0)), "the view in the chosen black background")
        check(program.close(), "the program did not end")


@e2e
def settings_dialog_cancel_writes_nothing_and_keeps_the_view():
    settings = {"BGCOLOR_R": 300, "BGCOLOR_G": 0, "BGCOLOR_B": 0}
    with launched(settings) as (program, shot):
        before = open(program.ini_path, "rb").read()
        _, dialog = open_settings_and_choose_black_background(program)
        program.key("Escape")
        program.wait_gone(dialog, "the settings dialog")
        program.wait_main_focus()
        check(open(program.ini_path, "rb").read() == before, "Cancel wrote the settings file")
        check(has_colour((44, 0, 0))(program.shot()), "the view lost its background after Cancel")
        check(program.close(), "the program did not end")
        check(dict(read_ini(program.ini_path))["BGCOLOR_R"] == "300", "colour changed by exit")


@e2e
def settings_dialog_close_box_keeps_the_colours_for_this_run_only():
    settings = {"BGCOLOR_R": 300, "BGCOLOR_G": 0, "BGCOLOR_B": 0}
    with launched(settings) as (program, shot):
        before = open(program.ini_path, "rb").read()
        _, dialog = open_settings_and_choose_black_background(program)
        program.chord("alt+F4")  # the dialog's close box
        program.wait_gone(dialog, "the settings dialog")
        check(open(program.ini_path, "rb").read() == before, "the close box wrote the settings file")
        program.wait_shot(has_colour((0, 0, 0)), "the chosen background in effect after the close box")
        check(program.close(), "the program did not end")
        check(dict(read_ini(program.ini_path))["BGCOLOR_R"] == "300", "the chosen colour reached the file")


@e2e
def view_menu_toggles_panels_and_the_exit_settings_follow():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        check(shot.pixel(60, 200) != MAGENTA, "paint window not shown at start")
        program.wait_main_focus()
        program.chord("alt+v")
        wait_until(popup_menus, "the View menu")
        save(Screen.grab(), "view_menu_checked")
        program.key("p")
        program.wait_shot(lambda s: s.pixel(60, 200) == MAGENTA, "the paint window to disappear")
        program.menu("alt+v", "s", "ステータスウインドウ")
        program.wait_shot(lambda s: s.pixel(s.width - 40, s.height - 2) == MAGENTA, "the status strip to disappear")
        program.chord("alt+v")
        wait_until(popup_menus, "the View menu")
        save(Screen.grab(), "view_menu_unchecked")
        program.key("Escape", "Escape")
        wait_until(lambda: not popup_menus(), "the View menu to close")
        check(program.close(), "the program did not end")
        items = dict(read_ini(program.ini_path))
        check(items["PWIN_SHOW"] == "0" and items["SWIN_SHOW"] == "0", f"panel settings at exit: {items}")


@e2e
def version_dialog_opens_and_closes_with_ok():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        program.menu("alt+h", "a", "バージョン情報")
        dialog = program.wait_window("^バージョン情報$", "the version dialog")
        save(Screen.grab(), "version_dialog")
        program.key("Return")
        program.wait_gone(dialog, "the version dialog")
        program.wait_main_focus()
        check(program.close(), "the program did not end")


@e2e
def view_check_marks_start_from_the_settings():
    # Hidden at start: the item carries no check mark, so choosing it shows the panel.
    settings = dict(MAGENTA_SETTINGS, PWIN_SHOW=0, SWIN_SHOW=0)
    with launched(settings, ready=lambda s: s.fraction(MAGENTA) > 0.9) as (program, shot):
        check(shot.pixel(60, 200) == MAGENTA, "the paint window is drawn though PWIN_SHOW=0")
        program.menu("alt+v", "p", "ペイントウインドウ")
        program.wait_shot(lambda s: s.pixel(60, 200) != MAGENTA, "the paint window to appear")
        program.menu("alt+v", "s", "ステータスウインドウ")
        program.wait_shot(lambda s: s.pixel(s.width - 40, s.height - 2) != MAGENTA, "the status strip to appear")
