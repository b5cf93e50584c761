#include <gtest/gtest.h>

#include "TempFolder.h"
#include "library/LXCard.h"
#include "library/ReaderTitleList.h"
#include "library/SettingsStore.h"

namespace {

class ReaderTitles : public ::testing::Test {
protected:
    void SetUp() override { settings.WriteString("/books", "Data Locations", "BookDir"); }
    // The list as the reader sends it (CR LF lines and one trailing byte), converted once.
    CLXReaderTitleList Converted(const std::string& fetched) {
        WriteTextFile(folder / "__TITLES", fetched);
        EXPECT_EQ(ConvertReaderTitleList(folder / "__TITLES"), 0);
        CLXReaderTitleList list;
        EXPECT_EQ(list.Load(folder / "__TITLES"), 0);
        return list;
    }
    TempFolder folder;
    CLXSettingsStore settings{folder / "settings.ini"};
};

const char* const kFetched =
    "TITLECOUNT=3\r\n"
    "Title0=filename=\"tale-1.lx\" title=\"A Tale\" size=\"5120\" publisher=\"P\" "
    "author=\"Jane\" url=\"ebook:tale/1\" username=\"alice\" LA=\"y\" LH=\"n\" LN=\"\"\r\n"
    "Title1=filename=\"adhoc-9.lx\" title=\"\" size=\"1\" publisher=\"\" author=\"\" url=\"\" "
    "username=\"\" PERIODICAL_ID=\"D1\" PERIODICAL_NAME=\"Daily\"\r\n"
    "Title2=filename=\"..\\..\\evil.lx\" title=\"E\" size=\"1\" publisher=\"\" author=\"\" "
    "url=\"\" username=\"../a:b\"\r\n"
    "\x1A";

TEST_F(ReaderTitles, CardsFromTheList) {
    CLXReaderTitleList list = Converted(kFetched);
    int count = 0;
    ASSERT_EQ(list.Count(count), 0);
    EXPECT_EQ(count, 3);

    CLXCard first;
    ASSERT_EQ(first.FromReaderTitle(list, 0, settings), 0);
    EXPECT_EQ(first.storedPath, "/books/alice/tale-1.lx");
    EXPECT_EQ(first.title, "A Tale");
    EXPECT_EQ(first.fileSize, 5120u);
    EXPECT_EQ(first.url, "ebook:tale/1");
    EXPECT_EQ(first.type, CARD_EDITION);
    EXPECT_TRUE(list.HasMarkupKind(0, CLXMarkup::Annotation));
    EXPECT_FALSE(list.HasMarkupKind(0, CLXMarkup::Highlight));

    CLXCard second;
    ASSERT_EQ(second.FromReaderTitle(list, 1, settings), 0);
    EXPECT_EQ(second.username, "[none]");
    EXPECT_EQ(second.storedPath, "/books/[none]/adhoc-9.lx");
    EXPECT_EQ(second.url, "ebook:adhoc-9");
    EXPECT_EQ(second.type, CARD_PERIODICAL);
    EXPECT_EQ(second.periodicalName, "Daily");
    EXPECT_FALSE(list.HasMarkupKind(1, CLXMarkup::Note));

    CLXCard hostile;
    ASSERT_EQ(hostile.FromReaderTitle(list, 2, settings), 0);
    EXPECT_EQ(hostile.storedPath, "/books/..-a-b/evil.lx");
    EXPECT_EQ(hostile.url, "ebook:adhoc-..\\..\\evil");
}

TEST_F(ReaderTitles, LongTitleLinesAreReadWhole) {
    const std::string longTitle(2000, 'T');
    CLXReaderTitleList list;
    list.LoadFromText("[LumoBook]\nTITLECOUNT=1\nTitle0=title=\"" + longTitle +
                      "\" filename=\"l.lx\" size=\"1\" publisher=\"\" author=\"\" url=\"\" "
                      "username=\"u\"\n");
    CLXCard card;
    ASSERT_EQ(card.FromReaderTitle(list, 0, settings), 0);
    EXPECT_EQ(card.title, longTitle);
    EXPECT_EQ(card.username, "u");
}

TEST_F(ReaderTitles, AHugeTitleCountEndsWithTheLinesThatAreThere) {
    CLXReaderTitleList list;
    list.LoadFromText("[LumoBook]\nTITLECOUNT=2000000000\nTitle0=x\n");
    int count = 0;
    ASSERT_EQ(list.Count(count), 0);
    EXPECT_EQ(count, 2);
    CLXCard card;
    EXPECT_EQ(card.FromReaderTitle(list, 1, settings), CARD_ERR_LIST_NOT_FOUND);
    EXPECT_EQ(card.FromReaderTitle(list, 5, settings), CARD_ERR_INTERNAL);
}

TEST_F(ReaderTitles, ListErrors) {
    CLXReaderTitleList list;
    list.LoadFromText(
        "[LumoBook]\nTITLECOUNT=4\nTitle0=filename=\"a.lx\"\n"
        "Title1=username=\"u\" filename=\"a.lx\" title=\"open\n"
        "Title3=\n");
    CLXCard card;
    struct Case {
        int index;
        int error;
    } cases[] = {{0, CARD_ERR_LIST_FORMAT},    {1, CARD_ERR_LIST_FORMAT},
                 {2, CARD_ERR_LIST_NOT_FOUND}, {3, CARD_ERR_LIST_NOT_FOUND},
                 {4, CARD_ERR_INTERNAL},       {-1, CARD_ERR_INTERNAL}};
    for (const Case& c : cases)
        EXPECT_EQ(card.FromReaderTitle(list, c.index, settings), c.error) << c.index;
    CLXReaderTitleList noCount;
    noCount.LoadFromText("[LumoBook]\nTitle0=x\n");
    EXPECT_EQ(card.FromReaderTitle(noCount, 0, settings), CARD_ERR_LIST_NOT_FOUND);
}

TEST_F(ReaderTitles, ConversionHappensOnceAndCopesWithEmptyLists) {
    WriteTextFile(folder / "__TITLES", "");
    EXPECT_EQ(ConvertReaderTitleList(folder / "__TITLES"), 0);
    EXPECT_EQ(ReadTextFile(folder / "__TITLES"), "[LumoBook]\r\n");
    WriteTextFile(folder / "__TITLES", "\r\r\r");
    EXPECT_EQ(ConvertReaderTitleList(folder / "__TITLES"), 0);
    EXPECT_EQ(ReadTextFile(folder / "__TITLES"), "[LumoBook]\r\n");
    EXPECT_EQ(ConvertReaderTitleList(folder / "missing"), CARD_ERR_TEMP_CREATE);

    // Reading the converted list any number of times gives the same cards.
    CLXReaderTitleList list = Converted(kFetched);
    for (int pass = 0; pass < 3; ++pass) {
        CLXCard card;
        ASSERT_EQ(card.FromReaderTitle(list, 2, settings), 0);
        EXPECT_EQ(card.title, "E");
    }
}

}  // namespace
