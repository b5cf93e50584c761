#include "settings/FaceStyleMatch.h"

#include <string>

#include "library/FileUtil.h"

std::optional<std::size_t> FindStyleFace(const std::vector<FontFace>& faces, std::size_t selected,
                                         std::string_view styleSuffix) {
    if (selected >= faces.size()) return std::nullopt;
    const std::string wanted = faces[selected].name + std::string(styleSuffix);
    for (std::size_t step = 1; step <= faces.size(); ++step) {
        const std::size_t index = (selected + step) % faces.size();
        if (lumo::EqualsNoCase(faces[index].name, wanted)) return index;
    }
    return std::nullopt;
}
