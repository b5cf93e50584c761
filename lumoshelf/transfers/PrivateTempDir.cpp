#include "transfers/PrivateTempDir.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <system_error>

namespace lumo {
namespace {

class OwnedTempDir {
public:
    OwnedTempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lumoshelf-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::filesystem::filesystem_error(
                "cannot make a private temporary folder",
                std::error_code(errno, std::generic_category()));
        }
        path_ = pattern;
    }
    ~OwnedTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    OwnedTempDir(const OwnedTempDir&) = delete;
    OwnedTempDir& operator=(const OwnedTempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace

const std::filesystem::path& PrivateTempDir() {
    static const OwnedTempDir folder;
    return folder.Path();
}

int CreatePrivateFile(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
}

int WritePrivateFileFrom(std::istream& in, std::uint64_t count, const std::filesystem::path& path) {
    constexpr int kCantAccessLocalFile = 7;
    const int fd = CreatePrivateFile(path);
    if (fd < 0) return kCantAccessLocalFile;
    std::array<char, 64 * 1024> chunk{};
    bool ok = true;
    while (ok && count > 0) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(count, chunk.size()));
        in.read(chunk.data(), static_cast<std::streamsize>(want));
        ok = static_cast<std::size_t>(in.gcount()) == want &&
             ::write(fd, chunk.data(), want) == static_cast<ssize_t>(want);
        count -= want;
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return kCantAccessLocalFile;
    }
    return 0;
}

}  // namespace lumo
