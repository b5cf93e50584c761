#include "library/StringTable.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "library/FileUtil.h"
#include "library/ProfileReader.h"

namespace {

std::string unescape(const std::string& text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        char next = text[++i];
        switch (next) {
            case 'n':
                plain += '\n';
                break;
            case 'r':
                plain += '\r';
                break;
            case 't':
                plain += '\t';
                break;
            default:
                plain += next;
                break;
        }
    }
    return plain;
}

void fillBuiltIn(std::map<unsigned, std::string>& texts) {
    texts.clear();
    for (const auto& [id, text] : BuiltInStrings()) texts.emplace(id, text);
}

}  // namespace

CLXStringTable& CLXStringTable::Instance() {
    static CLXStringTable table;
    return table;
}

CLXStringTable::CLXStringTable() { fillBuiltIn(texts_); }

bool CLXStringTable::Load(unsigned id, std::string& out) const {
    std::lock_guard lock(mutex_);
    auto found = texts_.find(id);
    if (found == texts_.end()) return false;
    out = found->second;
    return true;
}

std::string CLXStringTable::Text(unsigned id) const {
    std::string text;
    Load(id, text);
    return text;
}

bool CLXStringTable::LoadOverrides(const std::string& dataFolder, const std::string& languageCode) {
    auto path = std::filesystem::path(dataFolder) / ("strings_" + languageCode + ".ini");
    auto bytes = lumo::ReadWholeFile(path.string(), 4u << 20);
    if (!bytes) return false;
    CLXProfileReader reader(*bytes);
    std::lock_guard lock(mutex_);
    for (auto& [id, text] : texts_) {
        if (auto replacement = reader.Find("Strings", std::to_string(id)))
            text = unescape(*replacement);
    }
    return true;
}

void CLXStringTable::ClearOverrides() {
    std::lock_guard lock(mutex_);
    fillBuiltIn(texts_);
}

std::string LXString(unsigned id) { return CLXStringTable::Instance().Text(id); }

std::string MessageText(unsigned id) {
    std::string text;
    if (CLXStringTable::Instance().Load(id, text) || CLXStringTable::Instance().Load(1003, text))
        return text;
    return "ERROR: UNKNOWN : Unable to load error string";
}

std::string CurrentLanguageCode() {
    const char* locale = std::setlocale(LC_MESSAGES, nullptr);
    std::string name = locale ? locale : "";
    if (name.empty() || name == "C" || name == "POSIX") {
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(variable);
            if (value && *value) {
                name = value;
                break;
            }
        }
    }
    std::string code = lumo::ToLower(name.substr(0, name.find_first_of("_.@")));
    if (code.empty() || code == "c" || code == "posix") return "en";
    return code;
}
