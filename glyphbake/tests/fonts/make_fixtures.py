#!/usr/bin/python3
"""Makes the small TrueType fonts the glyphbake tests convert.

Every font has 100 units per em, so at 72 points and 100 dpi one font unit is one pixel and the
expected cells can be worked out by hand. Glyphs are rectangles without hinting instructions.
Run it from anywhere; it rewrites the .ttf files beside itself and the fuzz seed corpus.
"""
import os

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import newTable
from fontTools.ttLib.tables._c_m_a_p import CmapSubtable
from fontTools.ttLib.tables._n_a_m_e import NameRecord

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "..", "..", "fuzz", "corpus")

# name: (xMin, yMin, xMax, yMax, advance); None draws nothing.
SHAPES = {
    ".notdef": (None, 5),
    "nul": ((0, 0, 3, 3), 4),
    "square": ((0, 0, 1, 1), 2),
    "corner": ((9, 0, 10, 1), 4),
    "neg": ((-2, 0, 3, 5), 6),
    "wide": ((1, 0, 12, 2), 5),
    "deep": ((0, -3, 2, 10), 3),
    "far": ((190, 0, 200, 1), 10),
    "comma": ((1, -2, 2, 1), 3),
    "underscore": ((0, -1, 6, 0), 6),
    "tilde": ((0, 6, 6, 7), 6),
    "ctrl": ((0, 0, 1, 9), 2),
    "quotedblleft": ((0, 8, 3, 10), 4),
}

SHAPES_UNICODE = {
    0: "nul", 44: "comma", 65: "square", 66: "corner", 67: "neg", 68: "wide", 69: "deep",
    70: "far", 95: "underscore", 126: "tilde", 128: "ctrl", 130: "ctrl", 131: "ctrl",
    138: "ctrl", 147: "ctrl", 152: "ctrl", 154: "ctrl", 511: "square", 512: "wide",
    0x201C: "quotedblleft",
}
SHAPES_ROMAN = {65: "square", 210: "quotedblleft"}


def rectangle(box):
    pen = TTGlyphPen(None)
    if box is not None:
        x0, y0, x1, y1 = box
        pen.moveTo((x0, y0))
        pen.lineTo((x0, y1))
        pen.lineTo((x1, y1))
        pen.lineTo((x1, y0))
        pen.closePath()
    return pen.glyph()


def subtable(fmt, platform, encoding, mapping):
    table = CmapSubtable.newSubtable(fmt)
    table.platformID, table.platEncID, table.language = platform, encoding, 0
    table.cmap = dict(mapping)
    return table


def name_table(records):
    table = newTable("name")
    table.names = []
    for name_id, platform, encoding, language, text in records:
        record = NameRecord()
        record.nameID, record.platformID, record.platEncID, record.langID = (
            name_id, platform, encoding, language)
        record.string = text.encode("mac_roman" if platform == 1 else "utf_16_be")
        table.names.append(record)
    return table


def english(name_id, text, language=0x0409):
    return (name_id, 3, 1, language, text)


def build(file_name, cmaps, names, shapes=SHAPES):
    order = list(shapes)
    builder = FontBuilder(100, isTTF=True)
    builder.setupGlyphOrder(order)
    builder.setupCharacterMap({})
    builder.setupGlyf({name: rectangle(shapes[name][0]) for name in order})
    metrics = {}
    for name in order:
        box, advance = shapes[name]
        metrics[name] = (advance, box[0] if box else 0)
    builder.setupHorizontalMetrics(metrics)
    builder.setupHorizontalHeader(ascent=10, descent=-3)
    builder.setupOS2()
    builder.setupPost()
    builder.font["cmap"].tables = cmaps
    builder.font["name"] = name_table(names)
    # Fixed dates keep the files the same from one run to the next.
    builder.font.recalcTimestamp = False
    builder.font["head"].created = builder.font["head"].modified = 3_000_000_000
    builder.save(file_name)


def unicode_maps(mapping):
    bmp = {code: glyph for code, glyph in mapping.items() if code <= 0xFFFF}
    return [subtable(4, 0, 3, bmp), subtable(4, 3, 1, bmp)]


def main():
    os.chdir(HERE)
    shapes_names = [
        english(0, "Copyright notice"),
        english(4, "Glyphbake Test Shapes"),
        english(5, "Version 1.000"),
        english(7, "Trademark text"),
    ]
    build("shapes.ttf", unicode_maps(SHAPES_UNICODE) + [subtable(0, 1, 0, SHAPES_ROMAN)],
          shapes_names)
    build("shapes-unicode-only.ttf", unicode_maps(SHAPES_UNICODE), shapes_names)
    build("symbol.ttf",
          [subtable(0, 1, 0, SHAPES_ROMAN), subtable(4, 3, 0, {0xF041: "square"})],
          [english(4, "Glyphbake Test Symbol")])

    small = {".notdef": (None, 5), "square": ((0, 0, 1, 1), 2)}
    small_map = unicode_maps({65: "square"})
    long_name = "Glyphbake Long Name " + "".join(chr(ord("a") + i % 26) for i in range(180))
    build("names-english-variant.ttf", small_map, [
        (4, 1, 0, 0, "Macintosh Name"),
        english(4, "Deutscher Name", language=0x0407),
        english(4, long_name, language=0x0809),
    ], small)
    build("names-unicode-platform.ttf", small_map, [
        (4, 0, 3, 0, "Unicode Platform Name"),
        english(4, "Windows Name"),
    ], small)
    build("names-none.ttf", small_map, [
        (4, 1, 0, 0, "Macintosh Name"),
        english(4, "Deutscher Name", language=0x0407),
        english(1, "Family Only"),
    ], small)

    os.makedirs(CORPUS, exist_ok=True)
    build(os.path.join(CORPUS, "small.ttf"),
          small_map + [subtable(0, 1, 0, {65: "square"})], [english(4, "Seed")], small)
    with open("shapes.ttf", "rb") as source:
        whole = source.read()
    with open(os.path.join(CORPUS, "shapes-cut.ttf"), "wb") as cut:
        cut.write(whole[: len(whole) // 2])
    with open(os.path.join(CORPUS, "shapes.ttf"), "wb") as copy:
        copy.write(whole)


if __name__ == "__main__":
    main()
