#!/usr/bin/env bash
# Installs what building and testing Blokkenveld needs on Debian 12; skips what is already there.
# With --editor, only what building the Windows program and opening it under Wine need (tools/run_editor.sh).
set -euo pipefail
editor_only=false
case "${1:-}" in
    "") ;;
    --editor) editor_only=true ;;
    *) echo "usage: $0 [--editor]" >&2; exit 2 ;;
esac

# The Windows program with its artwork, samples and help, and Wine on a virtual display with the Japanese fonts.
packages=(cmake ninja-build python3 mingw-w64 fp-utils
          wine wine64 xvfb xdotool x11-utils imagemagick fonts-ipafont-gothic fonts-wine)
if ! $editor_only; then
    # The tests: the native and sanitized builds, the checks of the help and the exports, the browser version.
    packages+=(g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev libpng-dev e2fsprogs
               x11-xserver-utils libchm-bin chromium zip locales emscripten nodejs)
    # npm comes with some builds of node; Debian's own node needs Debian's npm beside it.
    command -v npm >/dev/null 2>&1 || packages+=(npm)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if $editor_only; then
    exit 0
fi

# The release test starts the program from a Japanese folder: Wine gives it code page 932 only under a
# Japanese locale that the C library knows.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

# The readers the exports are checked with (gltf-validator, three.js, puppeteer-core), from the npm registry.
(cd "$(dirname "$0")/../tests/interchange" && [ -d node_modules/three ] || npm ci --no-audit --no-fund --loglevel=error)
# What drives the browser version's tests (puppeteer-core), from the npm registry.
(cd "$(dirname "$0")/../tests/web" && [ -d node_modules/puppeteer-core ] || npm ci --no-audit --no-fund --loglevel=error)
