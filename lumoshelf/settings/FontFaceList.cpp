#include "settings/FontFaceList.h"

#include <algorithm>

#include "glyphbake/glyphbake.h"
#include "library/FileUtil.h"

namespace {

constexpr int kFaceNameSize = 257;

}  // namespace

std::vector<FontFace> ListFontFaces(const std::vector<std::string>& files) {
    std::vector<FontFace> faces;
    for (const std::string& path : files) {
        char name[kFaceNameSize] = {};
        if (FC_GetFaceName(path.c_str(), name, kFaceNameSize) == 0) faces.push_back({name, path});
    }
    std::stable_sort(faces.begin(), faces.end(), [](const FontFace& a, const FontFace& b) {
        return lumo::ToLower(a.name) < lumo::ToLower(b.name);
    });
    return faces;
}
