#include <gtest/gtest.h>

#include "library/Archive.h"
#include "library/LXCard.h"

namespace {

CLXCard FullCard() {
    CLXCard card;
    card.title = "T";
    card.isbn = "I";
    card.author = "A";
    card.genre = "G";
    card.storedPath = "/books/t.lx";
    card.sourcePath = "/in/t.lx";
    card.presence = 1;
    card.lastError = 2;
    card.fileSize = 1234;
    card.onReader = 1;
    card.reserved4 = 9;
    card.altMagic = 1;
    card.username = "u";
    card.url = "ebook:t";
    card.version = "v";
    card.pubName = "p";
    card.periodicalName = "pn";
    card.periodicalId = "pid";
    card.type = CARD_PERIODICAL;
    card.extraFlag = true;
    card.categories = {"NEWCATID", "guid-ABC"};
    CLXMarkup markup;
    markup.SetFromPath("/books/t.la");
    markup.SetTitleOwner("u");
    markup.SetReaderId("R1");
    card.markups.push_back(markup);
    return card;
}

CLXCard RoundTrip(CLXCard card) {
    CLXArchiveWriter writer;
    card.Store(writer);
    CLXArchiveReader reader(writer.Bytes());
    CLXCard loaded;
    loaded.Load(reader);
    EXPECT_TRUE(reader.AtEnd());
    return loaded;
}

TEST(CardRecord, CurrentSchemaKeepsEveryStoredField) {
    const CLXCard card = FullCard();
    CLXCard loaded = RoundTrip(card);
    EXPECT_EQ(loaded.onReader, 0u);  // never survives a read
    loaded.onReader = card.onReader;
    for (auto [a, b] : {std::pair{&loaded.title, &card.title},
                        {&loaded.isbn, &card.isbn},
                        {&loaded.author, &card.author},
                        {&loaded.genre, &card.genre},
                        {&loaded.storedPath, &card.storedPath},
                        {&loaded.sourcePath, &card.sourcePath},
                        {&loaded.username, &card.username},
                        {&loaded.url, &card.url},
                        {&loaded.version, &card.version},
                        {&loaded.pubName, &card.pubName},
                        {&loaded.periodicalName, &card.periodicalName},
                        {&loaded.periodicalId, &card.periodicalId},
                        {&loaded.schema, &card.schema}})
        EXPECT_EQ(*a, *b);
    EXPECT_EQ(loaded.presence, 1u);
    EXPECT_EQ(loaded.lastError, 2u);
    EXPECT_EQ(loaded.fileSize, 1234u);
    EXPECT_EQ(loaded.reserved4, 9u);
    EXPECT_EQ(loaded.altMagic, 1u);
    EXPECT_EQ(loaded.type, CARD_PERIODICAL);
    EXPECT_TRUE(loaded.extraFlag);
    EXPECT_EQ(loaded.categories, card.categories);
    ASSERT_EQ(loaded.markups.size(), 1u);
    EXPECT_EQ(loaded.markups[0].path, "/books/t.la");
    EXPECT_EQ(loaded.markups[0].kind, CLXMarkup::Annotation);
    EXPECT_EQ(loaded.markups[0].readerId, "R1");
    EXPECT_EQ(loaded.markups[0].titleOwner, "u");
}

TEST(CardRecord, GenreNotAvailableIsStoredEmpty) {
    CLXCard card = FullCard();
    card.genre = "NOT available";
    EXPECT_EQ(RoundTrip(card).genre, "");
}

// Writes the leading fields every schema shares, then whatever a schema adds.
std::string OldRecord(const char* schema, std::function<void(CLXArchiveWriter&)> rest) {
    CLXArchiveWriter w;
    for (const char* text : {schema, "Old", "55", "Au", "", "", "", "Poetry", "/b/o.lx", "/s/o.lx"})
        w.WriteString(text);
    for (std::uint32_t n : {1u, 0u, 77u, 1u, 0u, 0u}) w.WriteU32(n);
    rest(w);
    return w.TakeBytes();
}

TEST(CardRecord, OldSchemasUpgradeStepByStep) {
    struct Case {
        const char* schema;
        std::function<void(CLXArchiveWriter&)> rest;
        const char* username;
        const char* url;
        const char* version;
        std::int32_t type;
        size_t categories;
    } cases[] = {
        {"1.0", [](CLXArchiveWriter&) {}, "Not Available", "ebook:adhoc-55", "Not Available", 1, 0},
        {"2.0", [](CLXArchiveWriter& w) { w.WriteString("owner"); }, "owner", "ebook:adhoc-55",
         "Not Available", 1, 0},
        {"5.0",
         [](CLXArchiveWriter& w) {
             for (const char* t : {"owner", "", "v5", "pub"}) w.WriteString(t);
         },
         "owner", "ebook:adhoc-55", "v5", 1, 0},
        {"7.0",
         [](CLXArchiveWriter& w) {
             for (const char* t : {"owner", "ebook:x", "v7", "pub", "pn"}) w.WriteString(t);
             w.WriteU32(3);
             w.WriteU32(5);
             w.WriteCount(0);
             w.WriteString("PID");
         },
         "owner", "ebook:x", "v7", 3, 0},
    };
    for (const Case& c : cases) {
        const std::string bytes = OldRecord(c.schema, c.rest);
        CLXArchiveReader reader(bytes);
        CLXCard card;
        ASSERT_NO_THROW(card.Load(reader)) << c.schema;
        EXPECT_TRUE(reader.AtEnd()) << c.schema;
        EXPECT_EQ(card.schema, "8.0") << c.schema;
        EXPECT_EQ(card.username, c.username) << c.schema;
        EXPECT_EQ(card.url, c.url) << c.schema;
        EXPECT_EQ(card.version, c.version) << c.schema;
        EXPECT_EQ(card.type, c.type) << c.schema;
        EXPECT_EQ(card.categories.size(), c.categories) << c.schema;
        EXPECT_EQ(card.onReader, 0u);
        // Written again it is a full current record.
        EXPECT_EQ(RoundTrip(card).username, c.username);
    }
}

TEST(CardRecord, DamagedRecordsAreRefused) {
    CLXCard card = FullCard();
    CLXArchiveWriter writer;
    card.Store(writer);
    const std::string& bytes = writer.Bytes();
    for (size_t cut : {size_t{0}, size_t{3}, bytes.size() / 2, bytes.size() - 1}) {
        CLXArchiveReader reader(std::string_view(bytes).substr(0, cut));
        CLXCard loaded;
        EXPECT_THROW(loaded.Load(reader), CLXArchiveError) << cut;
    }
    const std::string newer = OldRecord("9.0", [](CLXArchiveWriter&) {});
    CLXArchiveReader reader(newer);
    CLXCard loaded;
    EXPECT_THROW(loaded.Load(reader), CLXArchiveError);
}

TEST(Archive, StringAndCountEncodings) {
    struct Case {
        size_t length;
        size_t prefix;
    } cases[] = {{0, 1}, {254, 1}, {255, 3}, {0xFFFD, 3}, {0xFFFE, 7}, {70000, 7}};
    for (const Case& c : cases) {
        CLXArchiveWriter writer;
        writer.WriteString(std::string(c.length, 'x'));
        EXPECT_EQ(writer.Bytes().size(), c.length + c.prefix) << c.length;
        CLXArchiveReader reader(writer.Bytes());
        EXPECT_EQ(reader.ReadString().size(), c.length);
    }
    CLXArchiveWriter counts;
    counts.WriteCount(0xFFFE);
    counts.WriteCount(0xFFFF);
    EXPECT_EQ(counts.Bytes().size(), 2u + 6u);
    CLXArchiveReader reader(counts.Bytes());
    EXPECT_EQ(reader.ReadCount(), 0xFFFEu);
    EXPECT_EQ(reader.ReadCount(), 0xFFFFu);
    // A string length far beyond the bytes fails without allocating it.
    const std::string huge("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7);
    CLXArchiveReader hugeReader(huge);
    EXPECT_THROW(hugeReader.ReadString(), CLXArchiveError);
}

}  // namespace
