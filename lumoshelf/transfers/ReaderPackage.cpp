#include "transfers/ReaderPackage.h"

#include <array>

#include "library/LibraryInterfaces.h"
#include "transfers/EditionFormat.h"
#include "transfers/PrivateTempDir.h"

namespace lumo {
namespace {

constexpr int kCantAccessLocalFile = 7;

bool ReadAt(std::ifstream& file, std::uint64_t offset, unsigned char* buffer, std::size_t size) {
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(file.gcount()) == size;
}

}  // namespace

bool IsSkippedPackagePart(const std::string& name) {
    // The names come from inside the package, not from a file system: they match exactly.
    return name == "wait" || name.ends_with(".info");
}

bool IsSafePartName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name) {
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

int ReaderPackage::Open(const std::filesystem::path& path) {
    Close();
    file_.open(path, std::ios::binary);
    if (!file_) return kCantAccessLocalFile;
    file_.seekg(0, std::ios::end);
    fileSize_ = static_cast<std::uint64_t>(file_.tellg());

    std::array<unsigned char, kEditionHeaderSize + 4> head{};
    if (!ReadAt(file_, 0, head.data(), head.size()) ||
        ReadLe32(head.data()) != kReaderPackageMagic) {
        Close();
        return kCantAccessLocalFile;
    }
    const std::uint64_t count = ReadLe32(head.data() + kEditionHeaderSize);
    const std::uint64_t tableStart = kEditionHeaderSize + 4;
    if (tableStart + count * kTocEntrySize > fileSize_) {
        Close();
        return kCantAccessLocalFile;
    }
    std::vector<unsigned char> table(count * kTocEntrySize);
    if (!ReadAt(file_, tableStart, table.data(), table.size())) {
        Close();
        return kCantAccessLocalFile;
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        const unsigned char* entry = table.data() + i * kTocEntrySize;
        const char* name = reinterpret_cast<const char*>(entry);
        PackagePart part{std::string(name, strnlen(name, kTocEntryNameSize)), ReadLe32(entry + 32),
                         ReadLe32(entry + 36)};
        if (!IsSafePartName(part.name) || std::uint64_t(part.offset) + part.length > fileSize_) {
            Close();
            return kCantAccessLocalFile;
        }
        parts_.push_back(std::move(part));
    }
    return 0;
}

std::vector<PackagePart> ReaderPackage::PartsToSend() const {
    std::vector<PackagePart> sent;
    for (const PackagePart& part : parts_) {
        if (!IsSkippedPackagePart(part.name)) sent.push_back(part);
    }
    return sent;
}

int ReaderPackage::ReadPartFileType(const PackagePart& part, int& fileType) {
    std::array<unsigned char, kSystemImageHeaderSize> head{};
    if (!ReadAt(file_, part.offset, head.data(), head.size())) {
        return kCantAccessLocalFile;
    }
    fileType = ReadLe32(head.data()) == kSystemImageMagic
                   ? SystemImageFileType(head[kSystemImageTypeField])
                   : 0;
    return 0;
}

int ReaderPackage::WritePart(const PackagePart& part, const std::filesystem::path& target) {
    file_.clear();
    file_.seekg(part.offset);
    return WritePrivateFileFrom(file_, part.length, target);
}

void ReaderPackage::Close() {
    if (file_.is_open()) file_.close();
    file_.clear();
    fileSize_ = 0;
    parts_.clear();
}

}  // namespace lumo
