"""glTF, OBJ and MagicaVoxel through the real menus: Save As writes each as the converter does, and a .vox model
opens through the Open dialog and the command line as a new unnamed scene."""
import os
import struct
import subprocess

from files_tests import CONFIRM, ERROR, OPEN, SAVE_AS, SCENE, crlf, named, read, top_face, with_file
from harness import WINE64, Suite, check, e2e, launched, save, wait_file, wait_until
from window_tests import MAGENTA, MAGENTA_SETTINGS


def converted(program, source, target):
    """What the Windows converter beside the program makes of a file of the program's folder."""
    converter = os.path.join(Suite.exe_dir, "blokkenveld-convert.exe")
    subprocess.run([WINE64, converter, source, target], cwd=program.folder, check=True, timeout=120,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return read(program.path(target))


def vox(size, voxels, colours):
    """A MagicaVoxel file: voxels (x, y, z, index) in a model of size (x, y, z), colours for indices 1 up."""
    def chunk(name, content):
        return name + struct.pack("<II", len(content), 0) + content
    palette = b"".join(struct.pack("<4B", *rgb, 255) for rgb in colours).ljust(1024, b"\0")
    children = (chunk(b"SIZE", struct.pack("<3I", *size)) +
                chunk(b"XYZI", struct.pack("<I", len(voxels)) + b"".join(struct.pack("<4B", *v) for v in voxels)) +
                chunk(b"RGBA", palette))
    return b"VOX " + struct.pack("<I", 150) + b"MAIN" + struct.pack("<II", 0, len(children)) + children


# A column of two voxels, red below green (z is up in MagicaVoxel). Two cells high, it starts at 100 - 2 / 2 = 99:
# the green cube takes the start cube's place.
COLUMN = vox((1, 1, 2), [(0, 0, 0, 1), (0, 0, 1, 2)], [(255, 0, 0), (0, 255, 0)])


@e2e
def save_as_writes_gltf_obj_and_vox_as_the_converter_does_and_keeps_the_name():
    with launched(dict(MAGENTA_SETTINGS), named("scene.bvo"), before_start=with_file("scene.bvo", crlf(SCENE))) \
            as (program, _):
        scene = program.wine_path("scene.bvo")
        program.wait_title("Blokkenveld - " + scene)
        for name in ("model.glb", "model.gltf", "model.obj", "model.vox"):
            program.menu("alt+f", "a", "名前を付けて保存")
            program.file_dialog(SAVE_AS, program.wine_path(name), f"the save dialog for {name}")
            wait_file(program.path(name), name)
            check(program.title() == "Blokkenveld - " + scene, f"{name} changed the title to {program.title()!r}")
        written = ("model.glb", "model.gltf", "model.obj", "model.mtl", "model.png", "model.vox")
        for name in written:
            wait_file(program.path(name), name)
        saved = {name: read(program.path(name)) for name in written}
        check(saved["model.png"].startswith(b"\x89PNG\r\n\x1a\n"), "the atlas beside the OBJ is no PNG")
        # The converter's files are named expected-model.*, and the .obj and .mtl name each other and the picture.
        for name in ("model.glb", "model.gltf", "model.obj", "model.vox"):
            expected = converted(program, "scene.bvo", "expected-" + name).replace(b"expected-model.", b"model.")
            check(saved[name] == expected, f"{name} differs from the converter's")
        # The converter takes names as Windows users type them, in capitals.
        check(converted(program, "SCENE.BVO", "CAPITALS.GLTF") == saved["model.gltf"],
              "the converter wrote another CAPITALS.GLTF")
        for name in ("model.mtl", "model.png"):
            expected = read(program.path("expected-" + name)).replace(b"expected-model.", b"model.")
            check(saved[name] == expected, f"{name} differs from the converter's")
        # The exports never named the document: Save overwrites the scene file without a dialog.
        program.menu("alt+f", "s", "上書き保存")
        program.answer(CONFIRM, "Return", "the overwrite question")
        wait_until(lambda: os.path.getmtime(program.path("scene.bvo")) > os.path.getmtime(program.path("model.vox")),
                   "the scene file saved again")


@e2e
def a_vox_model_opens_from_the_command_line_and_the_open_dialog():
    settings = dict(MAGENTA_SETTINGS)
    with launched(settings, named("column.vox"), before_start=with_file("column.vox", COLUMN)) as (program, shot):
        check(program.title() == "Blokkenveld", f"title {program.title()!r} after a .vox on the command line")
        green = shot.pixel(*top_face(shot, 1))
        check(green[1] > 150 and green[0] < 80 and green[2] < 80, f"the green top cube is drawn as {green}")
        check(shot.pixel(*top_face(shot, 2)) == MAGENTA, "something stands on the column")
        save(shot, "vox_command_line")
        # A model over the limit is refused with a message and leaves the scene as it was.
        program.write("large.vox", vox((201, 1, 1), [(0, 0, 0, 1), (200, 0, 0, 1)], [(0, 0, 255)]))
        program.menu("alt+f", "o", "開く")
        program.file_dialog(OPEN, program.wine_path("large.vox"), "the open dialog")
        program.answer(ERROR, "Return", "the message that the model is too large")
        check(program.wait_still().pixel(*top_face(shot, 1)) == green, "a refused model changed the scene")
        program.write("broken.vox", COLUMN[:40])
        program.menu("alt+f", "o", "開く")
        program.file_dialog(OPEN, program.wine_path("broken.vox"), "the open dialog")
        program.answer(ERROR, "Return", "the message that the file could not be read")
        # A single blue voxel through the dialog replaces the column: the blue cube stands where the green one was.
        program.write("one.vox", vox((1, 1, 1), [(0, 0, 0, 1)], [(0, 0, 255)]))
        program.menu("alt+f", "o", "開く")
        program.file_dialog(OPEN, program.wine_path("one.vox"), "the open dialog")
        opened = program.wait_shot(lambda s: s.pixel(*top_face(shot, 1)) != green, "the column replaced")
        top = program.wait_still().pixel(*top_face(shot, 1))
        check(top[2] > 150 and top[0] < 80 and top[1] < 80, f"the blue cube is drawn as {top}")
        save(opened, "vox_opened")
        check(program.title() == "Blokkenveld", f"title {program.title()!r} after opening a .vox")
        # Unnamed: Save asks for a name.
        program.menu("alt+f", "s", "上書き保存")
        program.file_dialog(SAVE_AS, program.wine_path("one.bvo"), "the save dialog")
        wait_file(program.path("one.bvo"), "the saved scene")
        check(read(program.path("one.bvo")) == crlf("Blokkenveld\n1 0\n1\n100 100 100 ff0000ff\n").encode(),
              f"the saved scene: {read(program.path('one.bvo'))!r}")
