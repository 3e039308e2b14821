#!/usr/bin/env python3
"""Writes the program's help for the browser version: the pages Help.chm and Help-en.chm are compiled from, as they
are, each language beside a viewer page (index.html) that stands for the HTML Help window, with the same contents tree
and keyword index: the Japanese help in OUTPUT_DIR, the English one in OUTPUT_DIR/en.

    python3 src/web/help_site.py OUTPUT_DIR

The pictures are kept once, in OUTPUT_DIR/images: the English pages point at them there, but for the English help's
own pictures of the program in English, which it keeps in OUTPUT_DIR/en/images. The contents and the
keywords are read by the help compiler's own functions (resources/help/build_help.py), so that both helps list the
same entries.
"""
import html
import json
import os
import re
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "..", "..", "resources", "help")
sys.path.insert(0, SOURCE)

import build_help  # noqa: E402  (found beside the pages it reads)

VIEWER = """<!DOCTYPE html>
<html lang="{lang}">
<head>
<meta charset="utf-8">
<title>{title}</title>
<link rel="icon" href="{site}artwork/icon105.ico">
<style>
html, body {{ margin: 0; height: 100%; }}
body {{ display: flex; font: 9pt "Meiryo UI", "Meiryo", "Yu Gothic UI", "MS UI Gothic", "IPAPGothic", sans-serif; }}
#pane {{ flex: 0 0 260px; display: flex; flex-direction: column; border-right: 1px solid #b8c0c8; background: #f7f9fb; }}
#tabs {{ display: flex; border-bottom: 1px solid #b8c0c8; }}
#tabs button {{ flex: 1 1 0; padding: 5px 0; border: none; border-right: 1px solid #d4dbe2; background: #e6ebf0;
    font: inherit; cursor: pointer; }}
#tabs button[aria-selected="true"] {{ background: #f7f9fb; font-weight: bold; }}
.list {{ flex: 1 1 auto; overflow: auto; padding: 6px 4px; }}
.list[hidden] {{ display: none; }}
ul {{ list-style: none; margin: 0; padding-left: 14px; }}
#contents > ul {{ padding-left: 2px; }}
summary {{ cursor: pointer; }}
a {{ color: #1b3d66; text-decoration: none; display: inline-block; padding: 1px 3px; }}
a:hover {{ text-decoration: underline; }}
a.current {{ background: #3096fa; color: #fff; }}
#filter {{ margin: 0 0 6px; width: calc(100% - 8px); font: inherit; }}
#index li ul {{ padding-left: 16px; }}
iframe {{ flex: 1 1 auto; border: none; height: 100%; }}
</style>
</head>
<body>
<nav id="pane">
<div id="tabs" role="tablist"><button role="tab" aria-selected="true" data-list="contents">{contents_tab}</button><button
role="tab" aria-selected="false" data-list="index">{index_tab}</button></div>
<div class="list" id="contents">{contents}</div>
<div class="list" id="index" hidden><input id="filter" type="search" placeholder="{filter}" aria-label="{index_tab}">
{index}</div>
</nav>
<iframe name="topic" title="{frame}" src="{default}"></iframe>
<script>
'use strict';
// In a function of its own: the one-file page writes the viewer into the window it already has open (again, or in the
// other language), where names declared at the top of a script before would still be taken.
(() => {{
    // The tabs, the keyword filter, and the contents following the page shown (its entry marked and opened).
    const frame = document.querySelector('iframe');
    for (const tab of document.querySelectorAll('#tabs button')) {{
        tab.addEventListener('click', () => {{
            for (const other of document.querySelectorAll('#tabs button')) {{
                other.setAttribute('aria-selected', String(other === tab));
                document.getElementById(other.dataset.list).hidden = other !== tab;
            }}
        }});
    }}
    document.getElementById('filter').addEventListener('input', (event) => {{
        const words = event.target.value.trim().toLowerCase();
        for (const item of document.querySelectorAll('#index > ul > li'))
            item.hidden = words !== '' && !item.dataset.keyword.toLowerCase().includes(words);
    }});
    // Made by the one-file page, the window has no folder of pages: it is given them as texts (window.helpPages), shows
    // each from its text, and follows the links itself.
    const embedded = window.helpPages;
    function show(target) {{
        const [name, anchor] = target.split('#');
        if (!embedded) {{
            frame.src = target;
        }} else if (name in embedded) {{
            frame.dataset.page = name;
            frame.dataset.anchor = anchor || '';
            frame.srcdoc = embedded[name];
        }}
    }}
    if (embedded) {{
        document.addEventListener('click', (event) => {{
            const link = event.target.closest('a[target="topic"]');
            if (!link) return;
            event.preventDefault();
            show(link.getAttribute('href'));
        }});
        frame.addEventListener('load', () => {{
            const page = frame.contentDocument;
            if (frame.dataset.anchor) page.getElementById(frame.dataset.anchor)?.scrollIntoView();
            page.addEventListener('click', (event) => {{
                const link = event.target.closest('a[href]');
                if (!link || /^[a-z]+:/i.test(link.getAttribute('href'))) return;
                event.preventDefault();
                show(link.getAttribute('href'));
            }});
        }});
        show('{default}');
    }}
    frame.addEventListener('load', () => {{
        let shown = frame.dataset.page || '';
        if (!embedded) {{
            try {{ shown = frame.contentWindow.location.pathname.split('/').pop(); }} catch (error) {{ return; }}
        }}
        document.title = (frame.contentDocument && frame.contentDocument.title) || document.title;
        for (const link of document.querySelectorAll('#contents a')) {{
            const current = link.getAttribute('href').split('#')[0] === shown;
            link.classList.toggle('current', current);
            if (!current) continue;
            for (let node = link.parentElement; node; node = node.parentElement)
                if (node.tagName === 'DETAILS') node.open = true;
        }}
    }});
    const asked = new URLSearchParams(location.search).get('page');
    if (asked && {pages}.includes(asked.split('#')[0])) show(asked);
}})();
</script>
</body>
</html>
"""


# Each language's viewer: where it goes below the output folder, the way back up to the site, and its own words.
VIEWERS = {
    "ja": dict(folder="", site="../", lang="ja", title="Blokkenveld ヘルプ", contents_tab="目次",
               index_tab="キーワード", filter="キーワードを入力", frame="ヘルプの本文"),
    "en": dict(folder="en", site="../../", lang="en", title="Blokkenveld Help", contents_tab="Contents",
               index_tab="Index", filter="Type a keyword", frame="Help topic"),
}


def link(title, target):
    return f'<a href="{html.escape(target)}" target="topic">{html.escape(title)}</a>'


def contents_tree(entries):
    """Nested lists; an entry with entries below it opens and closes them."""
    out = []

    def walk(start, level):
        out.append("<ul>")
        i = start
        while i < len(entries) and entries[i][0] == level:
            _, title, target = entries[i]
            has_children = i + 1 < len(entries) and entries[i + 1][0] > level
            if has_children:
                out.append(f"<li><details open><summary>{link(title, target)}</summary>")
                i = walk(i + 1, level + 1)
                out.append("</details></li>")
            else:
                out.append(f"<li>{link(title, target)}</li>")
                i += 1
        out.append("</ul>")
        return i

    walk(0, 0)
    return "\n".join(out)


def keyword_index(pages):
    keywords = {}
    for name, (title, words, _) in sorted(pages.items()):
        for word in words:
            keywords.setdefault(word, []).append((title, name))
    out = ["<ul>"]
    for word in sorted(keywords, key=lambda w: (w.casefold(), w)):
        targets = keywords[word]
        keyword = html.escape(word, quote=True)
        if len(targets) == 1:
            out.append(f'<li data-keyword="{keyword}">{link(word, targets[0][1])}</li>')
        else:
            inner = "".join(f"<li>{link(title, name)}</li>" for title, name in targets)
            out.append(f'<li data-keyword="{keyword}">{html.escape(word)}<ul>{inner}</ul></li>')
    out.append("</ul>")
    return "\n".join(out)


def write_viewer(output, language):
    """One language's pages, style and viewer; its pages' pictures point at the Japanese help's, which holds them."""
    words = VIEWERS[language]
    source = build_help.LANGUAGES[language].source
    target = os.path.join(output, words["folder"])
    entries = build_help.read_contents(os.path.join(source, "contents.txt"))
    page_dir = os.path.join(source, "pages")
    pages = {name: build_help.read_page(os.path.join(page_dir, name)) for name in sorted(os.listdir(page_dir))
             if name.endswith(".htm")}
    for _, title, entry in entries:
        if entry.split("#")[0] not in pages:
            raise build_help.HelpError(f"contents.txt: '{title}' points at {entry}, which is not a page")
    os.makedirs(target, exist_ok=True)
    images = os.path.relpath(os.path.join(output, "images"), target).replace(os.sep, "/")
    # The language's own pictures beside its pages; the Japanese help's are the shared ones.
    own = build_help.own_pictures(build_help.LANGUAGES[language]) if target != output else set()
    for name in sorted(own):
        os.makedirs(os.path.join(target, "images"), exist_ok=True)
        shutil.copy(os.path.join(source, "images", name), os.path.join(target, "images"))
    for name in pages:
        with open(os.path.join(page_dir, name), "r", encoding="utf-8") as f:
            text = f.read()
        text = re.sub(r'src="images/([^"]+)"',
                      lambda m: m.group(0) if m.group(1) in own else f'src="{images}/{m.group(1)}"', text)
        with open(os.path.join(target, name), "w", encoding="utf-8") as f:
            f.write(text)
    shutil.copy(os.path.join(SOURCE, "style.css"), target)
    viewer = VIEWER.format(contents=contents_tree(entries), index=keyword_index(pages), default=build_help.DEFAULT_PAGE,
                           pages=json.dumps(sorted(pages)), **{k: v for k, v in words.items() if k != "folder"})
    with open(os.path.join(target, "index.html"), "w", encoding="utf-8") as f:
        f.write(viewer)


def build(output):
    if os.path.isdir(output):
        shutil.rmtree(output)
    os.makedirs(os.path.join(output, "images"))
    for name in sorted(os.listdir(os.path.join(SOURCE, "images"))):
        if name.endswith(".png"):
            shutil.copy(os.path.join(SOURCE, "images", name), os.path.join(output, "images"))
    for language in VIEWERS:
        write_viewer(output, language)


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        build(argv[1])
    except build_help.HelpError as error:
        print(f"help: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
