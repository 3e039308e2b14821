#!/usr/bin/env python3
"""The same scene and camera drawn by Blokkenveld.exe under Wine and by the page in headless Chromium, compared
pixel by pixel: cube outlines at the same pixels (within one) and as many of them, face colours within three
levels, the panel and the status strip the same. Both pictures, the two side by side, and a picture of where they
differ are kept in build/web-parity.

Usage: parity_test.py EXE_DIR WEB_DIR
Runs without a DISPLAY on its own Xvfb; set BLOKKENVELD_WINEPREFIX (and source tools/wine_env.sh) first.
"""
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
from harness import Program, VirtualDisplay, end_wine  # noqa: E402
from picture_compare import Picture, compare, exact  # noqa: E402

VIEW = (158, 0, 800, 582)
STATUS = (0, 582, 800, 600)
# The panel without the atlas view and the preview, whose texels the Windows program samples exactly on their
# edges (one or the other, row by row), and without the three numbers, whose glyphs come from different fonts'
# rasterisers.
PANEL_PARTS = [(0, 0, 158, 260), (0, 260, 128, 318), (0, 498, 158, 503), (73, 446, 158, 498)]
LIGHTING_SWITCH = (36, 58)

FACE_TOLERANCE = 3
MIN_FACES_WITHIN = 0.995
MIN_OUTLINES_MATCHED = 0.99
# As many outline pixels in one picture as in the other: a line broken into dashes still lies near the other
# picture's line, but has fewer pixels.
MIN_OUTLINE_COUNT_RATIO = 0.95
MIN_EXACT = 0.99


def scene():
    """A floor of coloured cubes, a few standing on it, some textured, all in front of the start camera."""
    coloured, textured = [], []
    for x in range(98, 103):
        for z in range(98, 103):
            coloured.append((x, 98, z, (x * 40 % 256) << 16 | (z * 60 % 256) << 8 | 0x60))
    coloured += [(99, 99, 101, 0xE02020), (100, 99, 99, 0x2040E0), (102, 99, 100, 0xFFFFFF), (99, 100, 101, 0x20C040)]
    textured += [(100, 99, 100, 0, 0), (101, 99, 101, 3, 1), (100, 100, 100, 5, 2), (98, 99, 98, 7, 7)]
    lines = ["Blokkenveld", "1 1", str(len(coloured))]
    lines += ["%d %d %d ff%06x" % c for c in coloured]
    lines += ["tex.bmp", str(len(textured))]
    lines += ["%d %d %d %d %d" % t for t in textured]
    return "\r\n".join(lines) + "\r\n"


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    """The built page, and the scene under /extra/."""
    site = None
    extra = None

    def translate_path(self, path):
        path = path.split("?", 1)[0]
        if path.startswith("/extra/"):
            return os.path.join(self.extra, os.path.basename(path))
        return super().translate_path(path)

    def log_message(self, *args):
        pass


def serve(site, extra):
    handler = type("Handler", (SiteHandler,), {"extra": extra})
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), lambda *a: handler(*a, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def exe_picture(exe_dir, scene_path, out, unlit):
    program = Program(exe_dir)
    try:
        shutil.copy(scene_path, program.path("scene.bvo"))
        program.start(program.wine_path("scene.bvo"))
        if unlit:
            program.click(*LIGHTING_SWITCH)
            # The pointer leaves the panel, so that no button shows its hover look.
            program.move(600, 500)
        shot = program.wait_still()
        shot.save_png(out)
    finally:
        program.stop()
        program.cleanup()


def headless_environment():
    """The environment for headless Chromium: without the virtual display, which may be gone by then."""
    return {k: v for k, v in os.environ.items() if k != "DISPLAY"}


def page_picture(url, out, unlit):
    args = ["node", os.path.join(HERE, "shoot.mjs"), url + "?open=extra/scene.bvo", out, "--canvas"]
    if unlit:
        args += ["--click", "%d,%d" % LIGHTING_SWITCH]
    result = subprocess.run(args, capture_output=True, text=True, timeout=120, env=headless_environment())
    if result.returncode != 0:
        raise AssertionError("the page could not be pictured: " + result.stderr[-2000:])
    report = json.loads(result.stdout.strip().splitlines()[-1])
    if report["errors"]:
        raise AssertionError("the page reported errors: %s" % report["errors"])


def diff_picture(a, b, out):
    """Where the two pictures differ by more than the tolerance, in red on a dimmed copy of the first."""
    data = bytearray(len(a.data))
    for i in range(0, len(a.data), 3):
        pa, pb = a.data[i:i + 3], b.data[i:i + 3]
        if max(abs(pa[k] - pb[k]) for k in range(3)) > FACE_TOLERANCE:
            data[i:i + 3] = b"\xff\x00\x00"
        else:
            data[i:i + 3] = bytes(c // 3 for c in pa)
    Picture(a.width, a.height, bytes(data)).save_png(out)


def check(name, a, b):
    """The figures for one pair of pictures, and what fails in them."""
    view = compare(a, b, VIEW, tolerance=FACE_TOLERANCE, reach=1)
    figures = {
        "view": view,
        "view_exact": exact(a, b, VIEW),
        "panel_exact": min(exact(a, b, part) for part in PANEL_PARTS),
        "status_exact": exact(a, b, STATUS),
    }
    failures = []
    if view["faces_within"] < MIN_FACES_WITHIN:
        failures.append("%s: face colours within %d levels at %.4f of their pixels" %
                        (name, FACE_TOLERANCE, view["faces_within"]))
    for key in ("outline_a_in_b", "outline_b_in_a"):
        if view[key] < MIN_OUTLINES_MATCHED:
            failures.append("%s: %s matched at %.4f" % (name, key, view[key]))
    counts = view["outline_pixels"]
    if min(counts) < MIN_OUTLINE_COUNT_RATIO * max(counts):
        failures.append("%s: outline pixels %d in the exe's picture against %d in the page's" % (name, *counts))
    for key in ("panel_exact", "status_exact"):
        if figures[key] < MIN_EXACT:
            failures.append("%s: %s %.4f" % (name, key, figures[key]))
    return figures, failures


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    exe_dir, web_dir = (os.path.abspath(p) for p in sys.argv[1:])
    out_dir = os.path.join(os.path.dirname(web_dir), "web-parity")
    os.makedirs(out_dir, exist_ok=True)
    extra = tempfile.mkdtemp(prefix="blokkenveld-parity-")
    scene_path = os.path.join(extra, "scene.bvo")
    with open(scene_path, "w", newline="") as f:
        f.write(scene())
    server = serve(web_dir, extra)
    url = "http://127.0.0.1:%d/" % server.server_address[1]
    failures = []
    try:
        with VirtualDisplay():
            for name, unlit in (("lit", False), ("unlit", True)):
                exe_png = os.path.join(out_dir, name + "_exe.png")
                page_png = os.path.join(out_dir, name + "_page.png")
                exe_picture(exe_dir, scene_path, exe_png, unlit)
                page_picture(url, page_png, unlit)
                a, b = Picture.read(exe_png), Picture.read(page_png)
                if (a.width, a.height) != (b.width, b.height):
                    failures.append("%s: sizes differ, %dx%d against %dx%d" % (name, a.width, a.height, b.width,
                                                                            b.height))
                    continue
                figures, failed = check(name, a, b)
                diff_picture(a, b, os.path.join(out_dir, name + "_differences.png"))
                side_by_side = os.path.join(out_dir, name + "_side_by_side.png")
                subprocess.run(["convert", exe_png, page_png, "+append", side_by_side], check=True, timeout=60)
                print("parity %s: %s" % (name, json.dumps(figures)), flush=True)
                failures += failed
    finally:
        end_wine()
        server.shutdown()
        shutil.rmtree(extra, ignore_errors=True)
    for failure in failures:
        print("FAIL " + failure)
    print("parity: %s; pictures in %s" % ("failed" if failures else "passed", out_dir))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
