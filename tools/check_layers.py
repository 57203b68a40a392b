#!/usr/bin/env python3
"""Holds the product's folders to their written order (tools/layers.txt).

Reads every #include "folder/file" of the C++ sources, headers and resource
scripts in the product's folders and fails when
- a folder includes one on a higher line (an include that points up),
- two folders on one line include each other or any other peer,
- folders include each other in a circle,
- product code includes anything of tests/,
- a folder holding C++ is missing from the order.

Usage: python3 tools/check_layers.py [REPO]   (REPO defaults to this checkout)
Prints one line of figures; exit code 0 when the order holds, 1 when it does
not (each wrong include is printed with its file and line), 2 when the
order file cannot be read.
"""

import os
import re
import sys

SOURCES = (".h", ".cpp", ".rc", ".in")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
NOT_PRODUCT = {"tests", "cmake", "data", "docs", "build"}


def read_order(path):
    """The folders' ranks: {folder: line index}, lowest line first."""
    rank = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].split()
            if not line:
                continue
            level = len(set(rank.values()))
            for folder in line:
                rank[folder] = level
    return rank


def product_files(repo, folders):
    for folder in sorted(folders):
        top = os.path.join(repo, folder)
        for root, dirs, files in os.walk(top):
            dirs.sort()
            for name in sorted(files):
                if name.endswith(SOURCES):
                    yield folder, os.path.join(root, name)


def unlisted_folders(repo, rank):
    found = []
    for entry in sorted(os.listdir(repo)):
        path = os.path.join(repo, entry)
        if entry.startswith(".") or entry in rank or entry in NOT_PRODUCT or not os.path.isdir(path):
            continue
        for _, _, files in os.walk(path):
            if any(f.endswith((".h", ".cpp")) for f in files):
                found.append(entry)
                break
    return found


def cycles(edges):
    """The folders of every circle in the folder graph (Tarjan's components)."""
    graph = {}
    for a, b in edges:
        graph.setdefault(a, set()).add(b)
        graph.setdefault(b, set())
    index, low, stack, on, out = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on.add(v)
        for w in sorted(graph[v]):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            part = []
            while True:
                w = stack.pop()
                on.discard(w)
                part.append(w)
                if w == v:
                    break
            if len(part) > 1:
                out.append(set(part))

    for v in sorted(graph):
        if v not in index:
            visit(v)
    return out


def check(repo, order_file):
    rank = read_order(order_file)
    problems = []
    between = []  # (from folder, to folder, file, line)
    for folder, path in product_files(repo, rank):
        with open(path, encoding="utf-8", errors="replace") as f:
            for number, text in enumerate(f, 1):
                m = INCLUDE.match(text)
                if not m:
                    continue
                target = m.group(1)
                head = target.split("/", 1)[0]
                where = "%s:%d" % (os.path.relpath(path, repo), number)
                if head == "tests" or (
                        "/" in target and os.path.exists(os.path.join(repo, "tests", target))):
                    problems.append("%s includes %s, which belongs to tests/" % (where, target))
                    continue
                if "/" not in target or head not in rank or head == folder:
                    continue
                between.append((folder, head, where, target))
    up = 0
    for a, b, where, target in between:
        if rank[b] > rank[a]:
            up += 1
            problems.append("%s includes %s: %s stands above %s" % (where, target, b, a))
        elif rank[b] == rank[a]:
            up += 1
            problems.append("%s includes %s: %s and %s are peers" % (where, target, a, b))
    # Circles are counted by pairs of folders that reach each other both ways.
    edges = {(a, b) for a, b, _, _ in between}
    circles = 0
    for part in cycles(edges):
        members = sorted(part)
        circles += sum(1 for i, a in enumerate(members) for b in members[i + 1:]
                       if (a, b) in edges and (b, a) in edges) or 1
        problems.append("folders in a circle: %s" % ", ".join(members))
    for folder in unlisted_folders(repo, rank):
        problems.append("%s/ holds C++ but has no place in %s" % (folder, os.path.relpath(order_file, repo)))
    figures = ("layers: %d folders, %d includes between folders (%d pairs of folders); "
               "%d point up or sideways; %d circles" % (len(rank), len(between), len(edges), up, circles))
    return figures, problems


def main(argv):
    repo = os.path.abspath(argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    order_file = os.path.join(repo, "tools", "layers.txt")
    try:
        figures, problems = check(repo, order_file)
    except OSError as e:
        print("check_layers: cannot read %s" % e, file=sys.stderr)
        return 2
    for p in problems:
        print(p)
    print(figures)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
