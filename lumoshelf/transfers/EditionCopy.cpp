#include "transfers/EditionCopy.h"

#include <fstream>

#include "transfers/PrivateTempDir.h"

namespace lumo {

int MakeEditionSendCopy(const std::filesystem::path& source, std::uint32_t editionLength,
                        const std::filesystem::path& folder, std::filesystem::path& copy) {
    constexpr int kCantAccessLocalFile = 7;
    std::ifstream in(source, std::ios::binary);
    if (!in) return kCantAccessLocalFile;
    in.seekg(0, std::ios::end);
    const auto fileSize = static_cast<std::uint64_t>(in.tellg());
    in.seekg(0);
    const std::uint64_t keep =
        (editionLength > 0 && editionLength <= fileSize) ? editionLength : fileSize;

    const std::filesystem::path target = folder / source.filename();
    if (const int error = WritePrivateFileFrom(in, keep, target)) return error;
    copy = target;
    return 0;
}

}  // namespace lumo
