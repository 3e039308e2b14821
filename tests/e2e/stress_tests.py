"""Long runs under Wine: a full scene of 10,000 cubes, keys and buttons held for seconds, and a drag that
outlives a switch to another application."""
import subprocess
import time

from files_tests import named, read, with_file, writers_output
from harness import check, e2e, launched, save, wait_file
from picture_tests import panel_at
from window_tests import MAGENTA, MAGENTA_SETTINGS


def full_block():
    """10,000 cubes in a 25 x 20 x 20 block in front of the start camera, one in ten textured."""
    coloured, textured = [], []
    for x in range(25):
        for y in range(20):
            for z in range(20):
                cell = (99 + x, 69 + y, 72 + z)
                if (x + y + z) % 10 == 0:
                    textured.append("%d %d %d %d %d\n" % (*cell, x % 8, y % 8))
                else:
                    coloured.append("%d %d %d ff%06x\n" % (*cell, (x * 10) << 16 | (y * 12) << 8 | z * 12))
    text = "Blokkenveld\n1 1\n%d\n%stex.bmp\n%d\n%s" % (len(coloured), "".join(coloured), len(textured),
                                                       "".join(textured))
    return text.replace("\n", "\r\n")


def peak_memory_mb():
    """The highest resident memory of Blokkenveld.exe so far, from the Linux side."""
    out = subprocess.run(["pgrep", "-f", "Blokkenveld.exe"], capture_output=True, text=True).stdout.split()
    best = 0
    for pid in out:
        try:
            with open(f"/proc/{pid}/status") as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        best = max(best, int(line.split()[1]))
        except OSError:
            pass
    return best / 1024


def drawn_block(shot):
    """A frame with the status strip and the block in it (the white backdrop before the first frame is neither)."""
    strip = shot.pixel(shot.width - 40, shot.height - 2)
    return strip not in (MAGENTA, (255, 255, 255)) and shot.fraction(MAGENTA) < 0.7 and \
        shot.fraction((255, 255, 255)) < 0.3


@e2e
def a_full_scene_opens_saves_and_exports():
    settings = dict(MAGENTA_SETTINGS, PWIN_SHOW=0)
    with launched(settings, named("block.bvo"), before_start=with_file("block.bvo", full_block()),
                  ready=drawn_block) as (program, shot):
        save(shot, "full_scene")
        program.wait_title("Blokkenveld - " + program.wine_path("block.bvo"))
        for name in ("copy.bvo", "hull.mqo"):
            program.menu("alt+f", "a", "名前を付けて保存")
            program.file_dialog("^(Save As|名前を付けて保存)$", program.wine_path(name), "the save dialog")
            wait_file(program.path(name), name)
            check(read(program.path(name)) == writers_output(program.path("block.bvo"), name),
                  f"{name} differs from what the writers make of the scene")
        memory = peak_memory_mb()
        print(f"    peak memory with 10,000 cubes: {memory:.0f} MB", flush=True)
        check(0 < memory < 600, f"peak memory {memory:.0f} MB")


@e2e
def keys_and_buttons_held_for_seconds_and_a_drag_across_a_switch_away():
    with launched(dict(MAGENTA_SETTINGS)) as (program, shot):
        # Held for seconds: the arrow keys, F and G, the red plus button; the program keeps drawing.
        for key in ("Left", "Up", "f", "g", "Down"):
            subprocess.run(["xdotool", "keydown", key], check=True, timeout=10)
            time.sleep(2)
            subprocess.run(["xdotool", "keyup", key], check=True, timeout=10)
        program.move(122, 269)
        program.button(1, True)
        time.sleep(4)
        program.button(1, False)
        program.wait_still()
        # A title-strip drag, interrupted by another window taking the focus, goes on when the program is back.
        program.move(80, 10)
        program.button(1, True)
        try:
            # The press's frame sees the cursor wherever it is by then (frames are slow while the machine is busy):
            # it moves along the title strip, and the drag takes hold at one of these points.
            held = {}

            def following(shot):
                held.update((x, 140 - x) for x in (80, 90, 100) if panel_at(140 - x, 20)(shot))
                return bool(held)
            for x in (90, 100):
                program.move(x, 10)
            time.sleep(0.3)
            program.move(140, 30)
            program.wait_shot(following, "the panel to follow the drag")
            left = next(iter(held.values()))
            other = subprocess.Popen(["xmessage", "-name", "other", "-geometry", "+900+700", "elsewhere"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                time.sleep(1.0)
                subprocess.run(["xdotool", "search", "--sync", "--name", "^xmessage$|^other$", "windowfocus"],
                               capture_output=True, timeout=10)
                time.sleep(1.0)
            finally:
                other.kill()
            subprocess.run(["xdotool", "windowfocus", str(program.main_window)], capture_output=True, timeout=10)
            program.move(180, 50)
            program.wait_shot(panel_at(left + 40, 40), "the panel to follow the drag after the switch")
        finally:
            program.button(1, False)
        check(program.close(), "the program did not end")
