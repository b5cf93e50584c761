#include <gtest/gtest.h>

#include <algorithm>

#include "LibraryFixture.h"
#include "library/LibraryFile.h"
#include "library/ReaderTitleList.h"

namespace {

using Strings = std::vector<std::string>;

TEST_F(LibraryTest, MissingLibraryIsRebuiltFromTheBookDirectoryTree) {
    edition("lib/Books/alice/tale-1.lx", "Tale", "ebook:tale-1", "Fiction");
    edition("lib/Books/bob/poems.lx", "Poems", "ebook:poems", "Poetry", "bob");
    edition("lib/Books/bob/more.lx", "More", "ebook:more", "Poetry", "bob");
    WriteTextFile(folder / "lib/Books/R1/TALE-1.LA", "annotations");
    std::filesystem::create_directory_symlink(folder / "lib/Books", folder / "lib/Books/loop");

    CLXLibraryDoc doc(settings, ui, &sender);
    ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
    ASSERT_EQ(doc.GetCardCount(), 3);
    EXPECT_TRUE(std::filesystem::exists(libraryPath()));
    // Built-ins, then one category per genre; every card holds [genre, NEWCATID] once.
    ASSERT_EQ(doc.Categories().size(), 5u);
    int tale = doc.FindCard("ALICE", "EBOOK:TALE-1");
    ASSERT_GE(tale, 0);
    const CLXCard& card = doc.CardAt(tale);
    ASSERT_EQ(card.categories.size(), 2u);
    EXPECT_EQ(card.categories[1], kNewCategoryId);
    CLXCategoryListNode* fiction = nullptr;
    const std::string name = "Fiction";
    ASSERT_EQ(FindCategory(doc.Categories(), &name, nullptr, fiction), 0);
    EXPECT_EQ(card.categories[0], fiction->category.id);
    EXPECT_EQ(doc.CardAt(doc.FindCard("bob", "ebook:poems")).categories[0],
              doc.CardAt(doc.FindCard("bob", "ebook:more")).categories[0]);
    ASSERT_EQ(card.markups.size(), 1u);
    EXPECT_EQ(card.markups[0].kind, CLXMarkup::Annotation);

    // Rebuilding the categories again leaves no stale identifiers behind.
    doc.BuildCategoryList();
    EXPECT_EQ(doc.CardAt(tale).categories.size(), 2u);
}

TEST_F(LibraryTest, SavedLibraryReadsBackWhole) {
    edition("in/a.lx", "A", "ebook:a");
    {
        CLXLibraryDoc doc(settings, ui, &sender);
        ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
        ASSERT_EQ(doc.AddTitleFromFile(folder / "in/a.lx", true), 1);
        CLXFilter filter;
        filter.SetKeyword("a");
        doc.SetFilter(filter);
        CLXCard temporary = doc.GetCard(0);
        temporary.url = "ebook:temp";
        temporary.temporary = true;
        doc.SetCard(0, doc.GetCard(0));
        doc.OnCloseDocument();
    }
    CLXLibraryDoc again(settings, ui, &sender);
    ASSERT_TRUE(again.OnOpenDocument(libraryPath()));
    ASSERT_EQ(again.GetCardCount(), 1);
    EXPECT_EQ(again.CardAt(0).title, "A");
    EXPECT_EQ(again.Filter().keywords, Strings{"a"});
    EXPECT_EQ(again.Categories().size(), 4u);
}

TEST_F(LibraryTest, UnreadableLibraryIsNeverOverwritten) {
    edition("in/a.lx", "A", "ebook:a");
    {
        CLXLibraryDoc doc(settings, ui, &sender);
        ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
        ASSERT_EQ(doc.AddTitleFromFile(folder / "in/a.lx", true), 1);
        doc.OnCloseDocument();
    }
    std::string good = ReadTextFile(libraryPath());
    for (size_t cut : {size_t{1}, good.size() / 3, good.size() - 1}) {
        const std::string damaged = good.substr(0, cut);
        WriteTextFile(libraryPath(), damaged);
        CLXLibraryDoc doc(settings, ui, &sender);
        EXPECT_FALSE(doc.OnOpenDocument(libraryPath())) << cut;
        EXPECT_FALSE(doc.IsBacked());
        EXPECT_FALSE(doc.Save());
        EXPECT_EQ(doc.AddTitleFromFile(folder / "in/a.lx", true), 1);  // in memory only
        doc.OnCloseDocument();
        EXPECT_EQ(ReadTextFile(libraryPath()), damaged) << cut;
    }
    EXPECT_EQ(
        std::count_if(ui.messages.begin(), ui.messages.end(),
                      [](const std::string& m) { return m.find("could not be read") != m.npos; }),
        3);
}

TEST_F(LibraryTest, ALibraryThatCannotBeReachedIsNotRebuilt) {
    WriteTextFile(folder / "lib/file", "a file, not a folder");
    CLXLibraryDoc doc(settings, ui, &sender);
    EXPECT_FALSE(doc.OnOpenDocument(folder / "lib/file/library.lxl"));
    EXPECT_FALSE(doc.IsBacked());
}

TEST_F(LibraryTest, CountsInTheBillionsFailWithoutReservingMemory) {
    std::string bytes("\xFF\xFF\xFF\xFF\xFF\x7F", 6);
    LibraryContents contents;
    std::string error;
    EXPECT_FALSE(LoadLibrary(bytes, contents, error));
    EXPECT_FALSE(error.empty());
}

TEST_F(LibraryTest, ReaderOnlyCardsAreDroppedOnReading) {
    LibraryContents contents;
    for (std::int32_t type : {CARD_EDITION, CARD_READER_ONLY, CARD_PERIODICAL}) {
        CLXCard card;
        card.url = "ebook:" + std::to_string(type);
        card.type = type;
        contents.cards.push_back(card);
    }
    const std::string bytes = StoreLibrary(contents);
    LibraryContents loaded;
    std::string error;
    ASSERT_TRUE(LoadLibrary(bytes, loaded, error)) << error;
    ASSERT_EQ(loaded.cards.size(), 2u);
    EXPECT_EQ(loaded.cards[1].type, CARD_PERIODICAL);
}

TEST_F(LibraryTest, AddingAndReinstallingTitles) {
    CLXLibraryDoc doc(settings, ui, &sender);
    ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
    const std::string source = edition("in/a.lx", "A", "ebook:a");
    ASSERT_EQ(doc.AddTitleFromFile(source, true), 1);
    EXPECT_EQ(ui.hints.back(), HINT_TITLE_ADDED);
    const std::string stored = doc.CardAt(0).storedPath;

    ui.answers = {false};
    EXPECT_EQ(doc.AddTitleFromFile(source, true), 0);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0],
              "The following title already exists in your library.   Do you want to reinstall "
              "it?\nTitle:\t\tA\nAuthor:\t\tAuthor of A\n");

    ui.answers = {true};
    WriteTextFile(stored, "damaged");
    EXPECT_EQ(doc.AddTitleFromFile(source, true), 1);
    EXPECT_EQ(ui.hints.back(), HINT_REINSTALLED);
    EXPECT_EQ(ReadTextFile(stored), ReadTextFile(source));

    std::filesystem::remove(stored);
    EXPECT_EQ(doc.AddTitleFromFile(source, true), 1);  // missing file: recopied without asking
    EXPECT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(doc.GetCardCount(), 1);

    EXPECT_EQ(doc.AddTitleFromFile(folder / "in/missing.lx", true), 0);
    EXPECT_EQ(ui.hints.back(), HINT_ADD_FAILED);
    EXPECT_EQ(ui.hintCards.back().lastError, static_cast<std::uint32_t>(CARD_ERR_OPEN));
}

TEST_F(LibraryTest, TwoIdentitiesOnOneFileNameDoNotOverwriteEachOther) {
    CLXLibraryDoc doc(settings, ui, &sender);
    ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
    ASSERT_EQ(doc.AddTitleFromFile(edition("in/a.lx", "First", "ebook:news/1"), true), 1);
    const std::string firstFile = ReadTextFile(doc.CardAt(0).storedPath);
    EXPECT_EQ(doc.AddTitleFromFile(edition("in/b.lx", "Second", "ebook:news:1"), true), 0);
    EXPECT_EQ(ui.hintCards.back().lastError, static_cast<std::uint32_t>(CARD_ERR_COPY));
    EXPECT_EQ(doc.GetCardCount(), 1);
    EXPECT_EQ(ReadTextFile(doc.CardAt(0).storedPath), firstFile);
}

TEST_F(LibraryTest, SystemImagesAreSentAndFailuresReported) {
    CLXLibraryDoc doc(settings, ui, &sender);
    ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
    EXPECT_EQ(doc.AddTitleFromFile(systemImage("sys.lx", 3), true), 1);
    ASSERT_EQ(sender.sent.size(), 1u);
    EXPECT_EQ(sender.sent[0].fileType, 6);
    EXPECT_EQ(sender.sent[0].remoteName, "sys.lff");
    EXPECT_EQ(sender.sent[0].context, 0xF000BAADu);

    sender.result = 13;
    ui.messages.clear();
    EXPECT_EQ(doc.AddTitleFromFile(folder / "sys.lx", true), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("EB_ERR_13"), std::string::npos);
    EXPECT_NE(ui.messages[0].find("Error was encountered"), std::string::npos);

    WriteTextFile(folder / "short.lx", "tiny");
    EXPECT_EQ(doc.AddTitleFromFile(folder / "short.lx", true), 0);
    EXPECT_NE(ui.messages.back().find("Can't read title header"), std::string::npos);
}

TEST_F(LibraryTest, AutoAddImportsThenDeletesOnlyWhatIsSafelyInTheLibrary) {
    const std::string autoAdd = folder / "lib/AutoAdd";
    settings.WriteString(autoAdd, "Data Locations", "AutoAddDir");
    edition("lib/AutoAdd/good.lx", "Good", "ebook:good");
    WriteTextFile(autoAdd + "/broken.lx", std::string(300, 'x'));
    WriteTextFile(autoAdd + "/good.LA", "annotations");
    WriteTextFile(autoAdd + "/orphan.ln", "notes for nothing");
    WriteTextFile(autoAdd + "/readme.txt", "other file");
    std::filesystem::create_directories(autoAdd + "/old.lx");
    systemImage("lib/AutoAdd/unsent.lx", 1);
    sender.result = 12;

    CLXLibraryDoc doc(settings, ui, &sender);
    ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
    ASSERT_EQ(doc.GetCardCount(), 1);
    const CLXCard& card = doc.CardAt(0);
    EXPECT_FALSE(std::filesystem::exists(autoAdd + "/good.lx"));
    for (const char* kept : {"broken.lx", "orphan.ln", "readme.txt", "old.lx", "unsent.lx"})
        EXPECT_TRUE(std::filesystem::exists(autoAdd + "/" + kept)) << kept;
    ASSERT_EQ(card.markups.size(), 1u);
    EXPECT_EQ(card.markups[0].path,
              (std::filesystem::path(card.storedPath).parent_path() / "good.LA").string());
    EXPECT_TRUE(std::filesystem::exists(card.markups[0].path));

    // The library on disk already holds what was deleted from the folder.
    CLXLibraryDoc reread(settings, ui, &sender);
    doc.OnCloseDocument();
    ASSERT_TRUE(reread.OnOpenDocument(libraryPath()));
    EXPECT_EQ(reread.GetCardCount(), 1);
}

TEST_F(LibraryTest, ImportedFilesStayWhenTheLibraryCannotBeSaved) {
    WriteTextFile(libraryPath(), "not a library");
    edition("drop/a.lx", "A", "ebook:a");
    CLXLibraryDoc doc(settings, ui, &sender);
    ASSERT_FALSE(doc.OnOpenDocument(libraryPath()));
    doc.ImportDirectory(folder / "drop", true);
    EXPECT_TRUE(std::filesystem::exists(folder / "drop/a.lx"));
    EXPECT_EQ(ReadTextFile(libraryPath()), "not a library");
}

TEST_F(LibraryTest, AutoAddInsideTheBookDirectoryKeepsTheStoredFiles) {
    settings.WriteString(folder / "lib/Books", "Data Locations", "AutoAddDir");
    edition("lib/Books/x.lx", "X", "ebook:x", "G", "");
    CLXLibraryDoc doc(settings, ui, &sender);
    ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
    ASSERT_EQ(doc.GetCardCount(), 1);
    EXPECT_TRUE(std::filesystem::exists(doc.CardAt(0).storedPath));
}

TEST_F(LibraryTest, DeletingTitles) {
    CLXLibraryDoc doc(settings, ui, &sender);
    ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
    doc.AddTitleFromFile(edition("in/a.lx", "A", "ebook:a"), false);
    doc.AddTitleFromFile(edition("in/b.lx", "B", "ebook:b", "G", "bob"), false);
    doc.AddTitleFromFile(edition("in/c.lx", "C", "ebook:c", "G", "bob"), false);
    ASSERT_EQ(doc.GetCardCount(), 3);
    EXPECT_EQ(doc.SetDeleteMarks(3, true, true), kBadTitleIndex);

    // A title whose file cannot be removed keeps its card, and the failure is reported.
    CLXCard undeletable = doc.GetCard(0);
    const CLXCard original = undeletable;
    undeletable.storedPath = "/proc/self/status";
    doc.SetCard(0, undeletable);
    doc.SetDeleteMarks(0, true, true);
    EXPECT_EQ(doc.DeleteMarkedTitles(), CARD_ERR_DELETE);
    EXPECT_EQ(doc.GetCardCount(), 3);
    EXPECT_EQ(doc.CardAt(0).presence, 1u);
    doc.SetCard(0, original);
    doc.SetDeleteMarks(0, false, false);
    doc.SetDeleteMarks(1, true, true);
    doc.SetDeleteMarks(2, true, false);
    EXPECT_EQ(doc.DeleteMarkedTitles(), 0);
    ASSERT_EQ(doc.GetCardCount(), 2);
    EXPECT_EQ(doc.CardAt(1).title, "C");
    EXPECT_EQ(doc.CardAt(1).presence, 2u);
    EXPECT_EQ(doc.FindCard("bob", "ebook:b"), -1);
    EXPECT_EQ(doc.FindCard("bob", "ebook:c"), 1);
    EXPECT_EQ(doc.DeleteTitle(0, true, true), 1);
    EXPECT_EQ(doc.GetCardCount(), 1);
    EXPECT_EQ(doc.DeleteTitle(5, true, true), CARD_ERR_INTERNAL);
}

TEST_F(LibraryTest, TitlesOnTheReaderAreMarkedAfreshEachTime) {
    CLXLibraryDoc doc(settings, ui, &sender);
    ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
    doc.AddTitleFromFile(edition("in/a.lx", "A", "ebook:a"), false);
    doc.AddTitleFromFile(edition("in/b.lx", "B", "ebook:b"), false);
    auto list = [](const std::string& url) {
        CLXReaderTitleList titles;
        titles.LoadFromText(
            "[LumoBook]\nTITLECOUNT=2\nTitle0=filename=\"x.lx\" title=\"\" size=\"1\" "
            "publisher=\"\" author=\"\" url=\"" +
            url +
            "\" username=\"ALICE\"\n"
            "Title1=broken\n");
        return titles;
    };
    EXPECT_EQ(doc.MarkTitlesOnReader(list("EBOOK:A"), true), CARD_ERR_LIST_FORMAT);
    EXPECT_EQ(doc.CardAt(0).onReader, 1u);
    EXPECT_EQ(doc.CardAt(1).onReader, 0u);
    doc.MarkTitlesOnReader(list("ebook:b"), true);
    EXPECT_EQ(doc.CardAt(0).onReader, 0u);
    EXPECT_EQ(doc.CardAt(1).onReader, 1u);
    EXPECT_EQ(ui.hints.back(), HINT_REBUILD);
}

TEST_F(LibraryTest, CategoriesLeavingCardsAndFindingMatches) {
    CLXLibraryDoc doc(settings, ui, &sender);
    ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
    doc.AddTitleFromFile(edition("in/a.lx", "Alpha", "ebook:a", "Fiction"), false);
    doc.AddTitleFromFile(edition("in/b.lx", "Beta", "ebook:b", "Fiction"), false);
    doc.AddTitleFromFile(edition("in/c.lx", "Gamma", "ebook:c", ""), false);
    EXPECT_EQ(doc.CardAt(2).categories, (Strings{kUnfiledCategoryId, kNewCategoryId}));

    doc.RemoveCategoryFromCards("newcatid");
    const std::string fictionId = doc.CardAt(0).categories[0];
    EXPECT_EQ(doc.CardAt(0).categories, Strings{fictionId});
    CLXCategoryListNode* fiction = nullptr;
    ASSERT_EQ(FindCategory(doc.Categories(), nullptr, &fictionId, fiction), 0);
    MarkDeleted({fiction});
    EXPECT_EQ(doc.PurgeMissingCategories(), 0);
    EXPECT_EQ(doc.CardAt(0).categories, Strings{kUnfiledCategoryId});

    CLXFilter filter;
    filter.SetKeyword("ETA");
    filter.AddKeyword("mm");
    doc.SetFilter(filter);
    std::vector<int> found;
    CLXCard card;
    int index = 0;
    for (int start = 0; doc.FindNextMatch(start, card, index) == 0; start = index + 1)
        found.push_back(index);
    EXPECT_EQ(found, (std::vector<int>{1, 2}));
    EXPECT_EQ(doc.FindNextMatch(-1, card, index), CARD_ERR_INTERNAL);
    EXPECT_EQ(doc.FindNextMatch(3, card, index), kNoMoreMatches);
}

TEST_F(LibraryTest, FetchedAndPendingMarkupsFindTheirCards) {
    CLXLibraryDoc doc(settings, ui, &sender);
    ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
    doc.AddTitleFromFile(edition("in/a.lx", "A", "ebook:a"), false);
    CLXMarkup fetched;
    fetched.SetFromPath(folder / "lib/Books/R1/a.lh");
    fetched.SetReaderId("R1");
    fetched.SetTitleOwner("alice");
    EXPECT_TRUE(doc.AttachMarkup(fetched));
    EXPECT_FALSE(doc.AttachMarkup(fetched));
    CLXMarkup other;
    other.SetFromPath(folder / "lib/Books/R1/b.ln");
    doc.AddPendingMarkup(other);
    EXPECT_EQ(doc.ApplyPendingMarkups(), 0);
    EXPECT_TRUE(doc.PendingMarkups().empty());
    ASSERT_EQ(doc.CardAt(0).markups.size(), 1u);
    EXPECT_EQ(doc.CardAt(0).markups[0].readerId, "R1");
    EXPECT_EQ(doc.RemoveMarkups(0), 0);
    EXPECT_TRUE(doc.CardAt(0).markups.empty());
    EXPECT_EQ(doc.RemoveMarkups(1), CARD_ERR_INTERNAL);
}

TEST_F(LibraryTest, ASecondProgramOnTheSameLibraryOnlyReads) {
    CLXLibraryDoc first(settings, ui, &sender);
    ASSERT_TRUE(first.OnOpenDocument(libraryPath()));
    first.AddTitleFromFile(edition("in/a.lx", "A", "ebook:a"), true);
    const std::string before = ReadTextFile(libraryPath());

    CLXLibraryDoc second(settings, ui, &sender);
    ASSERT_TRUE(second.OnOpenDocument(libraryPath()));
    EXPECT_TRUE(second.IsHeldElsewhere());
    EXPECT_TRUE(second.IsReadOnly());
    EXPECT_EQ(second.GetCardCount(), 1);
    second.AddTitleFromFile(edition("in/b.lx", "B", "ebook:b"), true);
    EXPECT_FALSE(second.Save());
    EXPECT_EQ(ReadTextFile(libraryPath()), before);

    first.OnCloseDocument();
    CLXLibraryDoc third(settings, ui, &sender);
    ASSERT_TRUE(third.OnOpenDocument(libraryPath()));
    EXPECT_FALSE(third.IsHeldElsewhere());
}

TEST_F(LibraryTest, OpeningWithoutABookDirectorySetting) {
    CLXSettingsStore empty(folder / "empty.ini");
    CLXLibraryDoc doc(empty, ui, &sender);
    EXPECT_FALSE(doc.OnOpenDocument(libraryPath()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("Library Directory was not found"), std::string::npos);
}

TEST_F(LibraryTest, CommandLineFileIsImportedAtOpen) {
    CLXLibraryDoc doc(settings, ui, &sender);
    doc.SetPendingFile(edition("in/a.LX", "A", "ebook:a"));
    ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
    EXPECT_EQ(doc.GetCardCount(), 1);
    EXPECT_EQ(std::count(ui.hints.begin(), ui.hints.end(), HINT_TITLE_ADDED), 1);
}

}  // namespace
