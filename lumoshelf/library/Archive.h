#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The library file's encodings: little-endian words, archive strings (a length of 1, 3 or 7
// bytes, then the bytes) and archive counts (16 bits, or 0xFFFF and 32 bits).
class CLXArchiveWriter {
public:
    void WriteU16(std::uint16_t value);
    void WriteU32(std::uint32_t value);
    void WriteBool(bool value) { WriteU32(value ? 1 : 0); }
    void WriteString(std::string_view text);
    void WriteCount(std::uint64_t count);
    void WriteRaw(std::string_view bytes) { bytes_.append(bytes); }

    const std::string& Bytes() const { return bytes_; }
    std::string TakeBytes() { return std::move(bytes_); }
    void Reserve(size_t size) { bytes_.reserve(size); }

private:
    std::string bytes_;
};

// Thrown by the reader when the bytes end early or hold something the writer never writes; the
// document turns it into a failed open.
class CLXArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CLXArchiveReader {
public:
    explicit CLXArchiveReader(std::string_view bytes) : bytes_(bytes) {}

    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    bool ReadBool() { return ReadU32() != 0; }
    std::string ReadString();
    // A count of records; the records still have to be read one by one, so nothing is
    // allocated ahead of the bytes that hold them.
    std::uint64_t ReadCount();
    std::string ReadRaw(size_t size) { return std::string(take(size)); }

    size_t Remaining() const { return bytes_.size() - position_; }
    bool AtEnd() const { return position_ == bytes_.size(); }

private:
    std::string_view take(size_t size);

    std::string_view bytes_;
    size_t position_ = 0;
};
