#!/usr/bin/env python3
"""Builds bench/data/citazioni.txt, the benchmark text of bench/run, from the
Italian fortunes of Debian's fortunes-it package (public domain; see
bench/README.md).

The fortunes are plain ASCII written the old way, with an apostrophe for an
accent ("perche'", "e'") and TeX quotes; this turns them into the text a
Windows user would have: accented letters, curly quotes and dashes, CRLF line
ends, Windows-1252. Fortunes are taken in order from the start of the file
until the next one would pass the target size.

    bench/make_text.py [--source FILE] [--bytes N] [--output FILE]
"""
import argparse
import re
import sys
from pathlib import Path

DEFAULT_SOURCE = "/usr/share/games/fortunes/it/italia"
DEFAULT_OUTPUT = Path(__file__).resolve().parent / "data" / "citazioni.txt"

# Words whose final apostrophe is a real elision or truncation, not an accent.
KEEP = {"po", "mo", "be", "to", "de", "va", "fa", "di", "sta"}
# Words that end in a closed e (acute accent).
ACUTE_ENDINGS = ("che", "tre")
ACUTE_WORDS = {"ne", "se"}
GRAVE = {"a": "à", "e": "è", "i": "ì", "o": "ò", "u": "ù",
         "A": "À", "E": "È", "I": "Ì", "O": "Ò", "U": "Ù"}
ACUTE = {"e": "é", "E": "É"}

WORD_APOSTROPHE = re.compile(r"([A-Za-z]*)([aeiouAEIOU])'(?![A-Za-z'])")


def restore_accents(line):
    """Replaces "vowel + apostrophe" at a word's end by the accented vowel,
    unless the apostrophe closes a quotation opened on the same line."""
    out = []
    pos = 0
    for m in WORD_APOSTROPHE.finditer(line):
        start, end = m.span()
        before = line[:start]
        # An opening quote: an apostrophe at a word's start, after a blank,
        # the line's start, a bracket or a double quote.
        opened = len(re.findall(r"(?:^|[\s(\"“])'(?=[A-Za-z])", before))
        closed = len(re.findall(r"[A-Za-z.,!?]'(?![A-Za-z])", before))
        stem, vowel = m.group(1), m.group(2)
        word = (stem + vowel).lower()
        if opened > closed or word in KEEP:
            continue
        if word in ACUTE_WORDS or (word.endswith(ACUTE_ENDINGS) and len(word) > 3):
            accented = ACUTE.get(vowel, GRAVE[vowel])
        else:
            accented = GRAVE[vowel]
        out.append(line[pos:start] + stem + accented)
        pos = end
    out.append(line[pos:])
    return "".join(out)


def convert_fortune(lines):
    result = []
    for line in lines:
        line = line.replace("``", "“").replace("''", "”")
        stripped = line.strip()
        if stripped.startswith("-- "):
            line = "— " + stripped[3:]
        result.append(restore_accents(line.rstrip()))
    return result


def fortunes(text):
    block = []
    for line in text.splitlines():
        if line == "%":
            if block:
                yield block
            block = []
        else:
            block.append(line)
    if block:
        yield block


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", default=DEFAULT_SOURCE)
    parser.add_argument("--bytes", type=int, default=203000)
    parser.add_argument("--output", default=str(DEFAULT_OUTPUT))
    args = parser.parse_args()

    text = Path(args.source).read_text(encoding="utf-8")
    out = b""
    count = 0
    for block in fortunes(text):
        piece = ("\r\n".join(convert_fortune(block)) + "\r\n\r\n").encode("cp1252")
        if len(out) + len(piece) > args.bytes:
            break
        out += piece
        count += 1
    Path(args.output).write_bytes(out)
    print(f"{args.output}: {count} fortunes, {len(out)} bytes", file=sys.stderr)


if __name__ == "__main__":
    main()
