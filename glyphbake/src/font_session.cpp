#include "font_session.h"

#include <string>

#include "conversion_error.h"

namespace glyphbake {

FontSession::FontSession(const char* path) {
    if (path == nullptr) throw ConversionError{"No font file specified"};
    if (FT_Error error = FT_Init_FreeType(&library_)) {
        library_ = nullptr;
        throw ConversionError{"could not create engine instance", error};
    }
    const std::string openFailure = std::string("Could not open the file: ") + path;
    if (FT_Error error = FT_New_Face(library_, path, 0, &face_)) {
        face_ = nullptr;
        FT_Done_FreeType(library_);
        throw ConversionError{openFailure, error};
    }
    // Only outline fonts in an sfnt wrapper carry the character maps and names asked for here.
    if (!FT_IS_SFNT(face_) || !FT_IS_SCALABLE(face_)) {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
        throw ConversionError{openFailure, FT_Err_Unknown_File_Format};
    }
}

FontSession::~FontSession() {
    if (face_ != nullptr) FT_Done_Face(face_);
    FT_Done_FreeType(library_);
}

FT_Error FontSession::closeFace() {
    const FT_Error error = FT_Done_Face(face_);
    face_ = nullptr;
    return error;
}

}  // namespace glyphbake
