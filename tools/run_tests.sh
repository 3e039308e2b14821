#!/usr/bin/env bash
# Sets up, builds and runs every test: native unit tests (plain and sanitized), the fuzz targets, the browser
# version in headless Chromium, then the real program under Wine, and the page against it picture by picture.
# Extra arguments go to the end-to-end runner (test names, --repeat N).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
last=$start
# Prints how long the step just finished took, so that the command's time can be kept in hand.
lap() {
    local now
    now=$(date +%s)
    echo "== $1: $((now - last)) s"
    last=$now
}
bash tools/install_deps.sh
lap "install"
bash tools/build.sh
lap "build"
(cd build/native && ctest --output-on-failure -j2)
# Every export read back by readers we did not write: the glTF validator, three.js under node and Chromium.
bash tests/interchange/run_checks.sh build/native
# The same unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, then every reader fuzzed briefly.
(cd build/sanitize && ctest --output-on-failure -j2)
bash tools/fuzz.sh --smoke
lap "unit tests, exports read back, sanitized tests, fuzzing"
# The compiled help, opened natively: its contents, index, links, pictures and the terms it must explain; a few
# pages drawn by headless Chromium into build/help-pages to look at.
python3 tests/help/check_help.py build/windows/Help.chm --render build/help-pages
# The browser version, driven in the system's Chromium by the tests' own pinned puppeteer-core.
bash tools/build_web.sh
(cd tests/web && npm test)
lap "help check, browser build and tests"
source tools/wine_env.sh
# Whatever happens from here on, no Wine process of this prefix outlives the tests.
trap 'wineserver -k 2>/dev/null || true' EXIT
ensure_wine_prefix
python3 tests/e2e/run_e2e.py build/windows "$@"
lap "end-to-end under Wine"
# The same scene drawn by the exe and by the page, compared pixel by pixel.
python3 tests/web/parity_test.py build/windows build/web
echo "All tests finished in $(( $(date +%s) - start )) s"
