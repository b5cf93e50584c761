#include "settings/PointSizeText.h"

#include <limits>

std::int16_t ReadPointSize(std::string_view text) {
    constexpr int kLargest = std::numeric_limits<std::int16_t>::max();
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string_view::npos) return 0;
    int size = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        size = size * 10 + (text[at] - '0');
        if (size > kLargest) return 0;
    }
    return static_cast<std::int16_t>(size);
}
