#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

namespace glyphbake {

// The font engine and one open face for the length of one call. Leaving the scope releases both,
// whichever way the call ends.
class FontSession {
public:
    // Throws ConversionError when the engine cannot start or the file is not a scalable font.
    explicit FontSession(const char* path);
    ~FontSession();
    FontSession(const FontSession&) = delete;
    FontSession& operator=(const FontSession&) = delete;

    FT_Library library() const { return library_; }
    FT_Face face() const { return face_; }

    // Closes the face early so that its engine error can be reported; returns that error.
    FT_Error closeFace();

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

}  // namespace glyphbake
