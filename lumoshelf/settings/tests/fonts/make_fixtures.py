#!/usr/bin/python3
"""Makes the small TrueType families the reader fonts page tests list and convert.

The glyphs and character maps are those of glyphbake's test shapes; only the full names differ,
so that each file stands for one face of a family. Run it from anywhere; it rewrites the .ttf
files beside itself.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "..", "glyphbake", "tests", "fonts"))

import make_fixtures as glyphbake_fixtures  # noqa: E402

FACES = {
    "book.ttf": "Book",
    "book-bold.ttf": "Book BOLD",
    "book-bold-italic.ttf": "Book BOLD ITALIC",
    "paper.ttf": "Paper",
    "paper-bold.ttf": "Paper Bold",
    "slate.ttf": "Slate",
    "slate-dash-bold.ttf": "Slate-Bold",
    "slate-demi.ttf": "Slate Demi",
}


def main():
    maps = glyphbake_fixtures.unicode_maps(glyphbake_fixtures.SHAPES_UNICODE)
    for file_name, face in FACES.items():
        glyphbake_fixtures.build(os.path.join(HERE, file_name), maps,
                                 [glyphbake_fixtures.english(4, face)])


if __name__ == "__main__":
    main()
