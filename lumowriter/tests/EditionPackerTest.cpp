#include "lumowriter/EditionPacker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "library/LXCard.h"

namespace {

std::uint32_t word(const std::string& bytes, size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

TEST(EditionPacker, LaysOutHeaderTableAndEntries) {
    lumowriter::EditionLayout layout;
    layout.info = {{"Title", "Packed"}, {"Author", "Me"}, {"url", "ebook:packed"}};
    layout.contents.push_back({"page1.html", "<p>one</p>"});
    layout.packageXml = lumowriter::PackageXml("Packed", "Me & you");
    std::string bytes, error;
    ASSERT_TRUE(lumowriter::PackEdition(layout, bytes, error)) << error;

    EXPECT_EQ(word(bytes, 0), lumowriter::kEditionMagic);
    EXPECT_EQ(bytes[4], 2);
    EXPECT_EQ(word(bytes, 28), bytes.size());
    const size_t toc = word(bytes, 24);
    ASSERT_EQ(word(bytes, toc), 3u);
    const char* names[] = {"info", "page1.html", "package.opf"};
    const std::uint32_t flags[] = {lumowriter::kEntryInfo, lumowriter::kEntryContent,
                                   lumowriter::kEntryPackage};
    for (size_t i = 0; i < 3; ++i) {
        const size_t entry = toc + 4 + i * 44;
        EXPECT_EQ(std::string(bytes.c_str() + entry), names[i]);
        EXPECT_EQ(word(bytes, entry + 40), flags[i]);
        EXPECT_LE(word(bytes, entry + 36) + word(bytes, entry + 32), bytes.size());
    }
    const size_t package = toc + 4 + 2 * 44;
    EXPECT_NE(
        bytes.substr(word(bytes, package + 36), word(bytes, package + 32)).find("Me &amp; you"),
        std::string::npos);

    const std::string path =
        (std::filesystem::temp_directory_path() / ("packer-" + std::to_string(::getpid()) + ".lx"))
            .string();
    ASSERT_TRUE(lumowriter::WriteEdition(layout, path, error));
    CLXCard card;
    EXPECT_EQ(card.ReadFromEdition(path), 0);
    EXPECT_EQ(card.title, "Packed");
    EXPECT_EQ(card.url, "ebook:packed");
    std::filesystem::remove(path);
}

TEST(EditionPacker, RefusesWhatCannotBeLaidOut) {
    std::string bytes, error;
    lumowriter::EditionLayout longName;
    longName.contents.push_back({std::string(32, 'n'), "x"});
    EXPECT_FALSE(lumowriter::PackEdition(longName, bytes, error));
    lumowriter::EditionLayout lineBreak;
    lineBreak.info = {{"Title", "two\nlines"}};
    EXPECT_FALSE(lumowriter::PackEdition(lineBreak, bytes, error));
}

}  // namespace
