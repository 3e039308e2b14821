#!/usr/bin/env bash
# Sets up, builds and opens the editor under Wine. Without a display it runs on a virtual one,
# saves a picture of the window after the first frames and says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install_deps.sh
bash tools/build.sh
source tools/wine_env.sh
ensure_wine_prefix

exe_dir="$PWD/build/windows"
if [ -n "${DISPLAY:-}" ]; then
    cd "$exe_dir"
    exec "$WINE64" explorer /desktop=Blokkenveld,1280x1024 Blokkenveld.exe "$@"
fi

start_xvfb
trap 'WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null; kill "$XVFB_PID" 2>/dev/null' EXIT
(cd "$exe_dir" && "$WINE64" explorer /desktop=Blokkenveld,1280x1024 Blokkenveld.exe "$@" >/dev/null 2>&1 &)
sleep 8
shot="$PWD/build/editor.png"
import -window root "$PWD/build/display.png"
# Cut the window out of the virtual desktop: everything that is not the desktop's own colour.
geometry=$(convert "$PWD/build/display.png" -fill black -fuzz 1% \
    -draw "color $(identify -format '%[fx:w-1],%[fx:h-1]' "$PWD/build/display.png") floodfill" \
    -format '%@' info: 2>/dev/null || true)
if [ -n "$geometry" ]; then
    convert "$PWD/build/display.png" -crop "$geometry" +repage "$shot"
else
    cp "$PWD/build/display.png" "$shot"
fi
echo "The editor ran on virtual display $DISPLAY; its window after the first frames: $shot"
