#!/usr/bin/env python3
"""How well the symbol library serves a child's first board: searches each word of a core vocabulary
(symbols_vocabulary/LANG.tsv) with `nexoquadrix-tool symbols WORD --lang LANG --limit 5` and counts the words whose first five results
hold a symbol a person judged fitting (the symbols after the tab of each line of the vocabulary file).
Results are compared without variation selectors, skin tones and the man/woman sign of a
person's variants. Words that miss are printed with
their results, so that a person can judge a fitting symbol the list does not know yet.

usage: symbols_vocabulary.py BUILD_FOLDER [LANG ...]   (languages default to ca and es)
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
IGNORED = {0xFE0F, 0xFE0E} | set(range(0x1F3FB, 0x1F400))


def plain(text):
    text = "".join(c for c in text if ord(c) not in IGNORED)
    return text.replace("\u200d\u2642", "").replace("\u200d\u2640", "")


def vocabulary(language):
    with open(os.path.join(HERE, "symbols_vocabulary", language + ".tsv"), encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line and not line.startswith("#"):
                word, _, fitting = line.partition("\t")
                yield word, {plain(s) for s in fitting.split()}


def search(tool, word, language):
    run = subprocess.run([tool, "symbols", word, "--lang", language, "--limit", "5"],
                         capture_output=True, text=True, encoding="utf-8")
    return [line.split("\t") for line in run.stdout.splitlines() if "\t" in line]


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    tool = os.path.join(sys.argv[1], "bin", "nexoquadrix-tool")
    for language in sys.argv[2:] or ["ca", "es"]:
        words = fitting_count = any_count = 0
        for word, fitting in vocabulary(language):
            results = search(tool, word, language)
            words += 1
            any_count += bool(results)
            if any(plain(symbol) in fitting for symbol, _ in results):
                fitting_count += 1
            else:
                shown = " | ".join(f"{symbol} {name}" for symbol, name in results) or "(nothing)"
                print(f"  {language} miss: {word}: {shown}")
        print(f"{language}: {fitting_count} of {words} words find a fitting symbol in the first five;"
              f" {any_count} find any")


if __name__ == "__main__":
    main()
