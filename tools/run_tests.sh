#!/usr/bin/env bash
# Sets up, builds and runs every test: native unit tests, then the real program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
bash tools/install_deps.sh
bash tools/build.sh
(cd build/native && ctest --output-on-failure -j2)
source tools/wine_env.sh
ensure_wine_prefix
python3 tests/e2e/run_e2e.py build/windows "$@"
echo "All tests finished in $(( $(date +%s) - start )) s"
