#include "library/SettingsStore.h"

#include <charconv>
#include <filesystem>
#include <optional>
#include <vector>

#include "library/FileUtil.h"

namespace {

constexpr std::uint64_t kMaxSettingsFile = 16u << 20;

// Blanks at either end of a name would be trimmed away when the line is read back, and ';' or
// '#' in front would make it a comment, so those are encoded along with the reserved bytes.
std::string percentEncode(const std::string& name, bool (*reserved)(unsigned char)) {
    static const char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        const bool atEdge = i == 0 || i + 1 == name.size();
        const bool blank = c == ' ' || c == '\t';
        if (c == '%' || c < 0x20 || c == 0x7F || reserved(c) || (atEdge && blank) ||
            (i == 0 && (c == ';' || c == '#'))) {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 0xF];
        } else {
            encoded += static_cast<char>(c);
        }
    }
    return encoded;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// One line of the file and, for value lines, where the name ends.
struct Line {
    std::string text;
    enum Kind { Other, Section, Value } kind = Other;
    std::string name;  // decoded section or value name
};

std::vector<Line> parseLines(const std::string& bytes) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        Line line;
        line.text = bytes.substr(start, end - start);
        if (!line.text.empty() && line.text.back() == '\r') line.text.pop_back();
        std::string_view body = trimBlanks(line.text);
        if (!body.empty() && body.front() == '[' && body.back() == ']') {
            line.kind = Line::Section;
            line.name = DecodeSettingsName(std::string(body.substr(1, body.size() - 2)));
        } else if (!body.empty() && body.front() != ';' && body.front() != '#' &&
                   line.text.find('=') != std::string::npos) {
            line.kind = Line::Value;
            line.name = DecodeSettingsName(std::string(
                trimBlanks(std::string_view(line.text).substr(0, line.text.find('=')))));
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string joinLines(const std::vector<Line>& lines) {
    std::string bytes;
    for (const Line& line : lines) {
        bytes += line.text;
        bytes += '\n';
    }
    return bytes;
}

// Index of the value line, or of the line after which a new value of that section goes.
struct Location {
    std::optional<size_t> value;
    std::optional<size_t> sectionEnd;
};

Location locate(const std::vector<Line>& lines, const std::string& section,
                const std::string& value) {
    Location where;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == Line::Section) {
            if (inSection) return where;  // first occurrence of the section wins
            inSection = lumo::EqualsNoCase(line.name, section);
            if (inSection) where.sectionEnd = i;
        } else if (inSection) {
            if (line.kind == Line::Value) {
                where.sectionEnd = i;
                if (lumo::EqualsNoCase(line.name, value)) {
                    where.value = i;
                    return where;
                }
            }
        }
    }
    return where;
}

std::optional<std::string> readValue(const std::string& path, const std::string& section,
                                     const std::string& value) {
    auto bytes = lumo::ReadWholeFile(path, kMaxSettingsFile);
    if (!bytes) return std::nullopt;
    std::vector<Line> lines = parseLines(*bytes);
    Location where = locate(lines, section, value);
    if (!where.value) return std::nullopt;
    const std::string& text = lines[*where.value].text;
    return text.substr(text.find('=') + 1);
}

}  // namespace

std::string EncodeSettingsSectionName(const std::string& name) {
    return percentEncode(name, [](unsigned char c) { return c == ']' || c == '['; });
}

std::string EncodeSettingsValueName(const std::string& name) {
    return percentEncode(name, [](unsigned char c) { return c == '=' || c == '['; });
}

std::string DecodeSettingsName(const std::string& encoded) {
    std::string name;
    for (size_t i = 0; i < encoded.size(); ++i) {
        unsigned value = 0;
        if (encoded[i] == '%' && i + 2 < encoded.size() &&
            std::from_chars(encoded.data() + i + 1, encoded.data() + i + 3, value, 16).ptr ==
                encoded.data() + i + 3) {
            name += static_cast<char>(value);
            i += 2;
        } else {
            name += encoded[i];
        }
    }
    return name;
}

CLXSettingsStore::CLXSettingsStore(std::string path) : path_(std::move(path)) {}

bool CLXSettingsStore::ReadString(const std::string& section, const std::string& value,
                                  std::string& out) const {
    std::lock_guard lock(mutex_);
    auto text = readValue(path_, section, value);
    if (!text) return false;
    out = *text;
    return true;
}

bool CLXSettingsStore::WriteString(const std::string& text, const std::string& section,
                                   const std::string& value) {
    if (text.find_first_of("\r\n") != std::string::npos) return false;
    std::lock_guard lock(mutex_);
    std::vector<Line> lines;
    if (auto bytes = lumo::ReadWholeFile(path_, kMaxSettingsFile)) {
        lines = parseLines(*bytes);
    } else if (std::filesystem::exists(path_)) {
        return false;  // never replace a settings file that could not be read
    }
    Line line;
    line.text = EncodeSettingsValueName(value) + "=" + text;
    line.kind = Line::Value;
    line.name = value;
    Location where = locate(lines, section, value);
    if (where.value) {
        lines[*where.value] = std::move(line);
    } else if (where.sectionEnd) {
        lines.insert(lines.begin() + static_cast<long>(*where.sectionEnd) + 1, std::move(line));
    } else {
        if (!lines.empty() && !lines.back().text.empty()) lines.push_back(Line{});
        lines.push_back(
            Line{"[" + EncodeSettingsSectionName(section) + "]", Line::Section, section});
        lines.push_back(std::move(line));
    }
    std::error_code error;
    auto folder = std::filesystem::path(path_).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    return lumo::WriteFileAtomically(path_, joinLines(lines));
}

bool CLXSettingsStore::ReadNumber(const std::string& section, const std::string& value,
                                  std::uint32_t& out) const {
    std::string text;
    if (!ReadString(section, value, text)) return false;
    std::string_view digits = trimBlanks(text);
    std::uint32_t number = 0;
    auto result = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (result.ec != std::errc() || result.ptr != digits.data() + digits.size() || digits.empty())
        return false;
    out = number;
    return true;
}

bool CLXSettingsStore::WriteNumber(std::uint32_t number, const std::string& section,
                                   const std::string& value) {
    return WriteString(std::to_string(number), section, value);
}

bool CLXSettingsStore::EnsureString(const std::string& section, const std::string& value,
                                    const std::string& defaultText) {
    std::string current;
    return ReadString(section, value, current) || WriteString(defaultText, section, value);
}

bool CLXSettingsStore::EnsureNumber(const std::string& section, const std::string& value,
                                    std::uint32_t defaultNumber) {
    std::uint32_t current = 0;
    return ReadNumber(section, value, current) || WriteNumber(defaultNumber, section, value);
}

std::string CLXSettingsStore::StringOr(const std::string& section, const std::string& value,
                                       const std::string& fallback) const {
    std::string text;
    return ReadString(section, value, text) ? text : fallback;
}
