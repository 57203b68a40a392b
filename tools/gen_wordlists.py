#!/usr/bin/env python3
"""Writes the word pool "vbyx.dll", the five-stroke code table "vbcx.dll" and
the five-stroke codes "wubi86-codes.txt".

The first two are GBK text with CRLF line ends; the codes are UTF-8, one
code a line. All three are generated from two Debian packages:
  rime-data-wubi        /usr/share/rime-data/wubi86.dict.yaml      (LGPL-3.0)
  rime-data-pinyin-simp /usr/share/rime-data/pinyin_simp.dict.yaml (Apache-2.0)

Usage: tools/gen_wordlists.py OUTDIR
"""
import sys
from collections import defaultdict

RIME = "/usr/share/rime-data"
# Words per length (1..4 characters): plain top-N by frequency would give
# almost no three- and four-character words.
QUOTA = {1: 1000, 2: 3500, 3: 1000, 4: 500}
WORDS_PER_LINE = 16
CODES_PER_LINE = 20
# Characters that make a word unfit for a game a family plays together.
VULGAR = set("屄屌肏鸡巴操逼婊淫奸嫖妓尻睾阴茎乳屁粪尿死杀尸毒贱骚")


def entries(path):
    """Yields the tab-separated columns of a Rime dictionary's entries."""
    with open(path, encoding="utf-8") as f:
        body = False
        for line in f:
            line = line.rstrip("\n")
            if not body:
                body = line == "..."
                continue
            if not line or line.startswith("#"):
                continue
            yield line.split("\t")


def is_gb2312_hanzi(ch):
    try:
        b = ch.encode("gb2312")
    except UnicodeEncodeError:
        return False
    return len(b) == 2 and 0xB0 <= b[0] <= 0xF7


def wubi_table():
    """Maps each GB2312 hanzi to its full (longest) code; also returns the word
    set and every (code, frequency) of each character and word."""
    codes = defaultdict(list)
    words = set()
    weighted = defaultdict(list)
    for cols in entries(f"{RIME}/wubi86.dict.yaml"):
        if len(cols) < 2 or cols[1].startswith("z"):
            continue
        text, code = cols[0], cols[1]
        weighted[text].append((code, int(cols[2]) if len(cols) > 2 else 0))
        if len(text) == 1:
            codes[text].append(code)
        else:
            words.add(text)
    full = {}
    for ch, cs in codes.items():
        if not is_gb2312_hanzi(ch):
            continue
        longest = max(len(c) for c in cs)
        best = sorted({c for c in cs if len(c) == longest})
        if len(best) != 1:
            raise SystemExit(f"{ch}: no single longest code: {best}")
        full[ch] = best[0]
    return full, words, weighted


def word_pool(wubi_words):
    weight = defaultdict(int)
    for cols in entries(f"{RIME}/pinyin_simp.dict.yaml"):
        if len(cols) < 3:
            continue
        text = cols[0]
        try:
            weight[text] += int(cols[2])
        except ValueError:
            continue
    chosen = []
    for n, quota in sorted(QUOTA.items()):
        cands = [w for w in weight
                 if len(w) == n and all(is_gb2312_hanzi(c) for c in w)
                 and not (set(w) & VULGAR)
                 and (n == 1 or w in wubi_words)]
        cands.sort(key=lambda w: (-weight[w], w))
        chosen += cands[:quota]
    return chosen


def write_gbk(path, lines):
    with open(path, "wb") as f:
        for line in lines:
            f.write(line.encode("gbk") + b"\r\n")


def codes_lines(texts, weighted):
    """One line per code of each text, "code<TAB>text<TAB>frequency", ordered by
    code and, within a code, most frequent first."""
    rows = sorted({(code, text, freq) for text in texts for code, freq in weighted[text]},
                  key=lambda r: (r[0], -r[2], r[1]))
    head = ("# code\ttext\tfrequency: the Wubi 86 codes of the GB2312 hanzi and of the word pool's words, "
            "from wubi86.dict.yaml (LGPL-3.0) by tools/gen_wordlists.py")
    return [head] + [f"{code}\t{text}\t{freq}" for code, text, freq in rows], len(rows)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "data"
    full, wubi_words, weighted = wubi_table()
    pool = word_pool(wubi_words)
    # Every line starts with a blank and words are separated by single
    # blanks, so each word has a narrow character on both sides once the
    # lines are joined.
    lines = [" " + " ".join(pool[i:i + WORDS_PER_LINE]) for i in range(0, len(pool), WORDS_PER_LINE)]
    lines[-1] += " "  # so the last word, too, has a narrow character after it
    write_gbk(f"{out}/vbyx.dll", lines)
    # The look-up needs each hanzi followed by exactly four code characters.
    cells = [ch + code.ljust(4) for ch, code in sorted(full.items(), key=lambda kv: kv[0].encode("gb2312"))]
    write_gbk(f"{out}/vbcx.dll",
              ["".join(cells[i:i + CODES_PER_LINE]) for i in range(0, len(cells), CODES_PER_LINE)])
    # Every code of each hanzi (short ones too) and of each word of the pool.
    words = [w for w in pool if len(w) > 1]
    lines, count = codes_lines(list(full) + words, weighted)
    with open(f"{out}/wubi86-codes.txt", "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    print(f"vbyx.dll: {len(pool)} words; vbcx.dll: {len(cells)} codes "
          f"({sum(len(c) == 4 for c in full.values())} of four keys); wubi86-codes.txt: {count} codes "
          f"of {len(full)} hanzi and {len(words)} words")


if __name__ == "__main__":
    main()
