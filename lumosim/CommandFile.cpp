#include "lumosim/CommandFile.h"

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "lumosim/Flash.h"
#include "lumosim/FontInfo.h"
#include "lumosim/ReaderSettings.h"

namespace lumosim {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    while (!line.empty()) {
        const auto start = line.find_first_not_of(' ');
        if (start == std::string_view::npos) break;
        line.remove_prefix(start);
        const auto end = line.find(' ');
        words.push_back(line.substr(0, end));
        line.remove_prefix(end == std::string_view::npos ? line.size() : end);
    }
    return words;
}

bool Number(std::string_view word, int low, int high, int& value) {
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    return result.ec == std::errc{} && result.ptr == word.data() + word.size() && value >= low &&
           value <= high;
}

bool Numbers(const std::vector<std::string_view>& words,
             std::initializer_list<std::pair<int, int>> ranges, std::vector<int>& values) {
    if (words.size() != ranges.size() + 1) return false;
    values.clear();
    std::size_t i = 1;
    for (const auto& [low, high] : ranges) {
        int value = 0;
        if (!Number(words[i++], low, high, value)) return false;
        values.push_back(value);
    }
    return true;
}

// "SETDATEFORM 1 /": the separator is the one character after the number, and may be a space.
bool FormatAndSeparator(std::string_view line, int& format, char& separator) {
    const auto words = Words(line);
    if (words.size() < 2 || !Number(words[1], 0, 9, format)) return false;
    const std::size_t at =
        static_cast<std::size_t>(words[1].data() - line.data()) + words[1].size() + 1;
    if (line.size() != at + 1) return false;
    separator = line[at];
    return separator != '"' && separator != '=';
}

class CommandRunner {
public:
    CommandRunner(ReaderSettings& settings, Flash& flash) : settings_(settings), flash_(flash) {}

    CommandError Run(std::string_view line, CommandOutcome& outcome) {
        const auto words = Words(line);
        if (words.empty()) return kCommandOk;  // blank or filler line
        const std::string_view command = words[0];
        std::vector<int> v;
        if (command == "SETDATE") {
            if (!Numbers(words, {{1, 31}, {1, 12}, {1970, 2099}}, v)) return kBadArguments;
            settings_.clock.SetDate(v[0], v[1], v[2]);
        } else if (command == "SETTIME") {
            if (!Numbers(words, {{0, 23}, {0, 59}, {0, 59}}, v)) return kBadArguments;
            settings_.clock.SetTime(v[0], v[1], v[2]);
        } else if (command == "SETDATEFORM") {
            if (!FormatAndSeparator(line, settings_.dateFormat, settings_.dateSeparator))
                return kBadArguments;
        } else if (command == "SETTIMEFORM") {
            if (!FormatAndSeparator(line, settings_.timeFormat, settings_.timeSeparator))
                return kBadArguments;
        } else if (command == "SETTZONE") {
            if (!Numbers(words, {{-12, 14}}, v)) return kBadArguments;
            settings_.timeZone = v[0];
        } else if (command == "SETAUTO") {
            if (!Numbers(words, {{0, 24 * 3600}}, v)) return kBadArguments;
            settings_.autoOffSeconds = v[0];
        } else if (command == "REPAG" || command == "DONTREPAG") {
            if (words.size() != 1) return kBadArguments;
            settings_.repaginate = command == "REPAG";
        } else if (command == "SETLARGE" || command == "SETSMALL") {
            if (words.size() != 5) return kBadArguments;
            return SetFont(command == "SETLARGE", std::string(words[1]));
        } else if (command == "FERASE") {
            if (words.size() != 2) return kBadArguments;
            EraseFile(std::string(words[1]));
        } else if (command == "INITDIR") {
            if (words.size() != 2) return kBadArguments;
            if (words[1] != settings_.identifier) return kWrongIdentifier;
            flash_.EraseAll();
            settings_.largeFont = BuiltInFont(true);
            settings_.smallFont = BuiltInFont(false);
            ++settings_.syncCount;
        } else if (command == "RESET") {
            outcome.restart = true;
        } else {
            return kUnknownCommand;
        }
        return kCommandOk;
    }

private:
    CommandError SetFont(bool large, const std::string& regular) {
        ReaderFont& font = large ? settings_.largeFont : settings_.smallFont;
        if (regular.rfind("SYSTEM_", 0) == 0) {
            font = BuiltInFont(large);
            return kCommandOk;
        }
        const auto stored = flash_.Find(regular);
        const auto bytes = stored ? flash_.Read(*stored) : std::nullopt;
        const auto user = bytes ? ReadUserFont(*bytes, *stored) : std::nullopt;
        if (!user) return kFontFileMissing;
        font = *user;
        return kCommandOk;
    }

    void EraseFile(const std::string& name) {
        const auto stored = flash_.Find(name);
        if (!stored || !flash_.Erase(*stored)) return;
        ++settings_.syncCount;
        if (settings_.largeFont.file == *stored) settings_.largeFont = BuiltInFont(true);
        if (settings_.smallFont.file == *stored) settings_.smallFont = BuiltInFont(false);
    }

    ReaderSettings& settings_;
    Flash& flash_;
};

}  // namespace

CommandOutcome ApplyCommandFile(std::span<const uint8_t> file, ReaderSettings& settings,
                                Flash& flash) {
    std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    CommandOutcome outcome;
    CommandRunner runner(settings, flash);
    CommandError first = kCommandOk;
    bool header = true;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (header) {
            if (line != "CMD!") {
                settings.lastError = kNotACommandFile;
                return outcome;
            }
            header = false;
            continue;
        }
        const CommandError error = runner.Run(line, outcome);
        if (first == kCommandOk) first = error;
    }
    settings.lastError = header ? kNotACommandFile : first;
    return outcome;
}

}  // namespace lumosim
