#!/usr/bin/env bash
# Remakes the help's pictures (resources/help/images) and the README's (docs) from the real program under
# Wine, on a virtual display of its own. Build first (tools/build.sh); commit the pictures it writes.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine_env.sh
trap 'wineserver -k 2>/dev/null || true' EXIT
ensure_wine_prefix
env -u DISPLAY python3 tests/e2e/pictures.py build/windows "$@"
