#!/usr/bin/env bash
# Converts a set of scenes with the native blokkenveld-convert and reads every export back with readers we did
# not write (tests/interchange/check_exports.mjs). Usage: run_checks.sh BUILD_DIR [PICTURE.png]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"
[ -d "$here/node_modules/three" ] || (cd "$here" && npm ci --no-audit --no-fund --loglevel=error)
work="$build/interchange"
rm -rf "$work"
cd "$here"
node check_exports.mjs "$build/blokkenveld-convert" "$build/artwork/tex.bmp" "$work" "${2:-$work/picture.png}"
