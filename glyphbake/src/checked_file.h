#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace glyphbake {

// An output file whose every write and whose close are checked. A file that was not finished
// (a failed write, a failed close, or an exception on the way) is removed, so that no cut file
// is ever taken for a whole one.
class CheckedFile {
public:
    // Creates or truncates path; throws ConversionError when it cannot.
    explicit CheckedFile(const char* path);
    ~CheckedFile();
    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;

    void write(std::span<const uint8_t> bytes);
    void finish();

private:
    void discard();

    std::string path_;
    std::FILE* file_ = nullptr;
    bool regularFile_ = false;
};

}  // namespace glyphbake
