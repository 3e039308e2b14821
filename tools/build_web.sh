#!/usr/bin/env bash
# Builds the browser version into build/web: index.html, the program as blokkenveld.js and blokkenveld.wasm,
# the page's script and style, and the artwork. The CMake tree lives in build/web-cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
# Debian's emscripten runs its tools with the system's node, which finds their packages here.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
emcmake cmake -S . -B build/web-cmake -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DBLOKKENVELD_WEB_OUTPUT="$PWD/build/web" >/dev/null
cmake --build build/web-cmake -j2
# The release's two browser files from the site: the one-file page and the web zip (build/web-release).
version=$(sed -n 's/^#define BLOKKENVELD_VERSION_TEXT "\(.*\)"$/\1/p' build/web-cmake/generated/version.h)
python3 src/web/release_files.py build/web "$version" build/web-release
