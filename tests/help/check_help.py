#!/usr/bin/env python3
"""Opens a compiled help, Help.chm or Help-en.chm, as the help viewer would and checks what a reader relies on.

Usage: check_help.py HELP_CHM [--language ja|en] [--counterpart OTHER_CHM] [--render DIR]

Unpacks the file with extract_chmLib (libchm-bin), then checks that it declares its language and names its
contents, index and start page; that every entry of the contents tree and the index opens a page that
exists (anchors included); that every page is in the contents tree, reads in the language's code page and says so;
that every link and picture on every page resolves inside the file and every picture is used; and that every
term the help must explain is explained on some page, or on the page the list names for it (every message on the
messages page, every file type on the dialogs page). The Japanese terms are help_terms.txt; the English ones are the
English column of the program's table of texts, with the terms of help_terms.txt that read the same in both.
With --counterpart, the other language's help must have the same pages, each with the same anchors and pictures.
With --render, a few pages are also drawn by headless Chromium into DIR, for a person to look at, and
each picture must show more than a blank page.
Prints one line per problem and exits non-zero when there is any.
"""
import argparse
import html
import html.parser
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
TERMS = os.path.join(HERE, "help_terms.txt")
TEXTS = os.path.join(HERE, "..", "..", "src", "text", "texts.cpp")
RENDERED = ("index.htm", "paint_window.htm", "messages.htm", "export.htm")
# Each help's locale, the code page its files are read in, and the charset its pages declare.
LANGUAGES = {"ja": (0x0411, "cp932", "shift_jis"), "en": (0x0409, "cp1252", "windows-1252")}


class Page(html.parser.HTMLParser):
    """The links, pictures, anchors, sitemap objects and visible text of one HTML file."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links, self.pictures, self.anchors, self.objects, self.text = [], [], set(), [], []
        self.charset = None
        self._object = None
        self._skip = 0

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if a.get("id"):
            self.anchors.add(a["id"])
        if tag == "a" and a.get("name"):
            self.anchors.add(a["name"])
        if tag == "a" and a.get("href"):
            self.links.append(a["href"])
        elif tag == "link" and a.get("href"):
            self.links.append(a["href"])
        elif tag == "img":
            self.pictures.append(a.get("src", ""))
        elif tag == "meta" and (a.get("http-equiv") or "").lower() == "content-type":
            found = re.search(r"charset=([\w-]+)", a.get("content", ""))
            self.charset = found.group(1) if found else None
        elif tag == "object":
            self._object = []
        elif tag == "param" and self._object is not None:
            self._object.append((a.get("name", ""), a.get("value", "")))
        elif tag in ("script", "style", "title"):
            self._skip += 1

    def handle_endtag(self, tag):
        if tag == "object" and self._object is not None:
            self.objects.append(self._object)
            self._object = None
        elif tag in ("script", "style", "title"):
            self._skip -= 1

    def handle_data(self, data):
        if not self._skip:
            self.text.append(data)


def parse(data):
    page = Page()
    page.feed(data)
    page.close()
    return page


def system_entries(data):
    """The #SYSTEM file's entries by code: 0 contents file, 1 index file, 2 start page, 3 title, 4 locale."""
    entries, pos = {}, 4
    while pos + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, pos)
        entries[code] = data[pos + 4:pos + 4 + length]
        pos += 4 + length
    return entries


def sitemap_targets(page):
    """(name, target) of every sitemap entry; an index entry naming several topics gives one pair each."""
    found = []
    for params in page.objects:
        names = [v for k, v in params if k.lower() == "name"]
        locals_ = [v for k, v in params if k.lower() == "local"]
        if not names and not locals_:
            continue
        if not locals_:
            found.append((names[0] if names else "?", None))
        for target in locals_:
            found.append((names[0] if names else "?", target))
    return found


class Checker:
    def __init__(self, root, language):
        self.root = root
        self.locale, self.codec, self.charset = LANGUAGES[language]
        self.problems = []
        self.pages = {}

    def problem(self, text):
        self.problems.append(text)

    def read(self, name):
        with open(os.path.join(self.root, name), "rb") as f:
            return f.read()

    def exists(self, name):
        return os.path.isfile(os.path.join(self.root, name))

    def decoded(self, name):
        data = self.read(name)
        try:
            return data.decode(self.codec)
        except UnicodeDecodeError as error:
            self.problem(f"{name}: not {self.charset} at byte {error.start}")
            return data.decode(self.codec, "replace")

    def page(self, name):
        if name not in self.pages:
            self.pages[name] = parse(self.decoded(name))
        return self.pages[name]

    def resolve(self, source, reference, what):
        """Checks that a reference from a file opens something in the help; returns the page it names."""
        parts = urllib.parse.urlsplit(reference)
        if parts.scheme or parts.netloc:
            self.problem(f"{source}: {what} {reference!r} leaves the help file")
            return None
        base = os.path.dirname(source)
        target = os.path.normpath(os.path.join(base, urllib.parse.unquote(parts.path))) if parts.path else source
        target = target.replace(os.sep, "/")
        if not self.exists(target):
            self.problem(f"{source}: {what} {reference!r} names {target}, which is not in the help file")
            return None
        if parts.fragment:
            if not target.endswith(".htm"):
                self.problem(f"{source}: {what} {reference!r} has an anchor in a file that is not a page")
            elif parts.fragment not in self.page(target).anchors:
                self.problem(f"{source}: {what} {reference!r}: {target} has no anchor {parts.fragment!r}")
        return target

    def check(self, terms):
        system = system_entries(self.read("#SYSTEM")) if self.exists("#SYSTEM") else {}
        if not system:
            self.problem("#SYSTEM is missing or empty")

        def text_of(code):
            return system.get(code, b"").split(b"\0")[0].decode(self.codec, "replace")
        locale = struct.unpack_from("<I", system[4])[0] if len(system.get(4, b"")) >= 4 else None
        if locale != self.locale:
            self.problem(f"the help file's language is {locale!r}, not {self.locale:#x}")
        contents, index, start = text_of(0), text_of(1), text_of(2)

        tree = []
        for kind, name in (("contents", contents), ("index", index)):
            if not name or not self.exists(name):
                self.problem(f"the {kind} file {name!r} named by #SYSTEM is missing")
                continue
            entries = sitemap_targets(self.page(name))
            raw = self.decoded(name).upper()
            if raw.count("<UL>") != raw.count("</UL>"):
                self.problem(f"the {kind} ({name}) opens {raw.count('<UL>')} lists and closes {raw.count('</UL>')}")
            if not entries:
                self.problem(f"the {kind} ({name}) has no entries")
            for title, target in entries:
                if target is None:
                    self.problem(f"{kind} entry {title!r} opens no page")
                    continue
                opened = self.resolve(name, target, f"{kind} entry {title!r}")
                if kind == "contents" and opened:
                    tree.append(opened)
        if not start or not self.exists(start):
            self.problem(f"the start page {start!r} is missing")

        pages = sorted(n for n in self.files() if n.endswith(".htm"))
        pictures = {n for n in self.files() if n.lower().endswith((".png", ".gif", ".jpg", ".bmp"))}
        used = set()
        for name in pages:
            if name not in tree:
                self.problem(f"{name} is not in the contents tree")
            page = self.page(name)
            if (page.charset or "").lower() != self.charset:
                self.problem(f"{name}: declares charset {page.charset!r}, not {self.charset}")
            for link in page.links:
                self.resolve(name, link, "link")
            for picture in page.pictures:
                target = self.resolve(name, picture, "picture")
                if target:
                    used.add(target)
                    if not self.read(target).startswith(b"\x89PNG\r\n\x1a\n"):
                        self.problem(f"{name}: picture {picture} is not a PNG file")
        for picture in sorted(pictures - used):
            self.problem(f"picture {picture} is on no page")

        texts = {n: re.sub(r"\s+", " ", " ".join(self.page(n).text)) for n in pages}
        everywhere = " ".join(texts.values())
        for term, page in terms:
            if page is None and term not in everywhere:
                self.problem(f"no page mentions {term!r}")
            elif page is not None and term not in texts.get(page, ""):
                self.problem(f"{page} does not mention {term!r}")
        return pages

    def compare(self, pages, other, other_pages):
        """The other language's help has the same pages, each with the same anchors and pictures."""
        for name in sorted(set(pages) ^ set(other_pages)):
            self.problem(f"{name} is in {'this help' if name in pages else 'the other help'} only")
        for name in sorted(set(pages) & set(other_pages)):
            for what in ("anchors", "pictures"):
                mine, theirs = getattr(self.page(name), what), getattr(other.page(name), what)
                if mine != theirs:
                    self.problem(f"{name}: {what} {sorted(mine)} here, {sorted(theirs)} in the other help")

    def files(self):
        for folder, _, names in os.walk(self.root):
            for name in names:
                yield os.path.relpath(os.path.join(folder, name), self.root).replace(os.sep, "/")


# The browser version's own texts: its save window, its notices, and besides these its picker's and samples' texts.
BROWSER_TEXTS = ("SaveAsTitle", "SaveNameLabel", "SaveKindLabel", "SaveWhere", "NameForbidden", "NameTooLong",
                 "StorageRefused")


def english_terms():
    """The English column of the table of texts, as the help quotes it: no access-key marks, no shortcut column, a
    format up to its first number. The browser version's own windows and notices belong on the browser page, dialog
    texts on the dialogs page, menus, buttons and the status window's labels anywhere, every other text (the messages
    and questions) on the messages page."""
    with open(TEXTS, encoding="utf-8") as f:
        rows = re.findall(r'\{TextId::\w+, "(\w+)",\s*"(?:[^"\\]|\\.)*",\s*"((?:[^"\\]|\\.)*)"\}', f.read())
    terms = [(t, p) for t, p in read_terms() if t.isascii()]
    for key, text in rows:
        term = re.sub(r"\\(.)", r"\1", text.split("\\t")[0].replace("&", "")).split("%")[0].strip()
        browser = key in BROWSER_TEXTS or key.startswith(("Pick", "Sample"))
        dialog = key.endswith(("Filter", "Title")) or key.startswith(("Settings", "Dialog", "Version"))
        anywhere = key.startswith("Menu") or key.endswith("Button") or key in ("CubeCountFormat", "MirrorLabel",
                                                                               "SelectionFormat")
        page = "browser.htm" if browser else None if anywhere else "dialogs.htm" if dialog else "messages.htm"
        terms.append((term, page))
    return terms


def read_terms():
    """(term, page) for every term; page is None where any page may explain it."""
    terms, page = [], None
    with open(TERMS, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("[") and line.endswith("]"):
                page = None if line == "[*]" else line[1:-1]
            else:
                terms.append((line, page))
    return terms


def render(root, out_dir, problems):
    """Draws a few pages with headless Chromium; a drawn page holds more than a handful of colours."""
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if not chromium:
        problems.append("--render: chromium is not installed (tools/install_deps.sh installs it)")
        return
    os.makedirs(out_dir, exist_ok=True)
    for name in RENDERED:
        target = os.path.join(out_dir, name.replace(".htm", ".png"))
        profile = tempfile.mkdtemp(prefix="blokkenveld-chromium-")
        try:
            subprocess.run([chromium, "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                            "--disable-background-networking", "--disable-component-update", "--disable-sync",
                            "--disable-quic", f"--user-data-dir={profile}", "--hide-scrollbars",
                            f"--screenshot={target}", "--window-size=900,1400",
                            "file://" + os.path.join(root, name)],
                           capture_output=True, timeout=120,
                           # Headless, it needs no display: a DISPLAY that may name one not running is left out.
                           env={k: v for k, v in os.environ.items() if k != "DISPLAY"})
        finally:
            # Chromium's helpers may still be writing the profile for a moment after it returns.
            for _ in range(50):
                shutil.rmtree(profile, ignore_errors=True)
                if not os.path.exists(profile):
                    break
                time.sleep(0.1)
        if not os.path.isfile(target):
            problems.append(f"--render: Chromium drew no picture of {name}")
            continue
        colours = subprocess.run(["identify", "-format", "%k", target], capture_output=True, text=True, timeout=60)
        if not colours.stdout.strip().isdigit() or int(colours.stdout) < 64:
            problems.append(f"--render: the picture of {name} is nearly blank ({colours.stdout.strip()} colours)")
        else:
            print(f"drew {name} to {target}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("chm")
    parser.add_argument("--language", choices=sorted(LANGUAGES), default="ja", help="the help's language")
    parser.add_argument("--counterpart", metavar="CHM", help="the other language's help, which must match page by page")
    parser.add_argument("--render", metavar="DIR", help="draw a few pages with headless Chromium into DIR")
    options = parser.parse_args()
    if not shutil.which("extract_chmLib"):
        print("check_help: extract_chmLib (libchm-bin) is not installed")
        return 2
    root = tempfile.mkdtemp(prefix="blokkenveld-help-check-")
    try:
        for chm, folder in ((options.chm, "this"), (options.counterpart, "other")):
            target = os.path.join(root, folder)
            if chm and (subprocess.run(["extract_chmLib", chm, target], capture_output=True, timeout=120).returncode
                        or not os.path.isdir(target) or not os.listdir(target)):
                print(f"check_help: extract_chmLib could not open {chm}")
                return 1
        checker = Checker(os.path.join(root, "this"), options.language)
        pages = checker.check(english_terms() if options.language == "en" else read_terms())
        if options.counterpart:
            other = Checker(os.path.join(root, "other"), next(k for k in LANGUAGES if k != options.language))
            checker.compare(pages, other, sorted(n for n in other.files() if n.endswith(".htm")))
        if options.render:
            render(checker.root, os.path.abspath(options.render), checker.problems)
    finally:
        shutil.rmtree(root, ignore_errors=True)
    for problem in checker.problems:
        print("help:", problem)
    print(f"help: {len(pages)} pages, {len(checker.problems)} problems")
    return 1 if checker.problems else 0


if __name__ == "__main__":
    sys.exit(main())
