#!/usr/bin/env python3
"""Lists the longest functions of the product's C++ sources (tests and
generated files excluded). Exits 1 when one is longer than the limit.

    tools/function_lengths.py [--limit 100] [--top 10] [DIR...]
"""
import argparse
import os
import re
import sys

PRODUCT = ["app", "runtime", "ui", "commands", "automation", "platform", "program", "tools"]


def strip(text):
    # Comments, strings and characters out, newlines kept, so braces count.
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("\n" * text.count("\n", i, j))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(" ")
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


HEAD = re.compile(r"\)\s*(const\s*)?(noexcept\s*)?(override\s*)?(->[^{;]*)?(:[^{;]*)?$")


def functions(path):
    text = strip(open(path, encoding="utf-8", errors="replace").read())
    lines = text.split("\n")
    depth, start, name, found = 0, None, None, []
    for no, line in enumerate(lines, 1):
        for k, ch in enumerate(line):
            if ch == "{":
                before = (" ".join(lines[max(0, no - 4):no - 1]) + " " + line[:k]).rstrip()
                if start is None and HEAD.search(before) and not re.search(r"\b(if|for|while|switch|catch)\s*\([^()]*\)\s*$", before):
                    m = re.search(r"([\w:~]+)\s*\([^()]*(\([^()]*\)[^()]*)*\)[^()]*$", before)
                    start, name, base = no, (m.group(1) if m else "?"), depth
                depth += 1
            elif ch == "}":
                depth -= 1
                if start is not None and depth == base:
                    found.append((no - start + 1, path, start, name))
                    start = None
    return found


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--limit", type=int, default=100)
    ap.add_argument("--top", type=int, default=10)
    ap.add_argument("dirs", nargs="*", default=PRODUCT)
    a = ap.parse_args()
    rows = []
    for d in a.dirs:
        for root, _, files in os.walk(d):
            if "bench" in root.split(os.sep):
                continue
            for f in files:
                if f.endswith((".cpp", ".c", ".h")):
                    rows += functions(os.path.join(root, f))
    rows.sort(reverse=True)
    for length, path, line, name in rows[:a.top]:
        print(f"{length:5d}  {path}:{line}  {name}")
    over = [r for r in rows if r[0] > a.limit]
    print(f"{len(over)} function(s) over {a.limit} lines")
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())
