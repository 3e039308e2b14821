#!/usr/bin/env bash
# Builds the Windows program and packs what a user downloads, build/dist/Blokkenveld-<version>-win64.zip:
# the exe, the converter, the help in Japanese and English, the default atlas and palette, the samples, a read-me
# and the licence, in one folder; and beside it the browser version, Blokkenveld-<version>.html (the whole program
# in one page) and Blokkenveld-<version>-web.zip (the site, installable and working offline).
# Usage: tools/package.sh [BUILD_DIR]    (default build/windows, configured for mingw-w64 when new)
# Prints the Windows zip's path on its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows}
# One package at a time: two at once would build in the same trees.
mkdir -p build
exec 9>build/.package-lock
flock 9
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
fi
cmake --build "$build" >/dev/null

version=$(sed -n 's/^#define BLOKKENVELD_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/version.h")
[ -n "$version" ] || { echo "package.sh: no version in $build/generated/version.h" >&2; exit 1; }
name="Blokkenveld-$version"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root="$stage/$name"
mkdir -p "$root/samples"
programs="Blokkenveld.exe blokkenveld-convert.exe"
for file in $programs Help.chm Help-en.chm tex.bmp palette.bvp; do
    [ -f "$build/$file" ] || { echo "package.sh: $build/$file is missing" >&2; exit 1; }
    cp "$build/$file" "$root/"
done
cp "$build"/samples/* "$root/samples/"
# The same sources give the same zip: file times and the exe's link time are the last commit's.
stamp=$(git log -1 --format=%ct 2>/dev/null || echo 946684800)
# The symbols only serve a debugger; users get the program without them.
strip=$(command -v x86_64-w64-mingw32-strip || true)
if [ -n "$strip" ]; then
    for file in $programs; do
        SOURCE_DATE_EPOCH="$stamp" "$strip" "$root/$file"
    done
fi

# Texts for Notepad: UTF-8 with a byte order mark and Windows line ends read right on every Windows version.
python3 - "$version" "$root" <<'PY'
import sys
version, root = sys.argv[1], sys.argv[2]
for source, target in (("resources/package/README.txt", "README.txt"), ("LICENSE", "LICENSE.txt")):
    text = open(source, encoding="utf-8").read().replace("@VERSION@", version)
    with open(f"{root}/{target}", "wb") as f:
        f.write(b"\xef\xbb\xbf" + text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8"))
PY

find "$root" -exec touch -h -d "@$stamp" {} +
mkdir -p build/dist
bash tools/build_web.sh >/dev/null
cp "build/web-release/$name.html" "build/web-release/$name-web.zip" build/dist/
zip_path="$(pwd)/build/dist/$name-win64.zip"
rm -f "$zip_path"
(cd "$stage" && find "$name" | LC_ALL=C sort | zip -q -X -9 "$zip_path" -@)
echo "$zip_path"
