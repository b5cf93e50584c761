#include "lumolink/platform/PrivateTempDir.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <system_error>

namespace lumolink {
namespace {

class TempDirOwner {
public:
    TempDirOwner() {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::temp_directory_path(error);
        if (error) return;
        std::string pattern = (base / "lumolink-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;  // mkdtemp makes it 0700
    }
    ~TempDirOwner() {
        // A forked child that exits normally must not take its parent's folder with it.
        std::error_code ignored;
        if (!path_.empty() && getpid() == creator_) std::filesystem::remove_all(path_, ignored);
    }
    TempDirOwner(const TempDirOwner&) = delete;
    TempDirOwner& operator=(const TempDirOwner&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    pid_t creator_ = getpid();
};

}  // namespace

const std::filesystem::path& PrivateTempDir() {
    static const TempDirOwner owner;
    return owner.path();
}

int OpenForWritingNoFollow(const std::string& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
}

int OpenForReadingNoFollow(const std::string& path) {
    return open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
}

}  // namespace lumolink
