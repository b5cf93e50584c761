#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

// An edition file opened for reading, with reads that know the file's length, so that no
// offset or length from the file can make a read run past its end.
class CLXEditionFile {
public:
    explicit CLXEditionFile(const std::string& path);
    ~CLXEditionFile();
    CLXEditionFile(const CLXEditionFile&) = delete;
    CLXEditionFile& operator=(const CLXEditionFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    std::uint64_t Size() const { return size_; }

    enum class Read { Ok, Short, Failed };
    // Reads exactly size bytes at offset into out.
    Read ReadAt(std::uint64_t offset, size_t size, std::string& out) const;

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

inline std::uint32_t LittleEndian32(const std::string& bytes, size_t at) {
    auto byte = [&](size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i]));
    };
    return byte(0) | (byte(1) << 8) | (byte(2) << 16) | (byte(3) << 24);
}

inline std::uint16_t LittleEndian16(const std::string& bytes, size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned char>(bytes[at + 1]) << 8));
}
