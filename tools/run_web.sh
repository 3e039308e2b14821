#!/usr/bin/env bash
# Sets up and builds the browser version, serves build/web on 127.0.0.1 and prints the address to open. Without a
# display it takes a picture of the page in headless Chromium, says where it is, and stops serving.
# PORT chooses the port (8080, or a free one when that is taken).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install_deps.sh
bash tools/build_web.sh

port="${PORT:-}"
if [ -z "$port" ]; then
    port=$(python3 - <<'PY'
import socket
for candidate in (8080, 0):
    s = socket.socket()
    try:
        s.bind(("127.0.0.1", candidate))
        print(s.getsockname()[1])
        break
    except OSError:
        continue
    finally:
        s.close()
PY
)
fi
python3 -m http.server --bind 127.0.0.1 --directory build/web "$port" >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
url="http://127.0.0.1:$port/"
for _ in $(seq 50); do
    python3 -c "import urllib.request; urllib.request.urlopen('$url', timeout=1)" 2>/dev/null && break
    sleep 0.1
done
echo "Blokkenveld in the browser: $url"

if [ -n "${DISPLAY:-}" ]; then
    echo "Serving until Ctrl+C."
    wait "$server"
else
    (cd tests/web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
    shot="$PWD/build/web-page.png"
    node tests/web/shoot.mjs "$url" "$shot" >/dev/null
    echo "No display here: a picture of the page after its first frames is in $shot"
fi
