#!/usr/bin/env bash
# Sets up, builds and opens the editor under Wine: only what the editor needs, not the tests' tools and builds.
# Without a display it runs on a virtual one, saves a picture of the window once it has drawn and says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install_deps.sh --editor
bash tools/build.sh --editor
source tools/wine_env.sh
ensure_wine_prefix

exe_dir="$PWD/build/windows"
if [ -n "${DISPLAY:-}" ]; then
    cd "$exe_dir"
    exec "$WINE64" explorer /desktop=Blokkenveld,1280x1024 Blokkenveld.exe "$@"
fi

start_xvfb
trap 'wineserver -k 2>/dev/null; kill "$XVFB_PID" 2>/dev/null' EXIT
# The desktop gets a name of its own, so that its title is never taken for the program's.
(cd "$exe_dir" && "$WINE64" explorer /desktop=editor,1280x1024 Blokkenveld.exe "$@" >/dev/null 2>&1 &)
# The program's own window, then a moment for its first frames under the software rasteriser.
window=""
for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name '^Blokkenveld( - .*)?$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "The editor did not open a window within 30 s." >&2
    exit 1
fi
sleep 2
shot="$PWD/build/editor.png"
eval "$(xwininfo -id "$window" | awk -F: '/Absolute upper-left X/ {print "x=" $2} /Absolute upper-left Y/ {print "y=" $2}
    /Width/ {print "w=" $2} /Height/ {print "h=" $2}' | tr -d ' ')"
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shot"
echo "The editor ran on virtual display $DISPLAY; its window after the first frames: $shot"
