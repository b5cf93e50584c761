#include "ui/Language.h"

#include <gtest/gtest.h>

TEST(Language, PosixLanguageCodeFromLocaleName) {
    const std::pair<const char*, const char*> cases[] = {
        {"de_DE.UTF-8", "de"}, {"fr_FR@euro", "fr"}, {"pt_BR", "pt"}, {"sv.UTF-8", "sv"},
        {"C", "en"},           {"C.UTF-8", "en"},    {"POSIX", "en"}, {"", "en"},
    };
    for (const auto& [name, language] : cases)
        EXPECT_EQ(languageFromLocaleName(name), language) << name;
}
