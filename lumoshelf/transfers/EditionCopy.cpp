#include "transfers/EditionCopy.h"

#include <unistd.h>

#include <array>
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
    const int fd = CreatePrivateFile(target);
    if (fd < 0) return kCantAccessLocalFile;
    std::array<char, 64 * 1024> chunk{};
    std::uint64_t left = keep;
    bool ok = true;
    while (ok && left > 0) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size()));
        in.read(chunk.data(), static_cast<std::streamsize>(want));
        ok = static_cast<std::size_t>(in.gcount()) == want &&
             ::write(fd, chunk.data(), want) == static_cast<ssize_t>(want);
        left -= want;
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        std::error_code ignored;
        std::filesystem::remove(target, ignored);
        return kCantAccessLocalFile;
    }
    copy = target;
    return 0;
}

}  // namespace lumo
