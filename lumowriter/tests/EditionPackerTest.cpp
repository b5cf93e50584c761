#include "lumowriter/EditionPacker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "EditionBytes.h"
#include "library/LXCard.h"

namespace {

TEST(EditionPacker, LaysOutHeaderTableAndEntries) {
    lumowriter::EditionLayout layout;
    layout.info = {{"Title", "Packed"}, {"Author", "Me"}, {"url", "ebook:packed"}};
    layout.contents.push_back({"page1.html", "<p>one</p>"});
    layout.packageXml = lumowriter::PackageXml("Packed", "Me & you");
    std::string bytes, error;
    ASSERT_TRUE(lumowriter::PackEdition(layout, bytes, error)) << error;

    EXPECT_EQ(Word(bytes, 0), lumowriter::kEditionMagic);
    EXPECT_EQ(bytes[4], 2);
    EXPECT_EQ(Word(bytes, 28), bytes.size());
    const size_t toc = Word(bytes, 24);
    ASSERT_EQ(Word(bytes, toc), 3u);
    const char* names[] = {"info", "page1.html", "package.opf"};
    const std::uint32_t flags[] = {lumowriter::kEntryInfo, lumowriter::kEntryContent,
                                   lumowriter::kEntryPackage};
    for (size_t i = 0; i < 3; ++i) {
        const size_t entry = toc + 4 + i * 44;
        EXPECT_EQ(std::string(bytes.c_str() + entry), names[i]);
        EXPECT_EQ(Word(bytes, entry + 40), flags[i]);
        EXPECT_LE(Word(bytes, entry + 36) + Word(bytes, entry + 32), bytes.size());
    }
    const size_t package = toc + 4 + 2 * 44;
    EXPECT_NE(
        bytes.substr(Word(bytes, package + 36), Word(bytes, package + 32)).find("Me &amp; you"),
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
