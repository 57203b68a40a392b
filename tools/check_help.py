#!/usr/bin/env python3
"""Checks that the help page is a self-contained, well-formed HTML page that
names every menu item that has a shortcut.

The page is opened from the player's disk by whatever browser is the
default, often with no network, so it must carry everything itself: no
scripts, nothing fetched from elsewhere, and an explicit UTF-8 charset so
the Chinese text never shows as mojibake.

The menu items are read from the program's source, from the calls
.Define(L"caption", L"Ctrl+X"); each caption must stand with its
shortcut in one row, list item or paragraph of the page.

Usage: python3 tools/check_help.py [--source FOLDER] data/help.htm
FOLDER is the source tree to read the menus from (the one this tool is in
by default). Exit code 0 when the page passes, 1 when it does not (each
problem is printed with its line), 2 when a file cannot be read.
"""

import argparse
import html.parser
import os
import re
import sys

# Elements that never take an end tag.
VOID = {
    "area", "base", "br", "col", "embed", "hr", "img", "input", "link",
    "meta", "param", "source", "track", "wbr",
}

# Attributes whose value the browser fetches or follows.
URL_ATTRIBUTES = {"src", "href", "srcset", "action", "poster", "data", "background", "formaction"}

# Any scheme or a protocol-relative "//host" reaches beyond the page's own
# folder; only fragment links, relative paths and "data:" stay local.
REMOTE_URL = re.compile(r"^\s*(?:[a-z][a-z0-9+.-]*:|//)", re.IGNORECASE)
LOCAL_SCHEMES = ("data:",)
CSS_REMOTE = re.compile(r"@import|url\(\s*['\"]?\s*(?:[a-z][a-z0-9+.-]*:|//)", re.IGNORECASE)

# A menu item with a shortcut, as the program defines it.
MENU_DEFINE = re.compile(r'\.Define\(\s*L"([^"]+)"\s*,\s*L"([^"]+)"\s*\)')
SOURCE_SUFFIXES = (".cpp", ".h")
# Folders of the tree that are not the program: builds, tests, tools.
SKIPPED_FOLDERS = {"tests", "tools", "third_party"}
# Where a caption and its shortcut must meet.
BLOCKS = {"tr", "li", "p", "dd"}


class HelpPageChecker(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.problems = []
        self.open_tags = []  # (tag, line) of every element not yet closed
        self.has_doctype = False
        self.has_charset = False
        self.html_lang = None
        self.ids = {}
        self.fragment_links = []  # (fragment, line)
        self.in_style = False
        self.open_blocks = []  # [text so far] of every row, list item or paragraph not yet closed
        self.blocks = []  # the text of every closed one, without white space

    def problem(self, text, line=None):
        if line is None:
            line = self.getpos()[0]
        self.problems.append((line, text))

    def handle_decl(self, decl):
        if decl.strip().lower() == "doctype html":
            self.has_doctype = True

    def handle_starttag(self, tag, attrs):
        self.check_element(tag, attrs)
        if tag not in VOID:
            self.open_tags.append((tag, self.getpos()[0]))
        if tag == "style":
            self.in_style = True
        if tag in BLOCKS:
            self.open_blocks.append([])

    def handle_startendtag(self, tag, attrs):
        self.check_element(tag, attrs)
        if tag not in VOID:
            self.problem(f"<{tag}/> is not a void element; write <{tag}></{tag}>")

    def handle_endtag(self, tag):
        line = self.getpos()[0]
        if tag == "style":
            self.in_style = False
        if tag in BLOCKS and self.open_blocks:
            self.blocks.append(re.sub(r"\s+", "", "".join(self.open_blocks.pop())))
        if tag in VOID:
            self.problem(f"</{tag}> closes a void element", line)
            return
        if not self.open_tags:
            self.problem(f"</{tag}> has no matching start tag", line)
            return
        if self.open_tags[-1][0] == tag:
            self.open_tags.pop()
            return
        open_names = [name for name, _ in self.open_tags]
        if tag not in open_names:
            self.problem(f"</{tag}> has no matching start tag", line)
            return
        # Report every element the stray end tag skips, then resynchronise.
        while self.open_tags[-1][0] != tag:
            name, opened = self.open_tags.pop()
            self.problem(f"<{name}> opened on line {opened} is not closed before </{tag}>", line)
        self.open_tags.pop()

    def handle_data(self, data):
        if self.in_style and CSS_REMOTE.search(data):
            self.problem("the style sheet imports or loads something from outside the page")
        for block in self.open_blocks:
            block.append(data)

    def check_element(self, tag, attrs):
        values = dict(attrs)
        if tag == "script":
            self.problem("<script> is not allowed: the help page runs no code")
        if tag in ("iframe", "object", "embed", "frame"):
            self.problem(f"<{tag}> is not allowed: the page embeds nothing")
        if tag == "link" and "stylesheet" in (values.get("rel") or "").lower():
            self.problem("external style sheets are not allowed; keep the CSS inside the page")
        if tag == "html":
            self.html_lang = values.get("lang")
        if tag == "meta":
            charset = values.get("charset")
            if charset is not None:
                if charset.strip().lower() == "utf-8":
                    self.has_charset = True
                else:
                    self.problem(f'<meta charset="{charset}"> must be "utf-8"')
        for name, value in attrs:
            if name.startswith("on"):
                self.problem(f"event handler attribute {name}= is not allowed")
            if value is None:
                continue
            if name in URL_ATTRIBUTES:
                url = value.strip()
                if url.lower().startswith("javascript:"):
                    self.problem(f'{name}="{value}" runs script')
                elif REMOTE_URL.match(url) and not url.lower().startswith(LOCAL_SCHEMES):
                    self.problem(f'{name}="{value}" points outside the page')
                if name == "href" and url.startswith("#") and len(url) > 1:
                    self.fragment_links.append((url[1:], self.getpos()[0]))
            if name == "style" and CSS_REMOTE.search(value):
                self.problem("a style attribute loads something from outside the page")
            if name == "id":
                if value in self.ids:
                    self.problem(f'id "{value}" is used twice (first on line {self.ids[value]})')
                else:
                    self.ids[value] = self.getpos()[0]

    def finish(self):
        self.close()
        for name, opened in reversed(self.open_tags):
            self.problem(f"<{name}> opened on line {opened} is never closed", opened)
        if not self.has_doctype:
            self.problem("missing <!DOCTYPE html>", 1)
        if not self.has_charset:
            self.problem('missing <meta charset="utf-8">', 1)
        if self.html_lang != "zh-CN":
            found = "none" if self.html_lang is None else f'"{self.html_lang}"'
            self.problem(f'<html> must have lang="zh-CN" (found {found})', 1)
        for fragment, line in self.fragment_links:
            if fragment not in self.ids:
                self.problem(f'link to "#{fragment}" has no element with that id', line)
        return sorted(self.problems)


def check_text(text, menu_items=()):
    """Returns the problems of a page as sorted (line, message) pairs;
    menu_items are (caption, shortcut) pairs the page must name together."""
    checker = HelpPageChecker()
    checker.feed(text)
    problems = checker.finish()
    for caption, shortcut in menu_items:
        wanted = (re.sub(r"\s+", "", caption), re.sub(r"\s+", "", shortcut))
        if not any(wanted[0] in block and wanted[1] in block for block in checker.blocks):
            problems.append((1, f"the menu item {caption} ({shortcut}) is not described with its shortcut"))
    return sorted(problems)


def menu_items(source):
    """The (caption, shortcut) pairs of every menu item with a shortcut that
    the program's source under `source` defines, in a stable order."""
    found = set()
    for folder, subfolders, files in os.walk(source):
        subfolders[:] = [d for d in subfolders
                         if not d.startswith((".", "build")) and d not in SKIPPED_FOLDERS]
        for name in files:
            if name.endswith(SOURCE_SUFFIXES):
                with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
                    found.update(MENU_DEFINE.findall(f.read()))
    return sorted(found)


def main(argv):
    parser = argparse.ArgumentParser(prog="check_help.py")
    parser.add_argument("--source", default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser.add_argument("page")
    args = parser.parse_args(argv[1:])
    path = args.page
    try:
        with open(path, "rb") as f:
            raw = f.read()
    except OSError as e:
        print(f"{path}: cannot read: {e.strerror}", file=sys.stderr)
        return 2
    try:
        text = raw.decode("utf-8-sig")
    except UnicodeDecodeError as e:
        print(f"{path}: not UTF-8 (bad byte at offset {e.start})")
        return 1
    items = menu_items(args.source)
    if not items:
        print(f"{args.source}: no menu item with a shortcut found (.Define with a caption and a shortcut)", file=sys.stderr)
        return 2
    problems = check_text(text, items)
    if problems:
        for line, message in problems:
            print(f"{path}:{line}: {message}")
        print(f"{path}: {len(problems)} problem(s)")
        return 1
    print(f"{path}: OK ({len(items)} menu shortcuts described)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
