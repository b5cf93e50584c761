#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

// Reads back what the packer laid out.
inline std::uint32_t Word(const std::string& bytes, size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

// The entries of an edition file by name.
inline std::map<std::string, std::string> EditionEntries(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::map<std::string, std::string> entries;
    if (bytes.size() < 296) return entries;
    const size_t toc = Word(bytes, 24);
    for (size_t i = 0; i < Word(bytes, toc); ++i) {
        const size_t entry = toc + 4 + i * 44;
        entries[std::string(bytes.c_str() + entry)] =
            bytes.substr(Word(bytes, entry + 36), Word(bytes, entry + 32));
    }
    return entries;
}
