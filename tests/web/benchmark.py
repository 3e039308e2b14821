#!/usr/bin/env python3
"""Frames per second of the browser version against Blokkenveld.exe under Wine, in the same run, both drawing the
full scattered scene (10,000 cubes, every side exposed) in an 800 x 600 view turning under a held arrow key, both on
software rasterisers (Chromium's SwiftShader, Wine's OpenGL on llvmpipe). Also the sizes of the page's program
(gzip) and its time to the first frame. A benchmark: it reports, it does not pass or fail.

Usage: benchmark.py EXE_DIR WEB_DIR [--seconds N] [--rounds N]
Each round measures the page, then the exe; the rates are averaged over the rounds, so that a machine busier in
one moment than the next weighs on both alike.
Runs without a DISPLAY on its own Xvfb; set BLOKKENVELD_WINEPREFIX (and source tools/wine_env.sh) first.
"""
import argparse
import gzip
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
from harness import MAIN_TITLE, VirtualDisplay, end_wine, find_windows, wait_until  # noqa: E402
from parity_test import headless_environment, serve  # noqa: E402

WARM_UP = 3.0

MEASURE_PAGE = r"""
import {openProgram, startBrowser} from './browser.mjs';
const [base, query, seconds, warmUp] = process.argv.slice(2);
const chromium = await startBrowser();
try {
    const started = Date.now();
    const program = await openProgram(chromium.browser, base, {query});
    const firstFrame = await program.page.evaluate(() => Blokkenveld.firstFrameTime);
    const cubes = (await program.state()).cubes;
    // A held arrow key turns the view, and the page draws for as long as something moves.
    await program.page.keyboard.down('ArrowLeft');
    await new Promise((r) => setTimeout(r, Number(warmUp) * 1000));
    const count = () => program.page.evaluate(() => [Blokkenveld.frames, performance.now()]);
    const [f0, t0] = await count();
    await new Promise((r) => setTimeout(r, Number(seconds) * 1000));
    const [f1, t1] = await count();
    await program.page.keyboard.up('ArrowLeft');
    console.log(JSON.stringify({cubes, firstFrameMs: firstFrame, fps: (f1 - f0) * 1000 / (t1 - t0),
        openMs: Date.now() - started}));
} finally {
    await chromium.close();
}
"""


def scattered_scene():
    """The frame benchmark's scattered scene: a lattice with one empty cell between cubes, filled to 10,000."""
    cubes = []
    for x in range(22):
        for y in range(22):
            for z in range(21):
                if len(cubes) < 10000:
                    slot = len(cubes)
                    cubes.append((60 + 2 * x, 60 + 2 * y, 60 + 2 * z, (slot * 2654435761 >> 8) & 0xFFFFFF))
    lines = ["Blokkenveld", "1 1", str(len(cubes))] + ["%d %d %d ff%06x" % c for c in cubes]
    lines += ["tex.bmp", "0"]
    return "\r\n".join(lines) + "\r\n"


def exe_frame_rate(exe_dir, scene_path, seconds):
    """Presents per second of the real program, counted from Wine's trace of the device."""
    folder = tempfile.mkdtemp(prefix="blokkenveld-bench-")
    for name in ("Blokkenveld.exe", "tex.bmp", "palette.bvp"):
        shutil.copy(os.path.join(exe_dir, name), folder)
    shutil.copy(scene_path, os.path.join(folder, "scattered.bvo"))
    env = dict(os.environ, WINEDEBUG="trace+d3d9")
    wine = os.environ.get("WINE64", "/usr/lib/wine/wine64")
    process = subprocess.Popen([wine, "explorer", "/desktop=bench%d,1280x1024" % os.getpid(), "Blokkenveld.exe",
                                "scattered.bvo"], cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                               start_new_session=True, env=env)
    presents = []

    def read():
        for line in process.stderr:
            if b"d3d9_device_Present" in line:
                presents.append(time.time())
    reader = threading.Thread(target=read, daemon=True)
    reader.start()
    try:
        wait_until(lambda: find_windows(MAIN_TITLE), "the program's main window", 60)
        wait_until(lambda: len(presents) > 0, "the program's first frame", 60)
        # A held arrow key turns the view: the program draws for as long as something moves.
        subprocess.run(["xdotool", "keydown", "Left"], check=True, timeout=10)
        try:
            time.sleep(WARM_UP)
            start, first = time.time(), len(presents)
            time.sleep(seconds)
            return (len(presents) - first) / (time.time() - start)
        finally:
            subprocess.run(["xdotool", "keyup", "Left"], check=True, timeout=10)
    finally:
        os.killpg(process.pid, 9)
        process.wait(timeout=10)
        end_wine()
        shutil.rmtree(folder, ignore_errors=True)


def page_measure(url, query, seconds):
    script = os.path.join(HERE, ".measure_page.mjs")
    with open(script, "w") as f:
        f.write(MEASURE_PAGE)
    try:
        result = subprocess.run(["node", script, url, query, str(seconds), str(WARM_UP)], capture_output=True,
                                text=True, timeout=300, cwd=HERE, env=headless_environment())
    finally:
        os.remove(script)
    if result.returncode != 0:
        raise SystemExit("the page could not be measured: " + result.stderr[-2000:])
    return json.loads(result.stdout.strip().splitlines()[-1])


def gzip_size(path):
    with open(path, "rb") as f:
        return len(gzip.compress(f.read(), compresslevel=9))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe_dir")
    parser.add_argument("web_dir")
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--rounds", type=int, default=2)
    options = parser.parse_args()
    web_dir = os.path.abspath(options.web_dir)
    extra = tempfile.mkdtemp(prefix="blokkenveld-bench-scene-")
    scene_path = os.path.join(extra, "scattered.bvo")
    with open(scene_path, "w", newline="") as f:
        f.write(scattered_scene())
    server = serve(web_dir, extra)
    url = "http://127.0.0.1:%d/" % server.server_address[1]
    page_rates, exe_rates = [], []
    try:
        start_page = page_measure(url, "", 2)
        for _ in range(options.rounds):
            page = page_measure(url, "open=extra/scattered.bvo", options.seconds)
            page_rates.append(page["fps"])
            with VirtualDisplay():
                exe_rates.append(exe_frame_rate(os.path.abspath(options.exe_dir), scene_path, options.seconds))
    finally:
        server.shutdown()
        shutil.rmtree(extra, ignore_errors=True)
    page_fps = sum(page_rates) / len(page_rates)
    exe_fps = sum(exe_rates) / len(exe_rates)

    sizes = {name: (os.path.getsize(os.path.join(web_dir, name)), gzip_size(os.path.join(web_dir, name)))
             for name in ("blokkenveld.wasm", "blokkenveld.js", "index.html", "page.js", "page.css")}
    print("scattered scene, %d cubes, 800 x 600, %.0f s each after %.0f s of warming up, %d rounds" %
          (page["cubes"], options.seconds, WARM_UP, options.rounds))
    print("  page (Chromium, SwiftShader):     %6.1f frames/s  (%s)" %
          (page_fps, ", ".join("%.1f" % r for r in page_rates)))
    print("  Blokkenveld.exe (Wine, llvmpipe): %6.1f frames/s  (%s)" %
          (exe_fps, ", ".join("%.1f" % r for r in exe_rates)))
    print("  ratio page / exe:                 %6.2f" % (page_fps / exe_fps if exe_fps else float("inf")))
    print("first frame after navigation: %.0f ms for the start page, %.0f ms with the scattered scene" %
          (start_page["firstFrameMs"], page["firstFrameMs"]))
    for name, (raw, packed) in sizes.items():
        print("  %-18s %8d bytes, %7d gzip" % (name, raw, packed))
    return 0


if __name__ == "__main__":
    sys.exit(main())
