#include "font_converter.h"
#include "glyphbake/glyphbake.h"

extern "C" {

int FC_TTFtoLXF(const char* ttfPath, int pointSize, int extraRows, const char* outPath,
                int sampleChar, int printReport, int fixedWidth) {
    return glyphbake::convertTrueTypeFont({.ttfPath = ttfPath,
                                           .pointSize = pointSize,
                                           .extraRows = extraRows,
                                           .outPath = outPath,
                                           .sampleChar = sampleChar,
                                           .printReport = printReport != 0,
                                           .fixedWidth = fixedWidth != 0});
}

int FC_GetFaceName(const char* ttfPath, char* nameBuf, int nameBufLen) {
    return glyphbake::queryFaceName(ttfPath, nameBuf, nameBufLen);
}
}
