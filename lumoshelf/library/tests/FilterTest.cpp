#include "library/LXFilter.h"

#include <gtest/gtest.h>

#include "library/Archive.h"
#include "library/LXCard.h"
#include "library/LXCategory.h"

namespace {

CLXCard Card(const char* author, const char* title = "", std::vector<std::string> categories = {}) {
    CLXCard card;
    card.author = author;
    card.title = title;
    card.username = "[none]";
    card.categories = std::move(categories);
    return card;
}

TEST(Filter, MatchingRules) {
    CLXFilter none;
    CLXFilter all;
    all.categories = {kAllCategoryId};
    CLXFilter smithKeyword;
    smithKeyword.SetKeyword("smith");
    CLXFilter smithAuthor;
    smithAuthor.SetAuthor("smith");
    CLXFilter johnAuthor;
    johnAuthor.SetAuthor("JOHN SMITH");
    CLXFilter lowerCategory;
    lowerCategory.categories = {"guid-abc"};
    CLXFilter onReader;
    onReader.onReaderOnly = true;
    CLXFilter markups;
    markups.withMarkupsOnly = true;
    CLXFilter owner;
    owner.SetUsername("[NONE]");

    CLXCard smith = Card("John Smith", "Tale", {"GUID-ABC"});
    CLXCard bare;
    CLXCard withMarkup = Card("x");
    withMarkup.markups.emplace_back();
    CLXCard uncategorised = Card("Jane");

    struct Case {
        const char* name;
        const CLXFilter& filter;
        const CLXCard& card;
        bool passes;
    } cases[] = {
        {"new filter", none, bare, true},
        {"ALLCATID passes cards without categories", all, uncategorised, true},
        {"keyword inside the author", smithKeyword, smith, true},
        {"author must be whole", smithAuthor, smith, false},
        {"author ignores case", johnAuthor, smith, true},
        {"keyword on a card without texts", smithKeyword, bare, true},
        {"keyword misses", smithKeyword, uncategorised, false},
        {"category ignores case", lowerCategory, smith, true},
        {"category missing", lowerCategory, uncategorised, false},
        {"on reader only", onReader, smith, false},
        {"markups only, none", markups, smith, false},
        {"markups only, one", markups, withMarkup, true},
        {"owner ignores case", owner, smith, true},
        {"owner differs", owner, bare, false},
    };
    for (const Case& c : cases) {
        bool passes = !c.passes;
        EXPECT_EQ(c.filter.Match(c.card, passes), 0);
        EXPECT_EQ(passes, c.passes) << c.name;
    }
}

TEST(Filter, SettersGettersAndRecord) {
    CLXFilter filter;
    filter.SetAuthor("a");
    filter.AddAuthor("b");
    filter.SetAuthor("");
    EXPECT_TRUE(filter.authors.empty());
    CLXCategory category;
    category.InitCategory(std::string("c"), 0, std::string("guid-1"), false);
    filter.SetCategory(category);
    filter.AddKeyword("k");
    filter.AddUsername("u");
    filter.onReaderOnly = true;
    std::string text;
    EXPECT_EQ(filter.GetCategory(0, text), 0);
    EXPECT_EQ(text, "guid-1");
    EXPECT_EQ(filter.GetKeyword(1, text), 1028);
    EXPECT_EQ(filter.GetAuthor(-1, text), 1028);

    CLXArchiveWriter writer;
    filter.Store(writer);
    CLXArchiveReader reader(writer.Bytes());
    CLXFilter loaded;
    loaded.Load(reader);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_TRUE(loaded.onReaderOnly);
    EXPECT_FALSE(loaded.withMarkupsOnly);
    EXPECT_EQ(loaded.categories, filter.categories);
    EXPECT_EQ(loaded.keywords, filter.keywords);
    EXPECT_EQ(loaded.usernames, filter.usernames);
}

}  // namespace
