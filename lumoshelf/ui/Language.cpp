#include "Language.h"

#include <clocale>

std::string languageFromLocaleName(const std::string& localeName) {
    const std::string language = localeName.substr(0, localeName.find_first_of("_.@"));
    if (language.empty() || language == "C" || language == "POSIX") return "en";
    return language;
}

std::string applyUserLocale() {
    std::setlocale(LC_ALL, "");
    const char* messages = std::setlocale(LC_MESSAGES, nullptr);
    return languageFromLocaleName(messages ? messages : "");
}
