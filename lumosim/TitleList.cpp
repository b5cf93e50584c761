#include "lumosim/TitleList.h"

#include <strings.h>
#include <algorithm>
#include <string>

#include "lumosim/EditionInfo.h"
#include "lumosim/Flash.h"

namespace lumosim {
namespace {

// Keeps every title line within the 1024 characters that a reader of the list is allowed.
constexpr std::size_t kMaxValueLength = 100;

bool HasExtension(const std::string& name, const char* extension) {
    const std::size_t length = std::char_traits<char>::length(extension);
    return name.size() > length && strcasecmp(name.c_str() + name.size() - length, extension) == 0;
}

// A value goes between double quotes on one line, so neither may appear inside it.
std::string QuotedValue(std::string value) {
    if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
    std::replace(value.begin(), value.end(), '"', '\'');
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return '"' + value + '"';
}

std::string Field(const char* key, const std::string& value) {
    return std::string(key) + "=" + QuotedValue(value) + " ";
}

std::string MarkupFlag(const Flash& flash, const std::string& baseName, const char* extension) {
    return flash.Find(baseName + extension) ? "yes" : "no";
}

}  // namespace

std::vector<uint8_t> BuildTitleList(const Flash& flash) {
    std::string lines;
    int count = 0;
    for (const std::string& name : flash.ListNames()) {
        if (!HasExtension(name, ".lx")) continue;
        const auto bytes = flash.Read(name);
        const auto info = bytes ? ReadEditionInfo(*bytes) : std::nullopt;
        if (!info) continue;

        const std::string base = name.substr(0, name.size() - 3);
        // Short fields first: a field is found by the first "key=" in the line.
        std::string line = "Title" + std::to_string(count++) + "=";
        line += Field("filename", name);
        line += Field("size", std::to_string(bytes->size()));
        line += Field("LA", MarkupFlag(flash, base, ".la"));
        line += Field("LH", MarkupFlag(flash, base, ".lh"));
        line += Field("LN", MarkupFlag(flash, base, ".ln"));
        line += Field("title", info->title);
        line += Field("author", info->author);
        line += Field("publisher", info->publisher);
        line += Field("url", info->url);
        line += Field("username", info->username);
        line += Field("PERIODICAL_ID", info->periodicalId);
        line += Field("PERIODICAL_NAME", info->periodicalName);
        line.pop_back();
        lines += line + "\r\n";
    }

    const std::string text = "Version=1.0\r\nTITLECOUNT=" + std::to_string(count) + "\r\n" + lines;
    std::vector<uint8_t> list(text.begin(), text.end());
    list.push_back(0);  // the reader ends its text files with a NUL, which the host drops
    return list;
}

}  // namespace lumosim
