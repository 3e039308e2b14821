"""The language: English chosen from the Options menu reads in the menus, the status strip, the boxes and the
dialogs, is kept for the next start, and Japanese chosen again is today's program to the pixel."""
from files_tests import add_on_top
from harness import Screen, check, e2e, geometry, launched, popup_menus, wait_until
from window_tests import MAGENTA_SETTINGS


def window_shot(program):
    """The whole main window: the menu bar is outside the client area."""
    return Screen.grab(geometry(program.main_window))


def choose_language(program, english):
    """Options > 言語 / Language, the last item of the menu, then Japanese (the first item) or English."""
    program.wait_main_focus()
    program.chord("alt+o")
    wait_until(popup_menus, "the Options menu")
    program.key("Up", "Right")
    wait_until(lambda: len(popup_menus()) == 2, "the language submenu")
    program.key(*(["Down"] if english else []), "Return")
    wait_until(lambda: not popup_menus(), "the menus to close after choosing the language")


@e2e
def english_chosen_from_the_menu_reads_everywhere_is_kept_and_japanese_comes_back_unchanged():
    # The program started in English, for the pictures the switch must give.
    with launched(dict(MAGENTA_SETTINGS, LANGUAGE="en")) as (program, shot):
        english_start_shot = window_shot(program)
        english_client = program.wait_still()
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        japanese = window_shot(program)
        check(japanese.data != english_start_shot.data, "the English start looks like the Japanese one")
        choose_language(program, english=True)
        program.wait_shot(lambda s: s.data == english_client.data, "the status strip in English")
        check(window_shot(program).data == english_start_shot.data,
              "the menu bar after choosing English differs from the one the program starts with in English")
        # A question in English: the save question, titled "Confirm".
        add_on_top(program, shot)
        program.chord("ctrl+n")
        program.answer("^Confirm$", "n", "the save question in English")
        check(program.close(), "the program did not end")
        with open(program.path("Blokkenveld.ini"), encoding="latin-1") as f:
            settings = f.read()
        check("LANGUAGE=en" in settings.splitlines(), f"the choice was not kept:\n{settings}")
    # Started again with the settings it wrote: English, and Japanese chosen again is today's start to the pixel.
    with launched(dict(MAGENTA_SETTINGS, LANGUAGE="en")) as (program, shot):
        check(window_shot(program).data == english_start_shot.data, "the next start is not in English")
        choose_language(program, english=False)
        program.wait_shot(lambda s: s.data != english_client.data, "the status strip in Japanese")
        check(window_shot(program).data == japanese.data, "Japanese chosen again differs from today's start")
