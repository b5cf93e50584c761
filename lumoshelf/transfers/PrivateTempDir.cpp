#include "transfers/PrivateTempDir.h"

#include <fcntl.h>
#include <unistd.h>

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

}  // namespace lumo
