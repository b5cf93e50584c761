#pragma once

namespace glyphbake {

struct ConversionRequest {
    const char* ttfPath = nullptr;
    int pointSize = 0;
    int extraRows = 0;
    const char* outPath = nullptr;  // null: analyse only
    int sampleChar = 0;
    bool printReport = false;
    bool fixedWidth = false;
};

// The two entry points of the library, with the results they hand to their callers.
int convertTrueTypeFont(const ConversionRequest& request);
int queryFaceName(const char* ttfPath, char* nameBuf, int nameBufLen);

}  // namespace glyphbake
