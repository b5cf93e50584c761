#pragma once

#include <string>
#include <vector>

// One usable TrueType face: its full name and the file that holds it.
struct FontFace {
    std::string name;
    std::string path;
};

// The faces of the files that the font converter can use, sorted by name (letter case ignored);
// a name appears once for each file that carries it.
std::vector<FontFace> ListFontFaces(const std::vector<std::string>& files);
