#pragma once

#include <cstdint>
#include <filesystem>

namespace lumo {

// Copies an edition into folder under its own file name, as a 0600 file (never through a
// link), and cuts the copy to the header's edition length when that length is plausible:
// above 0 and not beyond the file. Otherwise the copy stays whole. 0, or 7
// (EB_ERR_CANT_ACCESS_LOCAL_FILE) when the copy fails; a failed copy is removed.
int MakeEditionSendCopy(const std::filesystem::path& source, std::uint32_t editionLength,
                        const std::filesystem::path& folder, std::filesystem::path& copy);

}  // namespace lumo
