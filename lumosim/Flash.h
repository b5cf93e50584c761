#pragma once

// The reader's flash memory: a folder of files with a fixed capacity. Names behave as on the
// reader's own file system: a name is one path component and letter case is ignored when a name
// is looked up or replaced.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace lumosim {

class Flash {
public:
    Flash(std::filesystem::path folder, uint64_t capacity);

    const std::filesystem::path& Folder() const { return folder_; }
    uint64_t Capacity() const { return capacity_; }
    uint64_t UsedBytes() const;
    uint64_t FreeBytes() const;

    // The stored name a remote name refers to (case ignored), if there is such a file.
    std::optional<std::string> Find(const std::string& name) const;
    std::vector<std::string> ListNames() const;

    std::optional<std::vector<uint8_t>> Read(const std::string& name) const;
    uint64_t SizeOf(const std::string& name) const;  // 0 when there is no such file
    // Stores the file under the given name, replacing one whose name differs only in case.
    bool Write(const std::string& name, const std::vector<uint8_t>& bytes);
    bool Erase(const std::string& name);
    void EraseAll();

    // A remote name reduced to one safe component, or nothing when none is left.
    static std::optional<std::string> SafeName(const std::string& remoteName);

private:
    std::filesystem::path folder_;
    uint64_t capacity_;
};

}  // namespace lumosim
