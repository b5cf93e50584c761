#pragma once

#include <filesystem>
#include <string>

namespace lumo {

// The link's transfer record holds local names of at most 199 characters. A longer path is
// handed to the link under a short name in the private temporary folder: a link to the file
// for a send, a file that is moved to the real path after a successful receive.
class LocalNameStage {
public:
    static constexpr std::size_t kMaxLinkName = 199;

    enum class Direction { Send, Receive };
    LocalNameStage(const std::string& localPath, Direction direction);
    ~LocalNameStage();
    LocalNameStage(const LocalNameStage&) = delete;
    LocalNameStage& operator=(const LocalNameStage&) = delete;

    // False when a long name could not be staged.
    bool Ok() const { return ok_; }
    // The name to put into the transfer record.
    const std::string& LinkName() const { return linkName_; }
    // After a successful receive: puts the staged file at the real path. False on failure.
    bool FinishReceive();

private:
    std::string localPath_;
    std::string linkName_;
    bool staged_ = false;
    bool ok_ = true;
};

// Moves a file to target, replacing it in one step, also across file systems.
bool MoveFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace lumo
