#!/usr/bin/env bash
# Frame time and processor use of the real program under Wine: active, behind another program, minimized.
# Usage: tools/frame_rate.sh [SCENE.bvo|SCENE.bmp] [--full-block] [--seconds 10] [--exe-dir DIR]
# Run tools/build.sh first. Without a DISPLAY it runs on its own virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine_env.sh
ensure_wine_prefix
exec python3 tools/frame_rate.py "$@"
