#include "library/Archive.h"

void CLXArchiveWriter::WriteU16(std::uint16_t value) {
    bytes_ += static_cast<char>(value & 0xFF);
    bytes_ += static_cast<char>(value >> 8);
}

void CLXArchiveWriter::WriteU32(std::uint32_t value) {
    WriteU16(static_cast<std::uint16_t>(value & 0xFFFF));
    WriteU16(static_cast<std::uint16_t>(value >> 16));
}

void CLXArchiveWriter::WriteString(std::string_view text) {
    const size_t length = text.size();
    if (length < 0xFF) {
        bytes_ += static_cast<char>(length);
    } else {
        bytes_ += static_cast<char>(0xFF);
        if (length < 0xFFFE) {
            WriteU16(static_cast<std::uint16_t>(length));
        } else {
            WriteU16(0xFFFF);
            WriteU32(static_cast<std::uint32_t>(length));
        }
    }
    bytes_.append(text);
}

void CLXArchiveWriter::WriteCount(std::uint64_t count) {
    if (count < 0xFFFF) {
        WriteU16(static_cast<std::uint16_t>(count));
    } else {
        WriteU16(0xFFFF);
        WriteU32(static_cast<std::uint32_t>(count));
    }
}

std::string_view CLXArchiveReader::take(size_t size) {
    if (size > Remaining()) throw CLXArchiveError("the library file ends early");
    std::string_view part = bytes_.substr(position_, size);
    position_ += size;
    return part;
}

std::uint16_t CLXArchiveReader::ReadU16() {
    std::string_view part = take(2);
    return static_cast<std::uint16_t>(static_cast<unsigned char>(part[0]) |
                                      (static_cast<unsigned char>(part[1]) << 8));
}

std::uint32_t CLXArchiveReader::ReadU32() {
    std::uint32_t low = ReadU16();
    return low | (static_cast<std::uint32_t>(ReadU16()) << 16);
}

std::string CLXArchiveReader::ReadString() {
    std::uint64_t length = static_cast<unsigned char>(take(1)[0]);
    if (length == 0xFF) {
        length = ReadU16();
        if (length == 0xFFFE) throw CLXArchiveError("wide-character strings are not supported");
        if (length == 0xFFFF) length = ReadU32();
    }
    return std::string(take(static_cast<size_t>(length)));
}

std::uint64_t CLXArchiveReader::ReadCount() {
    std::uint64_t count = ReadU16();
    if (count == 0xFFFF) count = ReadU32();
    return count;
}
