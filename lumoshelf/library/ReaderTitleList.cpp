#include "library/ReaderTitleList.h"

#include <algorithm>
#include <cctype>

#include "library/FileUtil.h"
#include "library/LXMarkup.h"

namespace {

constexpr int kFormatError = 1000;
constexpr int kNotFound = 1001;
constexpr int kInternalError = 1028;
constexpr int kTempFileError = 11;

bool isKeyCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

}  // namespace

int ConvertReaderTitleList(const std::string& path) {
    auto fetched = lumo::ReadWholeFile(path, 256u << 20);
    if (!fetched) return kTempFileError;
    std::string converted = "[LumoBook]\r\n";
    converted.reserve(fetched->size() + converted.size());
    if (!fetched->empty()) fetched->pop_back();
    for (char c : *fetched)
        if (c != '\r') converted += c;
    return lumo::WriteFileAtomically(path, converted) ? 0 : kTempFileError;
}

int CLXReaderTitleList::Load(const std::string& path) {
    auto text = lumo::ReadWholeFile(path, 256u << 20);
    if (!text) return kTempFileError;
    LoadFromText(*text);
    return 0;
}

void CLXReaderTitleList::LoadFromText(const std::string& text) { reader_ = CLXProfileReader(text); }

int CLXReaderTitleList::Count(int& count) const {
    count = reader_.GetInt("LumoBook", "TITLECOUNT", -1);
    if (count == -1) {
        count = 0;
        return kNotFound;
    }
    // The list cannot hold more titles than it has lines; a count beyond them would only walk
    // through missing titles.
    count = static_cast<int>(
        std::min<size_t>(static_cast<size_t>(std::max(count, 0)), reader_.KeyCount("LumoBook")));
    return 0;
}

int CLXReaderTitleList::titleLine(int index, std::string& line) const {
    int count = 0;
    if (int error = Count(count)) return error;
    if (index < 0 || index >= count) return kInternalError;
    // Read whole: a fixed line buffer would cut long lines and lose their last fields.
    line = reader_.GetString("LumoBook", "Title" + std::to_string(index));
    return line.empty() ? kNotFound : 0;
}

int CLXReaderTitleList::Field(int index, const std::string& key, std::string& value) const {
    std::string line;
    if (int error = titleLine(index, line)) return error;
    const std::string pattern = key + "=";
    size_t at = line.find(pattern);
    // A key inside a longer key ("subtitle=" for "title") is not the key.
    while (at != std::string::npos && at > 0 && isKeyCharacter(line[at - 1]))
        at = line.find(pattern, at + 1);
    if (at == std::string::npos) return kFormatError;
    size_t open = line.find('"', at + pattern.size());
    if (open == std::string::npos) return kFormatError;
    size_t close = line.find('"', open + 1);
    if (close == std::string::npos) return kFormatError;
    value = line.substr(open + 1, close - open - 1);
    return 0;
}

bool CLXReaderTitleList::HasMarkupKind(int index, std::uint32_t kind) const {
    static const char* const keys[] = {"", "LA", "LH", "LN"};
    if (kind < CLXMarkup::Annotation || kind > CLXMarkup::Note) return false;
    std::string value;
    if (Field(index, keys[kind], value) != 0) return false;
    return value.empty() || value.front() != 'n';
}
