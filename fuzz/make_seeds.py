#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/seed-*: the
documents, state files, program text files and argument lists that the tests use, taken
from the string literals of tests/, with the settings bytes that the analysis and insertion
targets read first. Inputs kept from fuzzing runs (regress-*) are left alone.

    python3 fuzz/make_seeds.py
"""
import hashlib
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parent.parent
CORPUS = ROOT / "fuzz" / "corpus"

LITERAL = re.compile(r'(u8|u|U|L)?"((?:[^"\\\n]|\\.)*)"')
# Literals that stand next to each other are one string, as the compiler joins them.
BETWEEN = re.compile(r'^(\s|//[^\n]*\n)*$')


def unescape(body, wide):
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c != "\\":
            out.append(ord(c))
            i += 1
            continue
        e = body[i + 1]
        i += 2
        if e in "rnt0\"'\\?":
            out.append({"r": 13, "n": 10, "t": 9, "0": 0}.get(e, ord(e)))
        elif e == "x":
            m = re.match(r"[0-9A-Fa-f]+", body[i:])
            out.append(int(m.group(0), 16))
            i += len(m.group(0))
        elif e in "uU":
            n = 4 if e == "u" else 8
            out.append(int(body[i:i + n], 16))
            i += n
        else:
            out.append(ord(e))
    data = bytearray()
    for code in out:
        if code < 256:
            data.append(code)  # one byte per character, as the tests' texts stand for bytes
        else:
            data += chr(code).encode("utf-8")
    return bytes(data)


def strings(path):
    text = path.read_text(encoding="utf-8")
    found = []
    current = None
    last_end = 0
    for m in LITERAL.finditer(text):
        piece = unescape(m.group(2), m.group(1) is not None)
        if current is not None and BETWEEN.match(text[last_end:m.start()]):
            current += piece
        else:
            if current is not None:
                found.append(current)
            current = piece
        last_end = m.end()
    if current is not None:
        found.append(current)
    return found


def documents(*folders, least=12):
    seen = []
    for folder in folders:
        for path in sorted((ROOT / "tests" / folder).glob("*.cpp")):
            for s in strings(path):
                if b"<" in s and len(s) >= least and s not in seen:
                    seen.append(s)
    return seen


def write(target, items):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.glob("seed-*"):
        old.unlink()
    for data in items:
        name = "seed-" + hashlib.sha1(data).hexdigest()[:16]
        (folder / name).write_bytes(data)
    print(f"{target}: {len(items)} seeds")


def counted(data):
    return bytes([len(data)]) + data


# The analysis settings bytes: flags, the ten lists, language, keywords, bytes (2), then the
# words to ignore and the phrases that begin the tag.
DEFAULT_LISTS = bytes([1, 1, 8, 5, 0, 4, 4, 1, 2, 2])


def analysis_input(doc, variant):
    flags = 2 | 4 | 8 | 16
    language = 1  # English
    ignore = b""
    begin = b""
    lists = DEFAULT_LISTS
    if variant % 4 == 1:
        flags = 1 | 4 | 16 | 64  # .php, lower case, the command's reading
        language = 8  # chosen from the document
    elif variant % 4 == 2:
        flags |= 32
        lists = bytes([0, 0, 8, 5, 3, 8, 8, 0, 0, 0])
        ignore = b"tools, Garden"
        begin = b"seo, caf\xc3\xa9"
    elif variant % 4 == 3:
        language = 0
        flags = 16 | 64
    return (bytes([flags]) + lists + bytes([language, 45, 1, 244]) + counted(ignore) +
            counted(begin) + doc)


def state_file(values):
    return "".join(v + "\r\n" for v in values).encode("utf-8")


STATE_DEFAULT = ['"C:\\web\\page.html"', '""', '""', '"50"', '"500"', "1", "1", "1", "0", "4",
                 "1", "1", "1", "1", "8", "5", "4", "2", "2", "-1", "0", "0"]
STATE_VARIANT = ['"/home/a/site/index.php"', '"seo, tools"', '"  Foo  Bar,,baz, "', '"7"',
                 '""', "8", "0", "9", "9", "0", "0", "0", "0", "0", "0", "8", "8", "9", "0", "6",
                 "1", "1"]


# The argument lists: the first byte picks the command put first (0 list, 1 tag, 2 show,
# 3 insert, 4 report; 5 none, the first argument being the command).
def options_seeds():
    argument_lists = [
        (1, ["page.html"]),
        (0, ["page.html", "--no-space-after-comma", "--lower-case", "--verbose"]),
        (1, ["--max-keywords", "5", "--begin", "a,b,c,d,e", "page.html"]),
        (1, ["--ignore", " TOOLS  ", "--max-bytes=37", "page.html"]),
        (0, ["--title-weight", "10", "--min-frequency", "1", "--language", "fr", "x.html"]),
        (1, ["--keep-common-words", "--keep-short-words", "--short-words", "1", "--", "-p"]),
        (4, ["--language=all", "--description-weight=60", "--keywords-weight", "0", "-h"]),
        (1, ["--bold-weight", "9", "--italic-weight=1", "--table-weight", "0",
             "--div-weight", "9", "--span-weight", "2", "-"]),
        (3, ["page.html", "--backup", "--dry-run", "-j", "2"]),
        (3, ["page.html", "--backup", "--help"]),
        (2, ["page.html", "--json", "--quiet", "-j3", "--jobs=4"]),
        (2, ["x", "--language", "de"]),
        (1, ["x", "--max-bytes="]),
        (1, ["x", "--lower-case=true"]),
        (4, ["-j", "2"]),
        (5, ["--version", "anything"]),
        (5, ["--help"]),
        (5, ["frob", "x"]),
        (5, []),
    ]
    return [bytes([f]) + b"\0".join(a.encode() for a in args) for f, args in argument_lists]


def main():
    scan_docs = documents("scan", "analysis", "io", "words", "app")
    tag_docs = documents("tags")
    analysis = [analysis_input(d, k) for k, d in enumerate(scan_docs + tag_docs)]
    write("analysis", analysis)
    write("report", tag_docs + scan_docs[:40])
    write("insert", [bytes([k % 2]) + counted(b"seo, tools" if k % 2 == 0 else
                                              b'<meta name="keywords" content="a, b">') + d
                     for k, d in enumerate(tag_docs)])
    states = [state_file(STATE_DEFAULT), state_file(STATE_VARIANT),
              b"\xef\xbb\xbf" + state_file(STATE_DEFAULT[:21]) + b"\n"]
    for s in strings(ROOT / "tests" / "analysis" / "statefile_test.cpp"):
        if s.count(b"\n") >= 20 and s not in states:
            states.append(s)
    write("statefile", states)
    catalogues = [(ROOT / "data" / "qdx.dat").read_bytes()]
    for s in strings(ROOT / "tests" / "catalogue" / "language2_test.cpp"):
        if b"=" in s and s not in catalogues:
            catalogues.append(s)
    write("catalogue", catalogues)
    write("options", options_seeds())
    texts = [s for s in strings(ROOT / "tests" / "text" / "strproc_test.cpp")
             if any(b >= 0x80 for b in s)]
    write("utf8", texts + [b"plain <meta>", "Ł € ’ café".encode("utf-8")])


if __name__ == "__main__":
    main()
