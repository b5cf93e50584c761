#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Reads INI text the way the Windows profile functions do: section and key names without regard
// to letter case, the first occurrence wins, blanks (and a line's carriage return) trimmed around
// names and values, a value enclosed in matching quotes loses them.
class CLXProfileReader {
public:
    CLXProfileReader() = default;
    explicit CLXProfileReader(std::string_view text);

    // The value, or nothing when the section or key is missing. A bufferSize above 0 cuts the
    // value at bufferSize - 1 characters, as a fixed buffer would.
    std::optional<std::string> Find(std::string_view section, std::string_view key,
                                    size_t bufferSize = 0) const;
    // The value, or defaultText when it is missing or empty.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultText = {}, size_t bufferSize = 0) const;
    // The value read as atoi reads it, or defaultValue when the key is missing.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
    // The number of distinct keys in a section.
    size_t KeyCount(std::string_view section) const;

private:
    // Keys and section names in lower case; the first occurrence of each is kept.
    using Section = std::unordered_map<std::string, std::string>;
    const Section* findSection(std::string_view section) const;
    std::unordered_map<std::string, Section> sections_;
};
