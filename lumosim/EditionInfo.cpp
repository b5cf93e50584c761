#include "lumosim/EditionInfo.h"

#include <strings.h>

namespace lumosim {
namespace {

constexpr uint32_t kEditionMagic = 0x0CB00CB0;
constexpr uint16_t kEditionVersion = 2;
constexpr std::size_t kHeaderSize = 296;
constexpr std::size_t kTocOffsetField = 24;
constexpr std::size_t kEntrySize = 44;
constexpr std::size_t kEntryNameSize = 32;
constexpr uint32_t kInfoEntryFlag = 0x2;

uint32_t Le32(std::span<const uint8_t> bytes, std::size_t at) {
    return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
           uint32_t{bytes[at + 3]} << 24;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string IniValue(std::string_view text, std::string_view key) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view name = Trim(line.substr(0, equals));
        if (name.size() == key.size() && strncasecmp(name.data(), key.data(), key.size()) == 0)
            return std::string(Trim(line.substr(equals + 1)));
    }
    return {};
}

std::optional<EditionInfo> ReadEditionInfo(std::span<const uint8_t> edition) {
    if (edition.size() < kHeaderSize || Le32(edition, 0) != kEditionMagic) return std::nullopt;
    if ((edition[4] | edition[5] << 8) != kEditionVersion) return std::nullopt;

    const std::size_t toc = Le32(edition, kTocOffsetField);
    if (toc > edition.size() || edition.size() - toc < 4) return std::nullopt;
    const std::size_t count = Le32(edition, toc);
    const std::size_t available = (edition.size() - toc - 4) / kEntrySize;
    if (count == 0 || count > available) return std::nullopt;

    std::size_t info = toc + 4 + (count - 1) * kEntrySize;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = toc + 4 + i * kEntrySize;
        if (Le32(edition, entry + kEntryNameSize + 8) & kInfoEntryFlag) {
            info = entry;
            break;
        }
    }
    const std::size_t length = Le32(edition, info + kEntryNameSize);
    const std::size_t offset = Le32(edition, info + kEntryNameSize + 4);
    if (offset > edition.size() || length > edition.size() - offset) return std::nullopt;

    const std::string_view text(reinterpret_cast<const char*>(edition.data() + offset), length);
    return EditionInfo{IniValue(text, "Title"),         IniValue(text, "Author"),
                       IniValue(text, "ISBN"),          IniValue(text, "pub_name"),
                       IniValue(text, "url"),           IniValue(text, "username"),
                       IniValue(text, "PERIODICAL_ID"), IniValue(text, "PERIODICAL_NAME")};
}

}  // namespace lumosim
