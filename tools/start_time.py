#!/usr/bin/env python3
"""Start-up time of the real program under Wine in Japanese and in English, in one run.

Usage: tools/start_time.py [--runs 6] [--exe-dir build/windows]

Starts the program on a virtual X display again and again, the two languages taking turns (the LANGUAGE setting),
and measures from the start of the process to its first picture of the view, as the end-to-end tests wait for it.
Prints each language's median and the ratio of English to Japanese. Run it through tools/wine_env.sh's prefix, as
tools/frame_rate.sh does.
"""
import argparse
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import Suite, VirtualDisplay, end_wine, launched  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--runs", type=int, default=6, help="starts in each language")
    parser.add_argument("--exe-dir", default=os.path.join("build", "windows"), help="where Blokkenveld.exe is")
    options = parser.parse_args()
    Suite.exe_dir = os.path.abspath(options.exe_dir)
    times = {"ja": [], "en": []}
    display = VirtualDisplay() if not os.environ.get("DISPLAY") else None
    if display is not None:
        display.__enter__()
    try:
        # A first start warms the Wine prefix and the file cache; it is not counted.
        for run in range(-1, options.runs):
            for language in ("ja", "en"):
                started = time.monotonic()
                with launched({"LANGUAGE": language}):
                    took = time.monotonic() - started
                if run >= 0:
                    times[language].append(took)
    finally:
        end_wine()
        if display is not None:
            display.__exit__(None, None, None)
    japanese, english = (statistics.median(times[k]) for k in ("ja", "en"))
    print(f"start to first picture, median of {options.runs}: Japanese {japanese:.3f} s, English {english:.3f} s, "
          f"ratio {english / japanese:.3f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
