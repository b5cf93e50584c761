#pragma once

#include <cstdint>
#include <mutex>
#include <string>

// The program's settings: a UTF-8 text file of "[Section]" and "Name=value" lines. Section and
// value names are matched without regard to letter case, as the registry matched them. Comments
// (';' or '#'), unknown sections and values survive every rewrite, and every write replaces the
// file atomically. A missing line is a missing value.
class CLXSettingsStore {
public:
    explicit CLXSettingsStore(std::string path);

    const std::string& Path() const { return path_; }

    bool ReadString(const std::string& section, const std::string& value, std::string& out) const;
    bool WriteString(const std::string& text, const std::string& section, const std::string& value);
    bool ReadNumber(const std::string& section, const std::string& value, std::uint32_t& out) const;
    bool WriteNumber(std::uint32_t number, const std::string& section, const std::string& value);
    // Write the default only when the value cannot be read.
    bool EnsureString(const std::string& section, const std::string& value,
                      const std::string& defaultText);
    bool EnsureNumber(const std::string& section, const std::string& value,
                      std::uint32_t defaultNumber);

    // The value's text, or fallback when it is missing.
    std::string StringOr(const std::string& section, const std::string& value,
                         const std::string& fallback = {}) const;

private:
    std::string path_;
    mutable std::mutex mutex_;
};

// Section and value names may hold any text (a reader names its own section); the characters
// that the file syntax reserves are written as %XX.
std::string EncodeSettingsSectionName(const std::string& name);
std::string EncodeSettingsValueName(const std::string& name);
std::string DecodeSettingsName(const std::string& encoded);
