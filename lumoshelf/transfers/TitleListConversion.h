#pragma once

#include <filesystem>
#include <string>

namespace lumo {

// The reader's title list as fetched becomes an initialisation file: the line "[LumoBook]"
// and CR LF, then the fetched bytes without carriage returns and without the last remaining
// byte, when there is one. Done exactly once per fetch: a second pass would cut a real byte.
std::string ConvertReaderTitleListBytes(const std::string& fetched);

// Rewrites the fetched file in place; false when it cannot be read or replaced.
bool ConvertReaderTitleList(const std::filesystem::path& path);

}  // namespace lumo
