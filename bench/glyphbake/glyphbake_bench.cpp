// Times the conversion of the four DejaVu Sans faces at 12 points, as the reader fonts page
// converts a family, and checks the total against 0.2 s.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "glyphbake/LxfFile.h"
#include "glyphbake/glyphbake.h"

namespace {

constexpr int kPointSize = 12;
constexpr int kRuns = 5;
constexpr double kTargetSeconds = 0.2;
const char* const kFontDir = "/usr/share/fonts/truetype/dejavu/";
const char* const kFaces[] = {"DejaVuSans.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-Bold.ttf",
                              "DejaVuSans-BoldOblique.ttf"};

long glyphsInFont(const std::string& path) {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    long glyphs = 0;
    if (FT_Init_FreeType(&library) == 0) {
        if (FT_New_Face(library, path.c_str(), 0, &face) == 0) glyphs = face->num_glyphs;
        FT_Done_FreeType(library);
    }
    return glyphs;
}

// The fastest of a few runs, in seconds, so that a busy machine disturbs the figure less.
double bestConversionTime(const std::string& font, const std::string& out) {
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const int result = FC_TTFtoLXF(font.c_str(), kPointSize, 2, out.c_str(), 0, 0, 0);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (result != 0) return -1;
        best = std::min(best, elapsed.count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        std::printf(
            "usage: %s\nConverts the four DejaVu Sans faces at %i pt (best of %i runs) and "
            "prints the time per face, per font glyph and per reader character.\n",
            argv[0], kPointSize, kRuns);
        return std::string(argv[1]) == "--help" ? 0 : 2;
    }
    std::string scratch =
        (std::filesystem::temp_directory_path() / "glyphbake-bench-XXXXXX").string();
    if (mkdtemp(scratch.data()) == nullptr) return 1;
    const std::string out = scratch + "/face.lxf";

    std::printf("glyphbake: DejaVu Sans at %i pt, best of %i runs\n", kPointSize, kRuns);
    std::printf("%-28s %9s %7s %10s %6s %10s\n", "face", "ms", "glyphs", "us/glyph", "chars",
                "us/char");
    double total = 0;
    bool failed = false;
    for (const char* name : kFaces) {
        const std::string font = std::string(kFontDir) + name;
        const double seconds = bestConversionTime(font, out);
        std::string error;
        const auto lxf = glyphbake::LxfFont::readFile(out, error);
        if (seconds < 0 || !lxf) {
            std::printf("%-28s conversion failed\n", name);
            failed = true;
            continue;
        }
        const long glyphs = glyphsInFont(font);
        const long chars = static_cast<long>(lxf->header().charCount());
        std::printf("%-28s %9.2f %7ld %10.2f %6ld %10.2f\n", name, seconds * 1e3, glyphs,
                    seconds * 1e6 / static_cast<double>(std::max(glyphs, 1L)), chars,
                    seconds * 1e6 / static_cast<double>(std::max(chars, 1L)));
        total += seconds;
    }
    std::filesystem::remove_all(scratch);
    const bool met = !failed && total < kTargetSeconds;
    std::printf("total %.2f ms for the family, target under %.0f ms: %s\n", total * 1e3,
                kTargetSeconds * 1e3, met ? "met" : "MISSED");
    return met ? 0 : 1;
}
