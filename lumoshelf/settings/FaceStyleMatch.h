#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "settings/FontFaceList.h"

// The face named like faces[selected] followed by styleSuffix (such as " BOLD"), letter case
// ignored and nothing else: the search starts after the selected face and wraps to the top.
std::optional<std::size_t> FindStyleFace(const std::vector<FontFace>& faces, std::size_t selected,
                                         std::string_view styleSuffix);
