#include "checked_file.h"

#include <sys/stat.h>

#include "conversion_error.h"

namespace glyphbake {

CheckedFile::CheckedFile(const char* path) : path_(path), file_(std::fopen(path, "wb")) {
    if (file_ == nullptr) throw ConversionError{"Unable to open output file: " + path_};
    struct stat info {};
    // Only a file we made may be removed again: never a device such as /dev/full.
    regularFile_ = fstat(fileno(file_), &info) == 0 && S_ISREG(info.st_mode);
}

CheckedFile::~CheckedFile() {
    if (file_ != nullptr) discard();
}

void CheckedFile::write(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        discard();
        throw ConversionError{"Unable to write output file: " + path_};
    }
}

void CheckedFile::finish() {
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) {
        if (regularFile_) std::remove(path_.c_str());
        throw ConversionError{"Unable to write output file: " + path_};
    }
}

void CheckedFile::discard() {
    std::fclose(file_);
    file_ = nullptr;
    if (regularFile_) std::remove(path_.c_str());
}

}  // namespace glyphbake
