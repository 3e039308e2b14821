#!/usr/bin/env bash
# Builds the native core with its tests (build/native), the same under AddressSanitizer and
# UndefinedBehaviorSanitizer with the fuzz targets (build/sanitize, clang), and the Windows program
# (build/windows). With --editor, only the Windows program and the files it uses beside it: tex.bmp, palette.bvp,
# the samples and the help, Help.chm and Help-en.chm (tools/run_editor.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
editor_only=false
case "${1:-}" in
    "") ;;
    --editor) editor_only=true ;;
    *) echo "usage: $0 [--editor]" >&2; exit 2 ;;
esac

cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
if $editor_only; then
    cmake --build build/windows --target editor
    for file in Blokkenveld.exe tex.bmp palette.bvp Help.chm Help-en.chm samples/house.bvo; do
        [ -e "build/windows/$file" ] || { echo "build/windows/$file was not built: the editor would miss it." >&2; exit 1; }
    done
    exit 0
fi

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native
# -O1 with line tables only, as the sanitizers advise: the tests run as fast, the build takes a third less time,
# and a report still names every line.
CC=clang CXX=clang++ cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
    -DBLOKKENVELD_SANITIZE=ON -DBLOKKENVELD_FUZZ=ON >/dev/null
cmake --build build/sanitize
cmake --build build/windows
