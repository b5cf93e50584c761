#include <gtest/gtest.h>

#include "TempFolder.h"
#include "library/LXCard.h"
#include "library/LXMarkup.h"

namespace {

TEST(Markup, KindFollowsTheExtension) {
    struct Case {
        const char* path;
        int result;
        std::uint32_t kind;
    } cases[] = {{"/b/Book.la", 0, CLXMarkup::Annotation}, {"/b/Book.LH", 0, CLXMarkup::Highlight},
                 {"/b/Book.LN", 0, CLXMarkup::Note},       {"", 0, CLXMarkup::None},
                 {"/b/Book.lx", 1028, CLXMarkup::None},    {"/b/la", 1028, CLXMarkup::None}};
    for (const Case& c : cases) {
        CLXMarkup markup;
        EXPECT_EQ(markup.SetFromPath(c.path), c.result) << c.path;
        EXPECT_EQ(markup.kind, c.kind) << c.path;
    }
    CLXMarkup markup;
    EXPECT_EQ(markup.SetPathAndKind("/x.la", 4), 1028);
    CLXMarkup other;
    markup.SetFromPath("/b/Book.la");
    other.SetFromPath("/b/BOOK.la");
    EXPECT_FALSE(markup.Equals(other));
}

TEST(Markup, AttachesOnlyToItsOwnEditionAndOnlyOnce) {
    CLXCard card;
    card.storedPath = "/books/alice/Tale-1.lx";
    CLXMarkup mine, again, foreign;
    mine.SetFromPath("/books/R1/tale-1.ln");
    again.SetFromPath("/books/R1/tale-1.ln");
    foreign.SetFromPath("/books/R1/other.ln");
    bool changed = false;
    card.AttachMarkup(mine, changed);
    EXPECT_TRUE(changed);
    card.AttachMarkup(again, changed);
    EXPECT_FALSE(changed);
    card.AttachMarkup(foreign, changed);
    EXPECT_FALSE(changed);
    ASSERT_EQ(card.markups.size(), 1u);
    CLXMarkup got;
    EXPECT_EQ(card.GetMarkup(0, got), 0);
    EXPECT_EQ(got.path, "/books/R1/tale-1.ln");
    EXPECT_EQ(card.GetMarkup(1, got), 1028);
}

TEST(Markup, RemovingMarkupsWhoseFilesAreGone) {
    TempFolder folder;
    CLXCard card;
    card.storedPath = folder / "book.lx";
    for (const std::string& path :
         {folder / "book.la", folder / "book.lh", std::string("/proc/self/status")}) {
        CLXMarkup markup;
        markup.SetPathAndKind(path, CLXMarkup::Note);
        card.markups.push_back(markup);
    }
    WriteTextFile(folder / "book.lh", "highlights");  // book.la is already gone

    EXPECT_EQ(card.RemoveAllMarkups(), 1003);
    ASSERT_EQ(card.markups.size(), 1u);  // only the file that could not be deleted stays
    EXPECT_EQ(card.markups[0].path, "/proc/self/status");
    EXPECT_EQ(card.markups[0].kind, CLXMarkup::Note);
    EXPECT_FALSE(std::filesystem::exists(folder / "book.lh"));
}

}  // namespace
