#include "library/ProfileReader.h"

#include <climits>

#include "library/FileUtil.h"

namespace {

std::string_view trim(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view dropEnclosingQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

CLXProfileReader::CLXProfileReader(std::string_view text) {
    Section* current = nullptr;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            size_t close = line.find(']');
            std::string_view name =
                trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
            current = &sections_[lumo::ToLower(name)];
            continue;
        }
        if (!current) continue;
        size_t equals = line.find('=');
        std::string_view key = trim(line.substr(0, equals));
        std::string_view value =
            equals == std::string_view::npos ? std::string_view() : trim(line.substr(equals + 1));
        current->try_emplace(lumo::ToLower(key), dropEnclosingQuotes(value));
    }
}

const CLXProfileReader::Section* CLXProfileReader::findSection(std::string_view section) const {
    auto found = sections_.find(lumo::ToLower(section));
    return found == sections_.end() ? nullptr : &found->second;
}

std::optional<std::string> CLXProfileReader::Find(std::string_view section, std::string_view key,
                                                  size_t bufferSize) const {
    const Section* entries = findSection(section);
    if (!entries) return std::nullopt;
    auto found = entries->find(lumo::ToLower(key));
    if (found == entries->end()) return std::nullopt;
    const std::string& value = found->second;
    if (bufferSize > 0 && value.size() > bufferSize - 1) return value.substr(0, bufferSize - 1);
    return value;
}

size_t CLXProfileReader::KeyCount(std::string_view section) const {
    const Section* entries = findSection(section);
    return entries ? entries->size() : 0;
}

std::string CLXProfileReader::GetString(std::string_view section, std::string_view key,
                                        std::string_view defaultText, size_t bufferSize) const {
    auto value = Find(section, key, bufferSize);
    return value && !value->empty() ? *value : std::string(defaultText);
}

int CLXProfileReader::GetInt(std::string_view section, std::string_view key,
                             int defaultValue) const {
    auto value = Find(section, key);
    if (!value) return defaultValue;
    std::string_view digits = trim(*value);
    bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    long long number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') break;
        number = number * 10 + (c - '0');
        if (number > INT_MAX) {
            number = INT_MAX;
            break;
        }
    }
    return static_cast<int>(negative ? -number : number);
}
