#include "font_converter.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "cell_raster.h"
#include "conversion_error.h"
#include "conversion_report.h"
#include "font_layout.h"
#include "font_session.h"
#include "glyph_box.h"
#include "glyph_table.h"
#include "lxf_output.h"
#include "name_records.h"

namespace glyphbake {
namespace {

constexpr FT_UInt kResolution = 100;

void setPointSize(FT_Face face, int pointSize) {
    if (pointSize < 1 ||
        FT_Set_Char_Size(face, 0, FT_F26Dot6{pointSize} * 64, kResolution, kResolution) != 0) {
        throw ConversionError{"could not set point size"};
    }
}

// Draws the sample glyph at the cell's bottom-left corner, for the report only.
GlyphBox drawSample(FT_Library library, FT_Face face, int32_t glyph, CellRaster& cell) {
    const std::optional<GlyphBox> box = loadGlyph(face, static_cast<unsigned>(glyph));
    if (!box) return {};
    if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        cell.render(library, face->glyph->outline, -box->xMin, -box->yMin);
    }
    return *box;
}

int convert(const ConversionRequest& request) {
    FontSession session(request.ttfPath);
    FT_Face face = session.face();
    const CharacterMaps maps = findCharacterMaps(face);
    if (maps.unicode == nullptr) {
        throw ConversionError{"Sorry, but this font doesn't contain any Unicode mapping table"};
    }
    // Only the low 16 bits of the size and of the sample code count.
    const int pointSize = static_cast<int16_t>(request.pointSize);
    const int sampleChar = static_cast<uint16_t>(request.sampleChar);
    if (sampleChar >= kCodeCount) throw ConversionError{"Sample character out of range"};
    setPointSize(face, pointSize);

    const FontBox box = scanFontBox(face);
    const GlyphTable table = buildGlyphTable(face, maps);
    const FontLayout layout = layoutFont(box, table, request.extraRows);
    CellRaster cell(layout.rows, layout.cellWidth);
    const GlyphBox sample =
        drawSample(session.library(), face, layout.table.entries[sampleChar], cell);
    if (request.printReport) printConversionReport(face, layout, sample, cell);

    if (request.outPath != nullptr) {
        const LxfOutputOptions options{.pointSize = pointSize,
                                       .extraRows = request.extraRows,
                                       .fixedWidth = request.fixedWidth};
        writeLxfFile(request.outPath, session.library(), face, layout, options, cell);
    }
    // The file is complete by now; a face that will not close is still reported.
    return session.closeFace();
}

int queryName(const char* ttfPath, char* nameBuf, int nameBufLen) {
    FontSession session(ttfPath);
    const std::optional<std::string> name = findFontName(session.face(), kNameFullName, nameBufLen);
    if (!name) throw ConversionError{"Could not find face name"};
    if (nameBuf != nullptr && nameBufLen > 0) {
        std::memcpy(nameBuf, name->c_str(), name->size() + 1);
    }
    const bool hasUnicodeMap = findCharacterMaps(session.face()).unicode != nullptr;
    if (FT_Error error = session.closeFace()) return error;
    return hasUnicodeMap ? 0 : 1;
}

}  // namespace

int convertTrueTypeFont(const ConversionRequest& request) {
    try {
        return convert(request);
    } catch (const ConversionError&) {
        return 1;
    } catch (const std::bad_alloc&) {
        return 1;
    }
}

int queryFaceName(const char* ttfPath, char* nameBuf, int nameBufLen) {
    try {
        return queryName(ttfPath, nameBuf, nameBufLen);
    } catch (const ConversionError& error) {
        return error.engineError != 0 ? error.engineError : 1;
    } catch (const std::bad_alloc&) {
        return 1;
    }
}

}  // namespace glyphbake
