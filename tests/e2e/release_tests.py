"""The release as a user gets it: the zip from tools/package.sh, unpacked into a folder whose path holds blanks
and Japanese, the converter run and the program started from there, every sample opened, a copy saved beside one,
the help and the version dialog opened; and the version the exe shows Explorer, the one its dialog shows and the
zip's name."""
import json
import os
import re
import shutil
import struct
import subprocess
import tempfile
import time
import zipfile

import exe_resources
from harness import WINE64, Screen, Suite, check, e2e, save, wait_file
from installed import JAPANESE_LOCALE, InstalledProgram, require_japanese_locale, running, windows_path
from picture_tests import panel_at

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FOLDER_NAME = "ブロック 作品 フォルダ"  # blanks and Japanese, as a Japanese user might name it
SAMPLES = ("house.bvo", "tree.bvo", "character.bvo", "car.bvo", "town.bvo", "fuji.bmp", "pastel.bvp", "earth.bvp")
PROGRAMS = ("Blokkenveld.exe", "blokkenveld-convert.exe")
PROGRAM_FILES = PROGRAMS + ("Help.chm", "Help-en.chm", "tex.bmp", "palette.bvp", "README.txt", "LICENSE.txt")
ZOOM_OUT = {"house.bvo": 12, "tree.bvo": 14, "character.bvo": 12, "car.bvo": 8, "town.bvo": 34, "fuji.bmp": 28}
PANEL_WIDTH, ATLAS_TOP = 158, 318
LOAD_PALETTE = (130, 215)
OPEN, SAVE_AS = "^(Open|開く)$", "^(Save As|名前を付けて保存)$"


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        found = re.search(r"project\(Blokkenveld\s+VERSION\s+([0-9.]+)", f.read())
    check(found is not None, "CMakeLists.txt sets no project VERSION")
    return found.group(1)


def build_package():
    result = subprocess.run(["bash", os.path.join(ROOT, "tools", "package.sh"), Suite.exe_dir],
                            capture_output=True, text=True, timeout=600)
    check(result.returncode == 0, f"tools/package.sh failed:\n{result.stdout}{result.stderr}")
    return result.stdout.strip().splitlines()[-1]


def coff_symbols(data):
    """How many entries the COFF symbol table of a PE image holds: none once it is stripped."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    check(data[pe:pe + 4] == b"PE\0\0", "not a PE image")
    return struct.unpack_from("<I", data, pe + 16)[0]


def glb_json(data):
    """The JSON chunk of a glTF binary, which follows the 12-byte header."""
    length, kind = struct.unpack_from("<II", data, 12)
    check(kind == 0x4E4F534A, "the glTF binary does not start with its JSON chunk")
    return data[20:20 + length].decode("utf-8")


def convert_in(folder, locale, working, source, target):
    """Runs the converter that lies in folder by its full path from the folder working, as a user at a command
    prompt in the folder of their models."""
    program = InstalledProgram(folder, locale)
    converter = windows_path(os.path.join(folder, "blokkenveld-convert.exe"))
    return subprocess.run([WINE64, converter, source, target], cwd=working, env=program.environment(),
                          capture_output=True, text=True, errors="replace", timeout=120)


def bitmap_pixels(path):
    """A bottom-up 24-bit BMP as pixel(x, y) -> (r, g, b), y from the top."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3

    def pixel(x, y):
        i = offset + (height - 1 - y) * stride + x * 3
        return data[i + 2], data[i + 1], data[i]
    return pixel


def palette_colours(path):
    """The 64 colours of a palette file as (r, g, b), row by row."""
    with open(path, encoding="ascii") as f:
        rows = f.read().split()[1:]
    return [((v >> 16) & 255, (v >> 8) & 255, v & 255) for v in (int(t, 16) for t in rows)]


def mean(colours):
    colours = list(colours)
    return tuple(sum(c[i] for c in colours) / len(colours) for i in range(3))


def atlas_shown(shot, atlas):
    """The panel's atlas view shows the atlas file: nearly every 16 x 16 cell has the file's mean colour (the
    view filters the texture, which blurs a few cells' edges into their neighbours)."""
    matching = 0
    for column in range(8):
        for row in range(8):
            screen = mean(shot.pixel(25 + 16 * column + x, ATLAS_TOP + 16 * row + y)
                          for y in range(16) for x in range(16))
            file = mean(atlas(16 * column + x, 16 * row + y) for y in range(16) for x in range(16))
            matching += all(abs(screen[i] - file[i]) <= 16 for i in range(3))
    return matching >= 56


def model_drawn(shot):
    """Share of the view right of the panel, above the status strip, that is not the black background."""
    box = (PANEL_WIDTH + 10, 0, shot.width, shot.height - 20)
    total = len(range(box[1], box[3], 6)) * len(range(box[0], box[2], 6))
    return 1 - shot.count((0, 0, 0), box, tolerance=8, step=6) / total


def drawn(shot):
    """A frame is on the client area: the panel's artwork at its start place, the status strip below."""
    return (shot.width, shot.height) == (800, 600) and panel_at(0, 0)(shot) and \
        shot.pixel(shot.width - 40, shot.height - 2) not in ((0, 0, 0), (255, 255, 255))


def type_quickly(text):
    """Types plain ASCII into the focused control faster than the harness does for arbitrary text."""
    subprocess.run(["xdotool", "type", "--delay", "15", text], check=True, timeout=60)


def open_through_dialog(program, outside, inside):
    """File > Open, steered as a user would: to the folder above the Japanese one by its path, into the
    Japanese folder by picking it from the list, then to the file by a path relative to it. (Typing
    Japanese through the X test extension loses characters, so the Japanese name itself is never typed.)"""
    program.menu("alt+f", "o", "開く")
    dialog = program.wait_window(OPEN, "the open dialog")
    program.key("End")
    program.chord("shift+Home")
    type_quickly(windows_path(outside))
    program.key("Return")  # a folder's path shows that folder
    time.sleep(0.6)
    program.chord("shift+Tab")  # the file list, which holds the one folder
    program.key("Home", "Return")
    time.sleep(0.6)
    program.chord("alt+n")  # ファイル名(N)
    program.key("End")
    program.chord("shift+Home")
    type_quickly(inside)
    program.key("Return")
    program.wait_gone(dialog, f"the open dialog for {inside}")


def show_whole(program, name):
    """The camera back at its start, then stepped back until the sample is seen whole; returns the picture."""
    program.menu("alt+o", "c", "カメラを初期位置に戻す")
    shot = program.shot()
    program.move(shot.width // 2 + 80, shot.height // 2)
    subprocess.run(["xdotool", "click", "--repeat", str(ZOOM_OUT[name]), "--delay", "30", "5"], check=True, timeout=30)
    return program.wait_still()


@e2e
def the_release_zip_unpacked_into_a_japanese_folder_opens_every_sample_saves_and_shows_help():
    require_japanese_locale()
    zip_path = build_package()
    version = project_version()
    check(os.path.basename(zip_path) == f"Blokkenveld-{version}-win64.zip", f"package named {zip_path}")
    top = f"Blokkenveld-{version}/"
    with zipfile.ZipFile(zip_path) as archive:
        names = sorted(n for n in archive.namelist() if not n.endswith("/"))
        expected = sorted([top + n for n in PROGRAM_FILES] + [top + "samples/" + n for n in SAMPLES])
        check(names == expected, f"the zip holds {names}")
        for text in ("README.txt", "LICENSE.txt"):
            data = archive.read(top + text)
            # Notepad shows UTF-8 right on every Windows only with the byte order mark and Windows line ends.
            check(data.startswith(b"\xef\xbb\xbf"), f"{text} has no byte order mark")
            check(data.count(b"\n") == data.count(b"\r\n") > 5, f"{text} has line ends other than CR LF")
        readme = archive.read(top + "README.txt").decode("utf-8-sig")
        check(f"Blokkenveld {version}" in readme and "Blokkenveld.ini" in readme and "起動" in readme,
              "the read-me does not name the version, the settings file and how to start")
        japanese, _, english = readme.partition("■ English")
        for language, part in (("Japanese", japanese), ("English", english)):
            check("blokkenveld-convert" in part and ".glb" in part and ".vox" in part,
                  f"the read-me's {language} part does not tell of the exports and the converter")
        for program in PROGRAMS:
            check(coff_symbols(archive.read(top + program)) == 0, f"{program} in the zip still has its symbols")
        unpacked = tempfile.mkdtemp(prefix="bv")  # short: the open dialog is steered by typing its path
        base = os.path.join(unpacked, FOLDER_NAME)
        archive.extractall(base)
    folder = os.path.join(base, top.rstrip("/"))
    samples = os.path.join(folder, "samples")
    try:
        # The converter, run in the samples folder: the atlas the scene names is found beside the converter, as
        # neither the scene's folder nor the current one holds it, and goes into the glTF file as a picture.
        result = convert_in(folder, JAPANESE_LOCALE, samples, "house.bvo", "house.glb")
        check(result.returncode == 0, f"the converter ended with {result.returncode}:\n{result.stderr}")
        check("warning" not in result.stderr, f"the converter warned: {result.stderr}")
        with open(os.path.join(samples, "house.glb"), "rb") as f:
            glb = f.read()
        check(glb.startswith(b"glTF"), f"house.glb starts with {glb[:4]!r}")
        check('"mimeType":"image/png"' in glb_json(glb), "house.glb carries no atlas picture")

        program = InstalledProgram(folder, JAPANESE_LOCALE)
        house = os.path.join(samples, "house.bvo")
        with running(program, windows_path(house), ready=drawn) as (program, shot):
            # Paths in code page 932 hold the folder's name: the title, the atlas and the help all find it.
            program.wait_title("Blokkenveld - " + windows_path(house))
            atlas = bitmap_pixels(os.path.join(folder, "tex.bmp"))
            check(atlas_shown(program.wait_still(), atlas), "the panel does not show tex.bmp from the program folder")
            save(show_whole(program, "house.bvo"), "release-house")

            # A copy saved beside the sample, by inserting a word into the name the dialog proposes.
            program.menu("alt+f", "a", "名前を付けて保存")
            dialog = program.wait_window(SAVE_AS, "the save dialog")
            program.key("End", "Left", "Left", "Left", "Left")
            program.type_text(" copy")
            program.key("Return")
            program.wait_gone(dialog, "the save dialog")
            copy = os.path.join(samples, "house copy.bvo")
            wait_file(copy, "the copy saved beside the sample")
            with open(copy, "rb") as a, open(house, "rb") as b:
                check(a.read() == b.read(), "the saved copy differs from the sample it was opened from")
            program.wait_title("Blokkenveld - " + windows_path(copy))
            program.menu("alt+f", "s", "上書き保存")
            box = program.wait_window("^確認$", "the overwrite question")
            save(Screen.grab(), "release-overwrite-question")
            program.key("n")
            program.wait_gone(box, "the overwrite question")

            for name in ("tree.bvo", "character.bvo", "car.bvo", "town.bvo", "fuji.bmp"):
                open_through_dialog(program, unpacked, f"{top}samples\\{name}".replace("/", "\\"))
                title = "Blokkenveld" if name.endswith(".bmp") else "Blokkenveld - " + windows_path(
                    os.path.join(samples, name))
                program.wait_title(title)
                shot = show_whole(program, name)
                save(shot, "release-" + name.replace(".", "-"))
                check(model_drawn(shot) > 0.08, f"{name} covers only {model_drawn(shot):.0%} of the view")
                # The scene names its atlas "tex.bmp", which is the program folder's wherever the dialog went.
                check(atlas_shown(shot, atlas), f"the atlas is gone after opening {name} through the dialog")

            # The sample palettes, through the palette dialog: it starts in the program folder, and the second
            # time in the folder of the palette chosen the first time.
            for name, typed in (("pastel.bvp", "samples\\pastel.bvp"), ("earth.bvp", "earth.bvp")):
                colours = palette_colours(os.path.join(samples, name))
                program.click(*LOAD_PALETTE)
                program.file_dialog(OPEN, typed, f"the palette dialog for {name}")
                program.wait_shot(lambda s: all(s.pixel(30 + 16 * c, 83 + 16 * r) == colours[c + 8 * r]
                                                for c, r in ((1, 0), (3, 1), (6, 4), (7, 7))),  # (0, 0) is marked
                                  f"the palette cells to show {name}")

            program.menu("alt+h", "h", "ヘルプ")
            viewer = program.wait_window("^Blokkenveld Help$", "the help viewer with Help.chm", give_focus=False)
            save(Screen.grab(), "release-help-viewer")
            program.chord("alt+F4")
            program.wait_gone(viewer, "the help viewer")
            program.menu("alt+h", "a", "バージョン情報")
            dialog = program.wait_window("^バージョン情報$", "the version dialog")
            save(Screen.grab(), "release-version-dialog")
            program.key("Return")
            program.wait_gone(dialog, "the version dialog")
            check(program.close(), "the program did not end")
        with open(os.path.join(folder, "Blokkenveld.ini"), "rb") as f:
            check(b"TEXTURE=tex.bmp" in f.read(), "the settings were not written beside the exe")

        # Honest about the limit: under a code page without Japanese the same folder cannot be named at all.
        # The read fails before the main window shows.
        western = InstalledProgram(folder, "C.UTF-8")
        try:
            western.launch(windows_path(house))
            western.answer("^エラー$", "Return", "the read failure for a path code page 1252 cannot hold")
        finally:
            western.stop()
    finally:
        shutil.rmtree(unpacked, ignore_errors=True)


@e2e
def the_version_shows_the_same_in_the_dialog_the_file_properties_and_the_package():
    version = project_version()
    with open(os.path.join(Suite.exe_dir, "Blokkenveld.exe"), "rb") as f:
        found = exe_resources.resources(f.read())
    block = exe_resources.first(found, exe_resources.RT_VERSION)
    check(block is not None, "the exe has no version resource")
    strings, fixed = exe_resources.version_strings(block)
    numbers = tuple(int(n) for n in version.split(".")) + (0,)
    check(strings.get("ProductVersion") == strings.get("FileVersion") == version, f"version strings {strings}")
    check(fixed["file"] == fixed["product"] == numbers, f"fixed versions {fixed}, CMake says {version}")
    check(strings.get("ProductName") == "Blokkenveld", f"product name {strings.get('ProductName')!r}")
    title, controls = exe_resources.dialog(exe_resources.first(found, exe_resources.RT_DIALOG, 102))
    texts = [text for _, kind, text in controls if kind == 0x82 and isinstance(text, str)]
    check(title == "バージョン情報" and len(texts) == 2, f"dialog 102: {title!r} {controls}")
    check(texts[0] == f"Blokkenveld Version {version}", f"the dialog's first line {texts[0]!r}")
    check(strings.get("FileDescription") == f"Blokkenveld {texts[1]}",
          f"description {strings.get('FileDescription')!r} against the dialog's {texts[1]!r}")
    manifest = exe_resources.first(found, exe_resources.RT_MANIFEST)
    check(manifest is not None, "the exe carries no manifest")
    manifest = manifest.decode("utf-8")
    for needed in ('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"', 'level="asInvoker"',
                   "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "<dpiAware", ">false</dpiAware>",
                   ">unaware</dpiAwareness>"):
        check(needed in manifest, f"the manifest lacks {needed}")


@e2e
def the_browser_release_is_one_page_with_everything_inside_and_an_installable_site():
    win64 = build_package()
    version = project_version()
    name = f"Blokkenveld-{version}"
    dist = os.path.dirname(win64)
    with open(os.path.join(dist, name + ".html"), encoding="utf-8") as f:
        page = f.read()
    check(len(page.encode("utf-8")) <= 1536 * 1024, f"the one-file page is {len(page)} bytes")
    embedded = json.loads(re.search(r"const files = (\{.*?\});", page).group(1))
    help_pages = {f"help/{n}" for n in os.listdir(os.path.join(ROOT, "resources", "help", "pages"))}
    needed = {"blokkenveld.wasm", "blokkenveld.js", "artwork/tex.bmp", "artwork/panel.bmp", "artwork/palette.bvp",
              "help/index.html", "help/style.css"} | {f"samples/{s}" for s in SAMPLES[:6]} | help_pages
    check(needed <= set(embedded), f"the one-file page lacks {sorted(needed - set(embedded))}")
    # Nothing it shows or runs is fetched from elsewhere: every address in it is data inside it.
    outside = re.findall(r'(?:src|href)="(?!data:)[^"#]+"', page)
    check(outside == [], f"the one-file page points outside itself: {outside}")
    with zipfile.ZipFile(os.path.join(dist, name + "-web.zip")) as archive:
        names = set(archive.namelist())
        top = name + "-web/"
        for needed in ("index.html", "sw.js", "manifest.webmanifest", "icons/icon-192.png", "icons/icon-512.png",
                       "blokkenveld.wasm", "help/index.html", "artwork/tex.bmp"):
            check(top + needed in names, f"the web zip lacks {needed}")
        check({top + "samples/" + s for s in SAMPLES[:6]} <= names, "the web zip lacks a sample model or the picture")
        manifest = json.loads(archive.read(top + "manifest.webmanifest"))
        check(manifest["display"] == "standalone" and manifest["file_handlers"], f"the manifest is {manifest}")
        check(f"blokkenveld-{version}-" in archive.read(top + "sw.js").decode("utf-8"),
              "the service worker's cache does not carry the version")


@e2e
def the_package_is_the_same_zip_each_time_it_is_made():
    def made():
        win64 = build_package()
        web = win64.replace("-win64.zip", "-web.zip")
        with open(win64, "rb") as f, open(web, "rb") as g:
            return f.read(), g.read()
    first = made()
    time.sleep(1.1)  # a clock that leaked into a file time or the exe's header would show now
    again = made()
    check(again[0] == first[0], "two packages of the same build differ")
    check(again[1] == first[1], "two web zips of the same build differ")
