#include "name_records.h"

#include <algorithm>
#include <array>

#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H

namespace glyphbake {
namespace {

constexpr unsigned kLongestRecordUsed = 512;
constexpr std::array<FT_UShort, 6> kEnglishLanguages = {0x0409, 0x0809, 0x0C09,
                                                        0x1009, 0x1409, 0x1809};

bool isUsableRecord(const FT_SfntName& record) {
    if (record.platform_id == TT_PLATFORM_MICROSOFT) {
        const bool unicodeOrSymbol =
            record.encoding_id == TT_MS_ID_UNICODE_CS || record.encoding_id == TT_MS_ID_SYMBOL_CS;
        return unicodeOrSymbol &&
               std::ranges::find(kEnglishLanguages, record.language_id) != kEnglishLanguages.end();
    }
    return record.platform_id == TT_PLATFORM_APPLE_UNICODE && record.language_id == 0;
}

std::string lowBytesOf(const FT_SfntName& record, int destinationSize) {
    const unsigned length = std::min<unsigned>(record.string_len, kLongestRecordUsed);
    std::string text;
    for (unsigned offset = 1; offset < length && offset < static_cast<unsigned>(destinationSize);
         offset += 2) {
        text.push_back(static_cast<char>(record.string[offset]));
    }
    return text;
}

}  // namespace

std::optional<std::string> findFontName(FT_Face face, unsigned nameId, int destinationSize) {
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName record;
        if (FT_Get_Sfnt_Name(face, i, &record) != 0) continue;
        if (record.name_id == nameId && isUsableRecord(record)) {
            return lowBytesOf(record, std::max(destinationSize, 0));
        }
    }
    return std::nullopt;
}

}  // namespace glyphbake
