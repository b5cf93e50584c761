// glyphbake: renders TrueType fonts into the reader's LXF bitmap font files.
//
// Both functions are single-threaded: never call them from two threads at once.
#pragma once

#if defined(GLYPHBAKE_BUILDING)
#define GLYPHBAKE_API __attribute__((visibility("default")))
#else
#define GLYPHBAKE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Renders the font at ttfPath at pointSize points (100 dpi) into an LXF file at outPath, or only
// analyses it when outPath is null. extraRows is added to the tallest glyph box to give the cell
// height. sampleChar (0 to 511) is the code whose glyph the report describes and draws; the report
// goes to standard output when printReport is nonzero. fixedWidth nonzero gives every character
// the cell width. Returns 0 on success, 1 on failure (no output file is left behind), or the
// font engine's error code when the face cannot be closed after the file was written.
GLYPHBAKE_API int FC_TTFtoLXF(const char* ttfPath, int pointSize, int extraRows,
                              const char* outPath, int sampleChar, int printReport, int fixedWidth);

// Writes the font's full English name into nameBuf (at most nameBufLen bytes with the NUL).
// Returns 0 when the font has a Unicode character map, 1 when it has none or has no usable full
// name, or the font engine's error code when the file cannot be opened as a font.
GLYPHBAKE_API int FC_GetFaceName(const char* ttfPath, char* nameBuf, int nameBufLen);

#ifdef __cplusplus
}
#endif
