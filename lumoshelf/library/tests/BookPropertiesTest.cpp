#include "library/LXBookProperties.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "library/LXCard.h"

namespace {

TEST(BookProperties, SizeTexts) {
    struct Case {
        std::uint32_t size;
        const char* text;
    } cases[] = {{0, "0 Bytes"},
                 {1023, "1023 Bytes"},
                 {1024, "1 KBytes"},
                 {1536, "1 KBytes"},
                 {5 * 1024 * 1024, "5120 KBytes"}};
    for (const Case& c : cases) EXPECT_EQ(FileSizeText(c.size), c.text) << c.size;
}

TEST(BookProperties, FilledFromAPresentCard) {
    TempFolder folder;
    WriteTextFile(folder / "t.lx", "edition");
    CLXCard card;
    card.title = "T";
    card.author = "A";
    card.isbn = "I";
    card.pubName = "P";
    card.genre = "G";
    card.version = "V";
    card.fileSize = 2048;
    card.storedPath = folder / "t.lx";
    CLXMarkup note, highlight;
    note.SetFromPath(folder / "t.ln");
    highlight.SetFromPath(folder / "t.lh");
    card.markups = {note, highlight};

    CLXBookProperties page;
    ASSERT_EQ(page.FillFromCard(card), 0);
    EXPECT_EQ(page.title, "T");
    EXPECT_EQ(page.publisher, "P");
    EXPECT_EQ(page.location, folder / "t.lx");
    EXPECT_EQ(page.size, "2 KBytes");
    EXPECT_TRUE(page.notes);
    EXPECT_TRUE(page.highlights);
    EXPECT_FALSE(page.annotations);
    EXPECT_NE(page.modified, "Not Available");
    EXPECT_NE(page.accessed.find(", "), std::string::npos);
    EXPECT_FALSE(page.created.empty());  // a birth time where the file system keeps one
}

TEST(BookProperties, MissingFileShowsNotPresentOnceAndNotAvailableThrice) {
    CLXCard card;
    card.storedPath = "/nonexistent/t.lx";
    CLXBookProperties page;
    ASSERT_EQ(page.FillFromCard(card), 0);
    EXPECT_EQ(page.location, "Not Present");
    EXPECT_EQ(page.created, "Not Available");
    EXPECT_EQ(page.modified, "Not Available");
    EXPECT_EQ(page.accessed, "Not Available");
}

}  // namespace
