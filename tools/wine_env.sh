# Sourced: a private Wine prefix with the Japanese font replacements, and helpers to start a
# virtual X display. Safe to source many times.
export WINEPREFIX="${BLOKKENVELD_WINEPREFIX:-$HOME/.cache/blokkenveld/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
WINE64=/usr/lib/wine/wine64
[ -x "$WINE64" ] || WINE64="$(command -v wine64 || command -v wine)"
export WINE64

# Creates the prefix once (about 15 s), maps the program's font faces to the IPA fonts and
# installs the caption-button font.
ensure_wine_prefix() {
    local marker="$WINEPREFIX/.blokkenveld-fonts-2"
    [ -f "$marker" ] && return 0
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1 || true
    local reg="$WINEPREFIX/fonts.reg"
    python3 - "$reg" <<'PY'
import sys
faces = {"ＭＳ ゴシック": "IPAGothic", "ＭＳ Ｐゴシック": "IPAPGothic", "MS Gothic": "IPAGothic",
         "MS PGothic": "IPAPGothic", "MS Shell Dlg": "IPAPGothic", "MS UI Gothic": "IPAPGothic"}
lines = ["Windows Registry Editor Version 5.00", "", r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
lines += ['"%s"="%s"' % (k, v) for k, v in faces.items()]
open(sys.argv[1], "wb").write(("\ufeff" + "\r\n".join(lines) + "\r\n").encode("utf-16-le"))
PY
    "$WINE64" regedit /S "$reg" >/dev/null 2>&1
    # Wine draws the caption buttons with Marlett, which it does not find in its data folder here.
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    WINEPREFIX="$WINEPREFIX" wineserver -w 2>/dev/null || true
    touch "$marker"
}

# Starts Xvfb on a free display number unless one is given; prints the display.
start_xvfb() {
    local n=${1:-$(( 90 + RANDOM % 400 ))}
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export XVFB_PID
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
}
