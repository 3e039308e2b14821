#!/usr/bin/env python3
"""Compiles the program's help, Help.chm in Japanese or Help-en.chm in English, from the pages kept in this folder.

    python3 resources/help/build_help.py OUTPUT.chm [--language ja|en] [--chmcmd PATH] [--staging DIR]

The sources are UTF-8 for editing and review: pages/*.htm and contents.txt in Japanese, en/pages/*.htm and
en/contents.txt in English, and style.css and images/*.png, which both share; a picture that shows the program's
words has an English one of the same name in en/images, which the English help shows in its place. contents.txt is the contents tree (one
"title | page" line per entry, four spaces of indent per level). The index is gathered from each page's
<meta name="keywords">, keywords separated by ";".

The help viewer is an ANSI program that reads the contents, the index and the titles in the code page of the help
file's language, and this compiler copies the titles' bytes as the pages hold them; so each help is written in its
language's code page, and its pages say so in their meta tag:

- Japanese, code page 932 (Shift_JIS). A character Shift_JIS cannot hold stops the build with its page and line.
- English, code page 1252 (windows-1252), the code page Windows gives English; it holds the English text's accents,
  dashes and the multiplication sign. The pages also name a few characters beyond it (the arrow keys, the Japanese
  captions of the language menu and of the paint window's labels): in a page's text these are written as numeric
  character references, which the viewer's browser engine reads whatever the page's code page. The contents, the
  index, the titles and the keywords must stay inside code page 1252 (the build stops otherwise), since the viewer
  shows them as plain ANSI text.

The index stays a sitemap file rather than the binary index, which this compiler would write with every Japanese
keyword turned into question marks.
"""
import argparse
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile
import typing

HERE = os.path.dirname(os.path.abspath(__file__))
WINDOW_TITLE = "Blokkenveld Help"  # plain ASCII: the caption is shown in the system's own code page
DEFAULT_PAGE = "index.htm"


class HelpLanguage(typing.NamedTuple):
    source: str  # the folder with this language's pages/ and contents.txt
    encoding: str  # Python's name of the help's code page
    charset: str  # the same code page as the pages' meta tag names it
    project_language: str  # the project's Language= (the file's locale)
    default_font: str  # the project's Default Font=, "" for the viewer's own
    window_style: int  # the navigation pane's HHWIN_PROP_* flags
    references: bool  # whether a page's text may name characters beyond the code page as character references


# The panes' flags: tri-pane, auto-sync, change title, user position. The Search tab (0x400) only in English: this
# compiler's word breaking does not split Japanese text.
LANGUAGES = {
    "ja": HelpLanguage(HERE, "cp932", "Shift_JIS", "0x411 Japanese", "MS UI Gothic,9,128", 0x42120, False),
    "en": HelpLanguage(os.path.join(HERE, "en"), "cp1252", "windows-1252", "0x409 English (United States)", "",
                       0x42520, True),
}


class HelpError(Exception):
    pass


def own_pictures(language):
    """The names of the shared pictures the language has its own of (the program's words in it)."""
    folder = os.path.join(language.source, "images")
    if language.source == HERE or not os.path.isdir(folder):
        return set()
    return set(os.listdir(folder)) & set(os.listdir(os.path.join(HERE, "images")))


def picture_of(language, name):
    """The file of a picture of the help in the language: its own where it has one, else the shared one."""
    return os.path.join(language.source if name in own_pictures(language) else HERE, "images", name)


def encode(text, where, language, references=False):
    """The text in the help's code page; with references, a character beyond it becomes &#N; rather than an error."""
    try:
        return text.encode(language.encoding, "xmlcharrefreplace" if references else "strict")
    except UnicodeEncodeError as error:
        line = text.count("\n", 0, error.start) + 1
        raise HelpError(f"{where}, line {line}: {text[error.start:error.end]!r} (U+{ord(text[error.start]):04X}) "
                        f"has no {language.charset} code; write it another way") from None


def read_contents(path):
    """The contents tree as (level, title, target) in order; target is "page.htm" or "page.htm#anchor"."""
    entries = []
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            if not raw.strip() or raw.lstrip().startswith("#"):
                continue
            indent = len(raw) - len(raw.lstrip(" "))
            if indent % 4 or "|" not in raw:
                raise HelpError(f"contents.txt, line {number}: expected four-space indents and 'title | page'")
            title, target = (part.strip() for part in raw.split("|", 1))
            level = indent // 4
            if entries and level > entries[-1][0] + 1 or not entries and level:
                raise HelpError(f"contents.txt, line {number}: indented more than one level below its parent")
            entries.append((level, title, target))
    return entries


def read_page(path):
    """Title, index keywords and text of a page, checked to declare the UTF-8 it is written in."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    name = os.path.basename(path)
    if 'charset=utf-8"' not in text:
        raise HelpError(f"{name}: the page must declare charset=utf-8 in its Content-Type meta tag")
    title = re.search(r"<title>(.*?)</title>", text, re.S)
    if not title:
        raise HelpError(f"{name}: no <title>")
    keywords = re.search(r'<meta name="keywords" content="([^"]*)"', text)
    words = [w.strip() for w in html.unescape(keywords.group(1)).split(";") if w.strip()] if keywords else []
    return html.unescape(title.group(1).strip()), words, text


def sitemap_entry(name, targets, indent):
    params = [f'<param name="Name" value="{html.escape(name)}">']
    for title, target in targets:
        if title is not None:
            params.append(f'<param name="Name" value="{html.escape(title)}">')
        params.append(f'<param name="Local" value="{target}">')
    return f'{indent}<LI><OBJECT type="text/sitemap">{"".join(params)}</OBJECT>'


def sitemap(body_lines, charset):
    head = ['<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">', "<HTML>", "<HEAD>",
            f'<meta http-equiv="Content-Type" content="text/html; charset={charset}">', "</HEAD><BODY>",
            '<OBJECT type="text/site properties"><param name="Window Styles" value="0x800025"></OBJECT>']
    return "\r\n".join(head + body_lines + ["</BODY></HTML>", ""])


def contents_file(entries, charset):
    lines, level = ["<UL>"], 0
    for entry_level, title, target in entries:
        while level < entry_level:
            lines.append("  " * (level + 1) + "<UL>")
            level += 1
        while level > entry_level:
            lines.append("  " * level + "</UL>")
            level -= 1
        lines.append(sitemap_entry(title, [(None, target)], "  " * (level + 1)))
    while level > 0:
        lines.append("  " * level + "</UL>")
        level -= 1
    return sitemap(lines + ["</UL>"], charset)


def index_file(pages, charset):
    """One entry per keyword, pointing at every page that names it (the viewer then offers the choice)."""
    keywords = {}
    for name, (title, words, _) in sorted(pages.items()):
        for word in words:
            keywords.setdefault(word, []).append((title, name))
    lines = ["<UL>"]
    for word in sorted(keywords, key=lambda w: (w.casefold(), w)):
        targets = keywords[word]
        lines.append(sitemap_entry(word, targets if len(targets) > 1 else [(None, targets[0][1])], "  "))
    return sitemap(lines + ["</UL>"], charset)


def project_file(files, language):
    options = [
        "[OPTIONS]",
        "Compatibility=1.1 or later",
        "Compiled file=Help.chm",
        "Contents file=toc.hhc",
        "Index file=index.hhk",
        "Default Window=main",
        f"Default topic={DEFAULT_PAGE}",
        "Display compile progress=No",
        # The search index also brings the topic table the viewer takes titles from.
        "Full-text search=Yes",
        "Binary TOC=No",
        "Binary Index=No",
        f"Language={language.project_language}",
        f"Title={WINDOW_TITLE}",
    ]
    if language.default_font:
        options.append(f"Default Font={language.default_font}")
    options += [
        "",
        "[WINDOWS]",
        # Three panes, contents and index tabs; Hide, Back, Forward, Home, Sync, Options, Print and font size.
        f'main="{WINDOW_TITLE}","toc.hhc","index.hhk","{DEFAULT_PAGE}","{DEFAULT_PAGE}",,,,,'
        f"0x{language.window_style:X},240,0x10384E,[80,60,1000,760],,,,,,,0",
        "",
        "[FILES]",
    ]
    return "\r\n".join(options + files + [""])


def build(language, output, chmcmd, staging):
    source = language.source
    entries = read_contents(os.path.join(source, "contents.txt"))
    page_dir = os.path.join(source, "pages")
    pages = {name: read_page(os.path.join(page_dir, name)) for name in sorted(os.listdir(page_dir))
             if name.endswith(".htm")}
    for _, title, target in entries:
        if target.split("#")[0] not in pages:
            raise HelpError(f"contents.txt: '{title}' points at {target}, which is not a page")
    if DEFAULT_PAGE not in pages:
        raise HelpError(f"no {DEFAULT_PAGE}")

    if os.path.isdir(staging):
        shutil.rmtree(staging)
    os.makedirs(os.path.join(staging, "images"))
    files = []
    for name, (title, words, text) in pages.items():
        # What the viewer shows as ANSI text must fit the code page, character references or not.
        encode("\n".join([title] + words), f"{name} (its title and keywords)", language)
        text = text.replace('charset=utf-8"', f'charset={language.charset}"')
        with open(os.path.join(staging, name), "wb") as f:
            f.write(encode(text, name, language, language.references))
        files.append(name)
    shutil.copy(os.path.join(HERE, "style.css"), staging)
    files.append("style.css")
    for name in sorted(os.listdir(os.path.join(HERE, "images"))):
        if name.endswith(".png"):
            shutil.copy(picture_of(language, name), os.path.join(staging, "images"))
            files.append("images\\" + name)
    for name, text in (("toc.hhc", contents_file(entries, language.charset)),
                       ("index.hhk", index_file(pages, language.charset)), ("Help.hhp", project_file(files, language))):
        with open(os.path.join(staging, name), "wb") as f:
            f.write(encode(text, name, language))

    result = subprocess.run([chmcmd, "Help.hhp"], cwd=staging, capture_output=True, text=True,
                            errors="replace", timeout=300)
    built = os.path.join(staging, "Help.chm")
    if result.returncode != 0 or not os.path.isfile(built):
        raise HelpError(f"{chmcmd} failed:\n{result.stdout}{result.stderr}")
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    shutil.copy(built, output)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", help="the .chm to write")
    parser.add_argument("--language", choices=sorted(LANGUAGES), default="ja", help="the help's language")
    parser.add_argument("--chmcmd", default=shutil.which("chmcmd") or "chmcmd", help="the CHM compiler")
    parser.add_argument("--staging", help="where the project is assembled (default: a temporary folder)")
    options = parser.parse_args(argv[1:])
    staging = options.staging or tempfile.mkdtemp(prefix="blokkenveld-help-")
    try:
        build(LANGUAGES[options.language], options.output, options.chmcmd, staging)
    except HelpError as error:
        sys.stderr.write(f"build_help.py: {error}\n")
        return 1
    finally:
        if not options.staging:
            shutil.rmtree(staging, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
