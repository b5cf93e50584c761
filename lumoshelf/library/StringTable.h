#pragma once

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The numbered user-visible texts. The built-in English texts can be replaced, entry by entry,
// by a "strings_<lang>.ini" file: section "Strings", one "number=text" line per entry, where
// "\n", "\r", "\t" and "\\" in a text stand for a line feed, carriage return, tab and backslash.
class CLXStringTable {
public:
    static CLXStringTable& Instance();

    // The text of an entry; false when the table has none.
    bool Load(unsigned id, std::string& out) const;
    // The text of an entry, empty when the table has none.
    std::string Text(unsigned id) const;

    // Reads dataFolder/strings_<languageCode>.ini when it exists; true when it was read.
    bool LoadOverrides(const std::string& dataFolder, const std::string& languageCode);
    // Back to the built-in texts.
    void ClearOverrides();

private:
    CLXStringTable();
    mutable std::mutex mutex_;
    std::map<unsigned, std::string> texts_;
};

// Shorthand for CLXStringTable::Instance().Text(id).
std::string LXString(unsigned id);

// The text a message box shows for an entry: the entry, else string 1003, else
// "ERROR: UNKNOWN : Unable to load error string".
std::string MessageText(unsigned id);

// The user's POSIX language code ("en", "de", ...) from the locale, "en" when none is set.
std::string CurrentLanguageCode();

// The built-in texts.
const std::vector<std::pair<unsigned, const char*>>& BuiltInStrings();
