#include "library/FileUtil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace lumo {
namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool closeChecked() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    fs::path target(path);
    fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    FileDescriptor file(::mkstemp(name.data()));
    if (file.get() < 0) return false;
    std::string tempPath(name.data());
    struct stat old {};
    mode_t mode = (::stat(path.c_str(), &old) == 0) ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(file.get(), mode) == 0 && writeAll(file.get(), bytes) &&
              ::fsync(file.get()) == 0 && file.closeChecked() &&
              ::rename(tempPath.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(tempPath.c_str());
    return ok;
}

bool SyncFileSystemOf(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY));
    return file.get() >= 0 && ::syncfs(file.get()) == 0;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_size) > maxBytes)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(info.st_size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t got = ::read(file.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

bool SamePath(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
    return fs::absolute(a, error).lexically_normal() == fs::absolute(b, error).lexically_normal();
}

bool IsRegularFileNoFollow(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string LastNamePart(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string LowerExtension(const std::string& path) {
    std::string name = LastNamePart(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : ToLower(name.substr(dot));
}

std::string BareFileName(const std::string& path) {
    std::string name = LastNamePart(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ToLower(std::string_view text) { return ToLower(std::string(text)); }

std::string ToLower(std::string&& text) {
    std::transform(text.begin(), text.end(), text.begin(), lowerAscii);
    return std::move(text);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

bool ContainsNoCase(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) return true;
    auto found = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                             [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
    return found != haystack.end();
}

}  // namespace lumo
