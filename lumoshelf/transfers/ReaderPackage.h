#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace lumo {

// One part of a reader software package, as its table of contents gives it.
struct PackagePart {
    std::string name;
    std::uint32_t length = 0;
    std::uint32_t offset = 0;
};

// A reader software package (first word 0xDEC00CB0): a 296-byte header, a 32-bit count and that
// many 44-byte entries, then the parts. The table is checked against the file before anything
// is read from it: entries and parts must lie inside the file and part names must be plain file
// names, because they become file names in the temporary folder.
class ReaderPackage {
public:
    // 0, or 7 (EB_ERR_CANT_ACCESS_LOCAL_FILE) when the file cannot be read or is damaged.
    int Open(const std::filesystem::path& path);

    const std::vector<PackagePart>& Parts() const { return parts_; }
    // The parts that are sent, in table order: all but "wait" and names ending in ".info".
    std::vector<PackagePart> PartsToSend() const;

    // The link file type of a part, from the system image header at its start.
    // 0, or 7 when the part is shorter than that header.
    int ReadPartFileType(const PackagePart& part, int& fileType);
    // Writes the part's bytes to target (created 0600, never through a link); 0 or 7.
    int WritePart(const PackagePart& part, const std::filesystem::path& target);

    void Close();

private:
    std::ifstream file_;
    std::uint64_t fileSize_ = 0;
    std::vector<PackagePart> parts_;
};

bool IsSkippedPackagePart(const std::string& name);
// A package part name is a plain file name: not empty, ".", "..", no '/', '\\' or control byte.
bool IsSafePartName(const std::string& name);

}  // namespace lumo
