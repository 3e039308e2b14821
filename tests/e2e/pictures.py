#!/usr/bin/env python3
"""Remakes the pictures of the help and of the README from the real program under Wine.

Usage: pictures.py EXE_DIR [--help-images DIR] [--docs DIR] [--language en]

Every picture is cut from a screenshot of Blokkenveld.exe running on a virtual display: the paint window's
controls at their places in the panel, the menus as they open, the dialogs, the samples as they look after
zooming out. The defaults write into resources/help/images and docs of this repository; commit the result.
With --language en the program runs in English, in an English Wine session, and only the pictures that show its
words are taken, into resources/help/en/images: the English help shows them in place of the Japanese ones.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Rect, Screen, Suite, VirtualDisplay, end_wine, geometry, popup_menus, wait_until  # noqa: E402
from installed import JAPANESE_LOCALE, InstalledProgram, locale_installed, running, windows_path  # noqa: E402
import picture_tests  # noqa: E402
from picture_tests import START_DISTANCE  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SKY = {"BGCOLOR_R": 150, "BGCOLOR_G": 190, "BGCOLOR_B": 230}
WIREFRAME_SWITCH = (84, 58)
ZOOM_OUT = {"house": 12, "tree": 14, "character": 12, "car": 8, "town": 34, "fuji": 28}

# The pictures that show the program's words, and what the pictures are taken by in each language: the access key
# and title of the settings and version dialogs, and the save question's title.
WORDED = {"panel", "status_strip", "palette_buttons", "texture_bottom", "menu_file", "menu_edit", "menu_options",
          "menu_view", "menu_help", "dialog_settings", "dialog_version", "message_save", "window"}
WORDS = {
    "ja": {"settings": ("o", "^設定$"), "version": ("a", "^バージョン情報$"), "confirm": "^確認$"},
    "en": {"settings": ("t", "^Settings$"), "version": ("a", "^About Blokkenveld$"), "confirm": "^Confirm$"},
}
ENGLISH_LOCALE = "en_US.UTF-8"

# Paint window controls, as panel offsets (left, top, right, bottom), and how much each picture is enlarged.
CONTROLS = {
    "title_strip": ((0, 0, 158, 21), 2),
    "tool_add": ((24, 22, 48, 46), 2), "tool_delete": ((48, 22, 72, 46), 2),
    "tool_paint": ((72, 22, 96, 46), 2), "tool_pick": ((96, 22, 120, 46), 2),
    "switch_light": ((24, 46, 48, 70), 2), "switch_faces": ((48, 46, 72, 70), 2),
    "switch_wire": ((72, 46, 96, 70), 2), "undo": ((96, 46, 120, 70), 2), "redo": ((120, 46, 144, 70), 2),
    "palette_cells": ((23, 76, 155, 208), 2), "swatch": ((23, 208, 75, 260), 2),
    "palette_buttons": ((76, 208, 154, 243), 2), "colour_bars": ((23, 261, 158, 311), 2),
    "atlas_cells": ((23, 316, 155, 448), 2), "texture_bottom": ((23, 448, 155, 500), 2),
}


def project(point, width, height, distance=START_DISTANCE):
    """Client position of a world point for the start camera moved back to distance (the wheel only zooms)."""
    saved = picture_tests.START_DISTANCE
    picture_tests.START_DISTANCE = distance
    try:
        return picture_tests.project(point, width, height)
    finally:
        picture_tests.START_DISTANCE = saved


class Pictures:
    def __init__(self, exe_dir, help_dir, docs_dir, language="ja"):
        self.exe_dir, self.help_dir, self.docs_dir, self.language = exe_dir, help_dir, docs_dir, language
        wanted = JAPANESE_LOCALE if language == "ja" else ENGLISH_LOCALE
        self.locale = wanted if locale_installed(wanted) else None
        self.words = WORDS[language]

    def program(self, settings=None):
        # Inside the Wine prefix's drive C, so that the title bar shows a path a Windows user would recognise.
        folder = os.path.join(os.environ["WINEPREFIX"], "drive_c", "Blokkenveld")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for name in ("Blokkenveld.exe", "tex.bmp", "palette.bvp"):
            shutil.copy(os.path.join(self.exe_dir, name), folder)
        shutil.copytree(os.path.join(self.exe_dir, "samples"), os.path.join(folder, "samples"))
        if self.language != "ja":
            settings = dict(settings or {}, LANGUAGE=self.language)
        return InstalledProgram(folder, self.locale, settings)

    def save(self, image, directory, name, scale=1):
        if self.language != "ja" and (name not in WORDED or directory != self.help_dir):
            return  # the other language's help shows the Japanese picture: it has no words
        path = os.path.join(directory, name + ".png")
        tmp = path + ".ppm.png"
        image.save_png(tmp)
        resize = ["-filter", "point", "-resize", f"{scale * 100}%"] if scale > 1 else \
            ["-resize", f"{int(scale * 100)}%"] if scale < 1 else []
        # The whole window, the one large picture, in 256 colours: both helps carry it, the one-file page too.
        colours = ["-dither", "None", "-colors", "256"] if name == "window" else []
        subprocess.run(["convert", tmp, *resize, *colours, "-strip", "-define", "png:compression-level=9", path],
                       check=True, timeout=60)
        os.remove(tmp)
        print("wrote", os.path.relpath(path, ROOT), flush=True)

    def crop(self, shot, box):
        left, top, right, bottom = box
        return Screen(right - left, bottom - top,
                      b"".join(shot.data[(y * shot.width + left) * 3:(y * shot.width + right) * 3]
                               for y in range(top, bottom)))

    def screen_box(self, rect, pad=0):
        return Screen.grab(Rect(rect.left - pad, rect.top - pad, rect.width + 2 * pad, rect.height + 2 * pad))

    def window_rect(self, program):
        return wait_until(lambda: geometry(program.main_window), "the main window's rectangle")

    # ---- the getting started pictures, the paint window's controls, the menus and the dialogs

    def controls_menus_and_dialogs(self):
        program = self.program()
        with running(program) as (program, shot):
            centre = (shot.width // 2 - 160, shot.height // 2 - 120, shot.width // 2 + 160, shot.height // 2 + 120)
            self.save(self.crop(shot, centre), self.help_dir, "start_cube")
            self.save(self.crop(shot, (0, 0, 158, 503)), self.help_dir, "panel")
            self.save(self.crop(shot, (0, shot.height - 18, 360, shot.height)), self.help_dir, "status_strip")
            for name in ("title_strip", "switch_light", "switch_faces", "switch_wire", "palette_cells", "swatch",
                         "palette_buttons", "colour_bars", "atlas_cells", "texture_bottom"):
                box, scale = CONTROLS[name]
                self.save(self.crop(shot, box), self.help_dir, name, scale)
            for name, position in (("tool_delete", (60, 34)), ("tool_paint", (84, 34)), ("tool_pick", (108, 34)),
                                   ("tool_add", (36, 34))):
                program.click(*position)  # a chosen tool's button is drawn pressed
                box, scale = CONTROLS[name]
                self.save(self.crop(program.wait_still(), box), self.help_dir, name, scale)
            # Three cubes stacked on the start cube: the undo button comes alive, then redo after one undo.
            for height in (1, 2, 3):
                x, y = project((100.5, 100 + height, 100.5), shot.width, shot.height)
                # Off the face's diagonal, which the black wireframe draws over the black background.
                above = tuple(int(v) for v in project((100.78, 101 + height, 100.22), shot.width, shot.height))
                program.click(int(x), int(y))
                program.wait_shot(lambda s: s.pixel(*above) != shot.pixel(*above), "the added cube")
            stacked = program.wait_still()
            middle = (shot.width // 2, shot.height // 2)
            self.save(self.crop(stacked, (middle[0] - 160, middle[1] - 250, middle[0] + 160, middle[1] + 100)),
                      self.help_dir, "first_cubes")
            self.save(self.crop(stacked, CONTROLS["undo"][0]), self.help_dir, "undo", 2)
            program.chord("ctrl+z")
            time.sleep(0.5)
            self.save(self.crop(program.wait_still(), CONTROLS["redo"][0]), self.help_dir, "redo", 2)
            # The menus, each with the menu bar above it.
            frame = self.window_rect(program)
            for key, name in (("alt+f", "menu_file"), ("alt+e", "menu_edit"), ("alt+o", "menu_options"),
                              ("alt+v", "menu_view"), ("alt+h", "menu_help")):
                program.wait_main_focus()
                program.chord(key)
                menu = geometry(wait_until(lambda: popup_menus(), f"the menu opened by {key}")[0])
                time.sleep(0.3)
                left = frame.left
                right = max(menu.left + menu.width, frame.left + 262) + 4
                bottom = menu.top + menu.height + 4
                self.save(Screen.grab(Rect(left, frame.top, right - left, bottom - frame.top)), self.help_dir, name)
                program.key("Escape", "Escape")
                wait_until(lambda: not popup_menus(), "the menu to close")
            for menu, (key, title), name, close in (("alt+o", self.words["settings"], "dialog_settings", "Escape"),
                                                    ("alt+h", self.words["version"], "dialog_version", "Return")):
                program.menu(menu, key, name)
                dialog = program.wait_window(title, name)
                time.sleep(0.4)
                self.save(self.screen_box(geometry(dialog)), self.help_dir, name)
                program.key(close)
                program.wait_gone(dialog, name)
            program.menu("alt+f", "n", "New")
            box = program.wait_window(self.words["confirm"], "the save question")
            time.sleep(0.4)
            self.save(self.screen_box(geometry(box)), self.help_dir, "message_save")
            program.key("Escape")
            program.wait_gone(box, "the save question")
        shutil.rmtree(program.folder, ignore_errors=True)

    # ---- the samples as they look, and the README's pictures

    def open_sample(self, name, settings, wireframe_off=True):
        """The sample named on the command line, the wireframe switched off, zoomed out to show it whole."""
        program = self.program(settings)
        extension = ".bmp" if name == "fuji" else ".bvo"
        path = windows_path(os.path.join(program.folder, "samples", name + extension))
        context = running(program, path, ready=lambda s: True)
        program, shot = context.__enter__()
        shot = program.wait_still()
        # An opened model that does not fit is framed; the pictures are taken from the start camera, zoomed out.
        program.menu("alt+o", "c", "Reset Camera")
        shot = program.wait_still()
        program.click(8, 200)  # a click on the panel's band: the first click after a load is ignored
        if wireframe_off:
            switch = shot.pixel(*WIREFRAME_SWITCH)
            program.click(*WIREFRAME_SWITCH)
            program.wait_shot(lambda s: s.pixel(*WIREFRAME_SWITCH) != switch, "the wireframe switch to go off")
        program.move(shot.width // 2 + 80, shot.height // 2)
        subprocess.run(["xdotool", "click", "--repeat", str(ZOOM_OUT[name]), "--delay", "30", "5"], check=True,
                       timeout=30)
        return context, program

    def samples(self):
        for name in ZOOM_OUT:
            settings = dict(SKY, PWIN_SHOW=1, SWIN_SHOW=0)
            context, program = self.open_sample(name, settings)
            try:
                program.menu("alt+v", "p", "ペイントウインドウ")
                shot = program.wait_still()
                self.save(shot, self.help_dir, "sample_" + name, 0.5)
            finally:
                context.__exit__(None, None, None)
                shutil.rmtree(program.folder, ignore_errors=True)

    def readme(self):
        context, program = self.open_sample("house", dict(SKY))
        try:
            program.wait_still()
            self.save(self.screen_box(self.window_rect(program)), self.help_dir, "window")
            self.save(self.screen_box(self.window_rect(program)), self.docs_dir, "editor")
        finally:
            context.__exit__(None, None, None)
            shutil.rmtree(program.folder, ignore_errors=True)
        if self.language != "ja":
            return
        # The paint window in use: a red from the palette, made deeper on the blue bar, painted over the top of
        # the character's hair as a cap.
        context, program = self.open_sample("character", dict(SKY))
        try:
            shot = program.wait_still()
            program.click(84, 34)  # the Paint tool
            program.click(25 + 16 * 3 + 8, 78 + 16 * 1 + 8)  # a red of the palette
            program.move(100, 302)
            program.button(1, True)  # the blue bar dragged to the left
            program.move(80, 302)
            program.move(72, 302)
            program.button(1, False)
            # The hair's top layer and its tuft, as the centred model has them, from the zoomed-out camera.
            distance = START_DISTANCE + 1 + 2 * ZOOM_OUT["character"]
            cells = [(x, 110, z) for z in range(103, 97, -1) for x in range(98, 104)]
            cells += [(100, 111, 100), (101, 111, 100), (100, 111, 101), (101, 111, 101), (101, 112, 101)]
            for x, y, z in cells:
                program.click(*(int(v) for v in project((x + 0.5, y + 1, z + 0.5), shot.width, shot.height,
                                                       distance)))
            program.move(62, 302)
            self.save(program.wait_still(), self.docs_dir, "paint-window")
        finally:
            context.__exit__(None, None, None)
            shutil.rmtree(program.folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe_dir")
    parser.add_argument("--help-images")
    parser.add_argument("--docs", default=os.path.join(ROOT, "docs"))
    parser.add_argument("--language", choices=sorted(WORDS), default="ja")
    options = parser.parse_args()
    Suite.exe_dir = os.path.abspath(options.exe_dir)
    help_images = options.help_images or os.path.join(ROOT, "resources", "help",
                                                      *(["en"] if options.language == "en" else []), "images")
    os.makedirs(help_images, exist_ok=True)
    os.makedirs(options.docs, exist_ok=True)
    pictures = Pictures(Suite.exe_dir, help_images, options.docs, options.language)
    if pictures.locale is None and options.language == "ja":
        print(f"note: {JAPANESE_LOCALE} is not installed; Wine's own buttons will be in English")
    with VirtualDisplay():
        try:
            pictures.controls_menus_and_dialogs()
            if options.language == "ja":
                pictures.samples()
            pictures.readme()
        finally:
            end_wine()
    return 0


if __name__ == "__main__":
    sys.exit(main())
