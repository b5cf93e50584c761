#pragma once

#include <string>

// The user's language as a POSIX code ("de", "fr"), from a locale name such as "de_DE.UTF-8"
// or "fr_FR@euro". The C and POSIX locales, and an empty name, give "en".
std::string languageFromLocaleName(const std::string& localeName);

// Switches the C library to the user's locale (all categories) and returns the language of its
// message category, which picks the strings_<lang>.ini file of the string table.
std::string applyUserLocale();
