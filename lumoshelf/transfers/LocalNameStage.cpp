#include "transfers/LocalNameStage.h"

#include <unistd.h>

#include <atomic>

#include "transfers/PrivateTempDir.h"

namespace lumo {
namespace fs = std::filesystem;

namespace {

std::string NextStageName() {
    static std::atomic<unsigned> counter{0};
    return (PrivateTempDir() / ("stage-" + std::to_string(++counter))).string();
}

}  // namespace

LocalNameStage::LocalNameStage(const std::string& localPath, Direction direction)
    : localPath_(localPath), linkName_(localPath) {
    if (localPath.size() <= kMaxLinkName) return;
    try {
        linkName_ = NextStageName();
    } catch (const fs::filesystem_error&) {
        ok_ = false;
        return;
    }
    staged_ = true;
    if (direction == Direction::Send) {
        std::error_code error;
        fs::create_symlink(fs::absolute(localPath, error), linkName_, error);
        ok_ = !error;
    }
}

LocalNameStage::~LocalNameStage() {
    if (!staged_) return;
    std::error_code ignored;
    fs::remove(linkName_, ignored);
}

bool LocalNameStage::FinishReceive() {
    return !staged_ || MoveFileReplacing(linkName_, localPath_);
}

bool MoveFileReplacing(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::rename(from, to, error);
    if (!error) return true;
    if (error != std::errc::cross_device_link) return false;
    fs::path next = to;
    next += ".part";
    fs::copy_file(from, next, fs::copy_options::overwrite_existing, error);
    if (!error) fs::rename(next, to, error);
    if (error) {
        std::error_code ignored;
        fs::remove(next, ignored);
        return false;
    }
    fs::remove(from, error);
    return true;
}

}  // namespace lumo
