#!/usr/bin/env python3
"""End-to-end tests: the real Blokkenveld.exe under Wine on a virtual X display.

Usage: run_e2e.py EXE_DIR [--repeat N] [--shard K/N] [TEST_NAME ...]
Prints one line per test run and a closing "N passed, N failed" line; with --repeat, the whole
suite runs N times and a table of passes per test follows. Exits non-zero on any failure.
Without a DISPLAY (or with CI set) the suite runs on its own Xvfb, which it ends however it stops. Without a
WINEPREFIX it takes the one tools/wine_env.sh makes (BLOKKENVELD_WINEPREFIX chooses another).
"""
import argparse
import os
import signal
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import TESTS, Suite, TestFailure, VirtualDisplay, end_wine  # noqa: E402
import window_tests  # noqa: E402,F401
import picture_tests  # noqa: E402,F401
import editing_tests  # noqa: E402,F401
import files_tests  # noqa: E402,F401
import stress_tests  # noqa: E402,F401
import interchange_tests  # noqa: E402,F401
import loop_tests  # noqa: E402,F401
import release_tests  # noqa: E402,F401
import language_tests  # noqa: E402,F401


def stop_on_signal(signum, frame):
    # Turns SIGTERM and SIGHUP into the same unwinding as Ctrl+C, so every program and display is ended.
    raise KeyboardInterrupt(f"signal {signum}")


def run_suite(selected, repeat):
    passes = {test.__name__: 0 for test in TESTS if test.__name__ in selected}
    failed = 0
    for round_number in range(1, repeat + 1):
        for test in TESTS:
            if test.__name__ not in passes:
                continue
            started = time.time()
            label = f"[{round_number}/{repeat}] " if repeat > 1 else ""
            try:
                test()
                passes[test.__name__] += 1
                print(f"PASS {label}{test.__name__} ({time.time() - started:.1f} s)", flush=True)
            except KeyboardInterrupt:
                raise
            except Exception as error:  # a failure or a harness error: report it and go on
                failed += 1
                detail = str(error) if isinstance(error, TestFailure) else traceback.format_exc()
                print(f"FAIL {label}{test.__name__}: {detail}", flush=True)
    return passes, failed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe_dir")
    parser.add_argument("--repeat", type=int, default=1, help="run the whole suite this many times")
    parser.add_argument("--shard", default="1/1", help="K/N: only every N-th test, starting with the K-th, so that N "
                        "runners, each with its own Wine prefix, share the suite")
    parser.add_argument("tests", nargs="*", help="only these tests")
    options = parser.parse_intermixed_args()
    Suite.exe_dir = os.path.abspath(options.exe_dir)
    Suite.shots_dir = os.path.join(Suite.exe_dir, "e2e-screens")
    os.makedirs(Suite.shots_dir, exist_ok=True)
    unknown = [name for name in options.tests if name not in {t.__name__ for t in TESTS}]
    if unknown:
        print(f"no such test: {', '.join(unknown)}")
        return 2
    shard, shards = (int(n) for n in options.shard.split("/"))
    selected = [t.__name__ for i, t in enumerate(TESTS)
                if i % shards == shard - 1 and (not options.tests or t.__name__ in options.tests)]
    if shards > 1:
        Suite.label = f"shard{shard}-"
    for signum in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, stop_on_signal)

    own_display = not os.environ.get("DISPLAY") or bool(os.environ.get("CI"))
    display = VirtualDisplay() if own_display else None
    started = time.time()
    try:
        if display is not None:
            display.__enter__()
        passes, failed = run_suite(selected, options.repeat)
    except KeyboardInterrupt as stop:
        print(f"e2e: interrupted ({stop})", flush=True)
        return 130
    finally:
        end_wine()
        if display is not None:
            display.__exit__(None, None, None)
    total = sum(passes.values())
    print(f"e2e{'' if shards == 1 else f' {shard}/{shards}'}: {total} passed, {failed} failed in "
          f"{time.time() - started:.0f} s")
    if options.repeat > 1:
        for name, count in passes.items():
            print(f"  {count}/{options.repeat}  {name}")
    return 1 if failed else 0


def with_wine_environment():
    """Started without the project's Wine environment, the suite would run in ~/.wine, which has no Japanese fonts and
    which other programs share; it starts itself again inside the environment tools/wine_env.sh makes."""
    if os.environ.get("WINEPREFIX"):
        return
    top = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    script = 'source "$0/tools/wine_env.sh" && ensure_wine_prefix && exec "$@"'
    os.execvp("bash", ["bash", "-c", script, top, sys.executable, os.path.abspath(__file__), *sys.argv[1:]])


if __name__ == "__main__":
    with_wine_environment()
    sys.exit(main())
