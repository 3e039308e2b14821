#!/usr/bin/env python3
"""Packs the browser version for the release, from the built site (build/web):

  Blokkenveld-<version>.html     the whole program in one page that runs from disk: the page's scripts and style
                                 inline, and the program, artwork, samples and help inside it, each file compressed
  Blokkenveld-<version>-web.zip  the site to put on any static web host, in one folder of that name

    python3 src/web/release_files.py SITE_DIR VERSION OUT_DIR [TIMESTAMP]

The same site gives the same files, byte for byte: the zip's entries are sorted and carry TIMESTAMP (seconds since
1970, default the last commit's), and gzip's own time stamp is left out.
"""
import base64
import gzip
import json
import os
import re
import subprocess
import sys
import time
import zipfile

# What the one-file page carries inside it; the rest of the site (the service worker, the manifest, the app icons)
# only serves a site that is installed.
EMBEDDED = re.compile(r"^(blokkenveld\.(js|wasm)|artwork/.*|samples/.*|help/.*)$")

# Reads an embedded file by its address in the site, unpacked by the browser's own gzip reader.
READER = """window.BlokkenveldEmbedded = (() => {
    const files = %s;
    async function read(address) {
        if (!(address in files)) return null;
        const packed = Uint8Array.from(atob(files[address]), (c) => c.charCodeAt(0));
        const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('gzip'));
        return new Uint8Array(await new Response(stream).arrayBuffer());
    }
    return {read, names: () => Object.keys(files)};
})();"""

# Starts the program once its code is unpacked; it then takes everything else from the reader above.
BOOT = """(async () => {
    const read = window.BlokkenveldEmbedded.read;
    window.Module = {wasmBinary: await read('blokkenveld.wasm')};
    const program = document.createElement('script');
    program.textContent = new TextDecoder().decode(await read('blokkenveld.js'));
    document.body.appendChild(program);
})();"""


def site_files(site):
    found = []
    for folder, _, names in os.walk(site):
        for name in names:
            found.append(os.path.relpath(os.path.join(folder, name), site).replace(os.sep, "/"))
    return sorted(found)


def read(site, address):
    with open(os.path.join(site, address), "rb") as f:
        return f.read()


def inline_script(text):
    # A script's text must not close its own element.
    return "<script>\n" + text.replace("</script", "<\\/script") + "\n</script>"


def one_file_page(site):
    page = read(site, "index.html").decode("utf-8")
    packed = {address: base64.b64encode(gzip.compress(read(site, address), 9, mtime=0)).decode("ascii")
              for address in site_files(site) if EMBEDDED.match(address)}
    icon = base64.b64encode(read(site, "artwork/icon105.ico")).decode("ascii")
    page = page.replace('href="artwork/icon105.ico"', f'href="data:image/x-icon;base64,{icon}"')
    page = re.sub(r'<link rel="manifest"[^>]*>\n?', "", page)
    style = read(site, "page.css").decode("utf-8")
    page = page.replace('<link rel="stylesheet" href="page.css">', "<style>\n" + style + "</style>")
    scripts = re.findall(r'<script src="([^"]+)"( async)?></script>', page)
    if not scripts or scripts[-1][0] != "blokkenveld.js":
        raise SystemExit("release_files: index.html does not end with the program's script")
    first = True
    for name, extra in scripts:
        tag = f'<script src="{name}"{extra}></script>'
        if name == "blokkenveld.js":
            replacement = inline_script(BOOT)
        else:
            replacement = inline_script(read(site, name).decode("utf-8"))
        if first:
            replacement = inline_script(READER % json.dumps(packed, separators=(",", ":"))) + "\n" + replacement
            first = False
        page = page.replace(tag, replacement)
    return page.encode("utf-8")


def web_zip(site, folder, path, stamp):
    date = time.gmtime(stamp)[:6]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for address in site_files(site):
            entry = zipfile.ZipInfo(f"{folder}/{address}", date_time=date)
            entry.external_attr = 0o644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(entry, read(site, address))


def last_commit_time():
    try:
        return int(subprocess.run(["git", "log", "-1", "--format=%ct"], capture_output=True, text=True,
                                  check=True).stdout.strip())
    except (OSError, subprocess.CalledProcessError, ValueError):
        return 946684800


def main(argv):
    if len(argv) not in (4, 5):
        print(__doc__, file=sys.stderr)
        return 2
    site, version, out = argv[1], argv[2], argv[3]
    stamp = int(argv[4]) if len(argv) == 5 else last_commit_time()
    # A zip cannot hold a time before 1980.
    stamp = max(stamp, 315532800)
    os.makedirs(out, exist_ok=True)
    name = f"Blokkenveld-{version}"
    with open(os.path.join(out, name + ".html"), "wb") as f:
        f.write(one_file_page(site))
    web_zip(site, name + "-web", os.path.join(out, name + "-web.zip"), stamp)
    for produced in (name + ".html", name + "-web.zip"):
        print(os.path.join(out, produced), os.path.getsize(os.path.join(out, produced)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
