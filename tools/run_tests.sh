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
# The compiled helps, opened natively: their contents, index, links, pictures and the terms they must explain, the
# English one page for page with the Japanese one; a few pages drawn by headless Chromium into build/help-pages.
python3 tests/help/check_help.py build/windows/Help.chm --render build/help-pages
python3 tests/help/check_help.py build/windows/Help-en.chm --language en --counterpart build/windows/Help.chm \
    --render build/help-pages/en
# The browser version, driven in the system's Chromium by the tests' own pinned puppeteer-core.
bash tools/build_web.sh
(cd tests/web && npm test)
lap "help check, browser build and tests"
source tools/wine_env.sh
# Two runners share the suite, each with its own Wine prefix and display: the programs mostly wait for Wine and
# for input, so the two cores serve both. Whatever happens from here on, no Wine process of either prefix
# outlives the tests.
prefixes=("$WINEPREFIX" "$WINEPREFIX-2")
trap 'for p in "${prefixes[@]}"; do WINEPREFIX=$p wineserver -k 2>/dev/null || true; done' EXIT
for p in "${prefixes[@]}"; do WINEPREFIX=$p ensure_wine_prefix; done
if [ $# -gt 0 ]; then
    python3 tests/e2e/run_e2e.py build/windows "$@"
else
    logs=$(mktemp -d)
    for shard in 1 2; do
        WINEPREFIX=${prefixes[$((shard - 1))]} CI=1 python3 tests/e2e/run_e2e.py build/windows --shard "$shard/2" \
            >"$logs/$shard" 2>&1 &
    done
    status=0
    for job in $(jobs -p); do wait "$job" || status=1; done
    cat "$logs/1" "$logs/2"
    rm -rf "$logs"
    [ $status -eq 0 ]
fi
lap "end-to-end under Wine"
# The same scene drawn by the exe and by the page, compared pixel by pixel.
python3 tests/web/parity_test.py build/windows build/web
echo "All tests finished in $(( $(date +%s) - start )) s"
