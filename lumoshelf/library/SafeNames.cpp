#include "library/SafeNames.h"

#include <string_view>

namespace {

bool onlyDots(const std::string& name) { return name.find_first_not_of('.') == std::string::npos; }

}  // namespace

std::string ReplaceForbiddenNameChars(const std::string& name) {
    static constexpr std::string_view forbidden = "\\/:*?<>|\"";
    std::string safe = name;
    for (char& c : safe) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || forbidden.find(c) != std::string_view::npos) c = '-';
    }
    return safe;
}

std::string SafeNameComponent(const std::string& name) {
    std::string safe = ReplaceForbiddenNameChars(name);
    return onlyDots(safe) ? "unnamed" : safe;
}
