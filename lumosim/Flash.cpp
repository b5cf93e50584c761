#include "lumosim/Flash.h"

#include <strings.h>
#include <algorithm>
#include <fstream>

namespace lumosim {
namespace fs = std::filesystem;

namespace {

// Files being written are staged under a hidden name and renamed into place when complete.
constexpr const char* kStagingPrefix = ".incoming-";

bool IsStoredFile(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    return entry.is_regular_file() && !name.empty() && name[0] != '.';
}

}  // namespace

Flash::Flash(fs::path folder, uint64_t capacity) : folder_(std::move(folder)), capacity_(capacity) {
    fs::create_directories(folder_);
}

uint64_t Flash::UsedBytes() const {
    uint64_t used = 0;
    for (const auto& entry : fs::directory_iterator(folder_)) {
        if (IsStoredFile(entry)) used += entry.file_size();
    }
    return used;
}

uint64_t Flash::FreeBytes() const {
    const uint64_t used = UsedBytes();
    return used >= capacity_ ? 0 : capacity_ - used;
}

std::optional<std::string> Flash::Find(const std::string& name) const {
    for (const std::string& stored : ListNames()) {
        if (strcasecmp(stored.c_str(), name.c_str()) == 0) return stored;
    }
    return std::nullopt;
}

std::vector<std::string> Flash::ListNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
        if (IsStoredFile(entry)) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::vector<uint8_t>> Flash::Read(const std::string& name) const {
    const auto stored = Find(name);
    if (!stored) return std::nullopt;
    std::ifstream in(folder_ / *stored, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint64_t Flash::SizeOf(const std::string& name) const {
    const auto stored = Find(name);
    std::error_code error;
    const uint64_t size = stored ? fs::file_size(folder_ / *stored, error) : 0;
    return error ? 0 : size;
}

bool Flash::Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const fs::path staging = folder_ / (kStagingPrefix + name);
    {
        std::ofstream out(staging, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::error_code ignored;
            fs::remove(staging, ignored);
            return false;
        }
    }
    if (const auto old = Find(name); old && *old != name) Erase(*old);
    std::error_code error;
    fs::rename(staging, folder_ / name, error);
    return !error;
}

bool Flash::Erase(const std::string& name) {
    const auto stored = Find(name);
    std::error_code error;
    return stored && fs::remove(folder_ / *stored, error);
}

void Flash::EraseAll() {
    for (const std::string& name : ListNames()) Erase(name);
}

std::optional<std::string> Flash::SafeName(const std::string& remoteName) {
    const std::string name = remoteName.substr(remoteName.find_last_of("/\\") + 1);
    if (name.empty() || name[0] == '.') return std::nullopt;
    if (std::any_of(name.begin(), name.end(), [](char c) { return c >= 0 && c < 0x20; }))
        return std::nullopt;
    return name;
}

}  // namespace lumosim
