#!/usr/bin/python3
"""Parses written pages as a browser's HTML parser does and lists each parse
error; exits 1 when any error is not of an allowed kind.

    check_html.py [--allow CODE ...] PAGE...

Pages are read as UTF-8, as their head declares. CODE is an html5lib error
code, e.g. unexpected-end-tag for the stray end tags a dance page may hold.
"""
import sys

import html5lib


def main(argv):
    allowed, pages = set(), []
    args = iter(argv)
    for arg in args:
        if arg == "--allow":
            allowed.add(next(args))
        else:
            pages.append(arg)
    failed = False
    for page in pages:
        with open(page, "rb") as f:
            text = f.read().decode("utf-8")
        parser = html5lib.HTMLParser(tree=html5lib.getTreeBuilder("etree"))
        parser.parse(text)
        for pos, code, data in parser.errors:
            if code in allowed:
                continue
            failed = True
            print(f"{page}:{pos[0]}:{pos[1]}: {code} {data}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
