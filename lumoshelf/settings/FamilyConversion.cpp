#include "settings/FamilyConversion.h"

#include <optional>
#include <string_view>
#include <system_error>

#include "glyphbake/glyphbake.h"
#include "settings/FaceStyleMatch.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExtraRows = 2;

struct Style {
    std::string_view faceSuffix;
    std::string_view fileSuffix;
};
constexpr Style kStyles[] = {{" ITALIC", "I"}, {" BOLD", "B"}, {" BOLD ITALIC", "BI"}};

// The size of the file made, or nothing when the conversion failed; a file left by a failure
// after writing is removed so that it is never mistaken for a good one.
std::optional<std::uint64_t> ConvertFace(const FontFace& face, int pointSize, const fs::path& out) {
    std::error_code error;
    if (FC_TTFtoLXF(face.path.c_str(), pointSize, kExtraRows, out.c_str(), 0, 0, 0) != 0) {
        fs::remove(out, error);
        return std::nullopt;
    }
    const std::uint64_t size = fs::file_size(out, error);
    if (error) return std::nullopt;
    return size;
}

}  // namespace

bool IsOverReaderFontLimit(std::uint64_t bytes) { return bytes > kReaderFontLimitBytes; }

FamilyFiles ConvertFamily(const std::string& family, const std::vector<FontFace>& faces,
                          std::size_t selected, int pointSize, const fs::path& folder) {
    FamilyFiles result;
    if (selected >= faces.size()) return result;
    const std::string regularName = family + ".LXF";
    const auto add = [&](std::size_t slot, const std::string& name, std::uint64_t size) {
        result.madeFiles.push_back((folder / name).string());
        result.readerNames[slot] = name;
        result.oversized = result.oversized || IsOverReaderFontLimit(size);
    };

    const auto regularSize = ConvertFace(faces[selected], pointSize, folder / regularName);
    if (!regularSize) return result;
    result.converted = true;
    add(0, regularName, *regularSize);

    std::size_t slot = 1;
    for (const Style& style : kStyles) {
        const std::string name = family + std::string(style.fileSuffix) + ".LXF";
        const auto match = FindStyleFace(faces, selected, style.faceSuffix);
        const auto size =
            match ? ConvertFace(faces[*match], pointSize, folder / name) : std::nullopt;
        if (size) {
            add(slot, name, *size);
        } else {
            result.readerNames[slot] = regularName;
        }
        ++slot;
    }
    return result;
}
