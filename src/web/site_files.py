#!/usr/bin/env python3
"""Makes the browser version a site that installs as an app and works with the network gone: the sample models, the
app's icons drawn from the program's artwork, the web app manifest, and last the service worker, which lists every
file of the site with the digest of its bytes and keeps them under a cache named by the version, the files' contents
and the worker's scope.

    python3 src/web/site_files.py SITE_DIR VERSION icons|samples|worker

The icons and samples are written once their scripts change; the worker whenever any file of the site changed.
"""
import base64
import hashlib
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.join(HERE, "..", "..", "resources")

# The models and the picture the page offers, as the Windows program's samples folder holds them; its two palettes
# come with the Windows program alone.
SAMPLES = ["house.bvo", "tree.bvo", "character.bvo", "car.bvo", "town.bvo", "fuji.bmp"]
ICON_SIZES = [192, 512]
WORKER = "sw.js"


def png_bytes(width, height, rows):
    """An 8-bit RGBA PNG of rows (lists of (r, g, b, a))."""
    raw = b"".join(b"\0" + bytes(value for pixel in row for value in pixel) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def write_icons(site):
    sys.path.insert(0, RESOURCES)
    import draw_artwork  # noqa: E402  (the program's own artwork)

    os.makedirs(os.path.join(site, "icons"), exist_ok=True)
    for size in ICON_SIZES:
        # The program icon's cube stack, drawn again at the size the app asks for (its 48-pixel one, scaled).
        image = draw_artwork.draw_cube_stack(size, size * 11 / 48)
        rows = []
        for y in range(size):
            row = []
            for x in range(size):
                pixel = image.get(x, y)
                row.append(tuple(pixel) if len(pixel) == 4 else tuple(pixel) + (255,))
            rows.append(row)
        with open(os.path.join(site, "icons", f"icon-{size}.png"), "wb") as f:
            f.write(png_bytes(size, size, rows))


def write_samples(site):
    with tempfile.TemporaryDirectory() as drawn:
        subprocess.run([sys.executable, os.path.join(RESOURCES, "draw_samples.py"), drawn], check=True,
                       stdout=subprocess.DEVNULL)
        os.makedirs(os.path.join(site, "samples"), exist_ok=True)
        for name in SAMPLES:
            shutil.copy(os.path.join(drawn, name), os.path.join(site, "samples", name))


def manifest(version):
    return {
        "name": "Blokkenveld",
        "short_name": "Blokkenveld",
        "description": "立方体モデラー",
        "lang": "ja",
        "version": version,
        "start_url": "./index.html",
        "scope": "./",
        "display": "standalone",
        # The paint window's title strip and the view's default background.
        "theme_color": "#1b3d66",
        "background_color": "#000000",
        "icons": [{"src": f"icons/icon-{size}.png", "sizes": f"{size}x{size}", "type": "image/png",
                   "purpose": "any"} for size in ICON_SIZES],
        "file_handlers": [{"action": "./index.html", "accept": {
            "application/x-blokkenveld": [".bvo"], "application/x-magicavoxel": [".vox"]}}],
    }


def site_files(site):
    """Every file of the site but the worker itself, as addresses relative to the site, in a fixed order."""
    found = []
    for folder, _, names in os.walk(site):
        for name in names:
            path = os.path.relpath(os.path.join(folder, name), site).replace(os.sep, "/")
            if path != WORKER:
                found.append(path)
    return sorted(found)


def integrity(data):
    """The subresource-integrity value of a file's bytes, which a fetch checks before it hands the file over."""
    return "sha256-" + base64.b64encode(hashlib.sha256(data).digest()).decode("ascii")


def worker_source(template, version, files):
    """The worker for files, a list of (address, bytes): its release named by the version and every address and
    file, and each file listed with its integrity value."""
    digest = hashlib.sha256()
    for path, data in files:
        digest.update(path.encode("utf-8") + b"\0")
        digest.update(data)
    source = template.replace("@RELEASE@", f"blokkenveld-{version}-{digest.hexdigest()[:12]}")
    listed = ",\n".join("    " + json.dumps([path, integrity(data)]) for path, data in files)
    return source.replace("@FILES@", "[\n" + listed + "\n]")


def write_worker(site, version):
    with open(os.path.join(site, "manifest.webmanifest"), "w", encoding="utf-8") as f:
        json.dump(manifest(version), f, ensure_ascii=False, indent=1)
    files = []
    for path in site_files(site):
        with open(os.path.join(site, path), "rb") as f:
            files.append((path, f.read()))
    with open(os.path.join(HERE, "sw.js.in"), encoding="utf-8") as f:
        source = worker_source(f.read(), version, files)
    with open(os.path.join(site, WORKER), "w", encoding="utf-8") as f:
        f.write(source)


def main(argv):
    if len(argv) != 4 or argv[3] not in ("icons", "samples", "worker"):
        print(__doc__, file=sys.stderr)
        return 2
    site, version, what = argv[1], argv[2], argv[3]
    if what == "icons":
        write_icons(site)
    elif what == "samples":
        write_samples(site)
    else:
        write_worker(site, version)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
