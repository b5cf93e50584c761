#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "EditionFixture.h"
#include "library/LXCard.h"
#include "library/LXCardErrors.h"
#include "library/SettingsStore.h"

namespace {

const lumowriter::EditionInfo kFullInfo = {{"Title", "A Tale"},       {"Author", "Jane Doe"},
                                           {"ISBN", "978"},           {"username", "alice"},
                                           {"url", "ebook:tale/1"},   {"version", "3"},
                                           {"pub_name", "Pub House"}, {"genre", "Fiction"}};

TEST(CardEdition, ReadsTheInfoEntry) {
    TempFolder folder;
    CLXCard card;
    ASSERT_EQ(card.ReadFromEdition(MakeEdition(folder / "a.lx", kFullInfo)), 0);
    EXPECT_EQ(card.title, "A Tale");
    EXPECT_EQ(card.author, "Jane Doe");
    EXPECT_EQ(card.isbn, "978");
    EXPECT_EQ(card.username, "alice");
    EXPECT_EQ(card.url, "ebook:tale/1");
    EXPECT_EQ(card.version, "3");
    EXPECT_EQ(card.pubName, "Pub House");
    EXPECT_EQ(card.genre, "Fiction");
    EXPECT_EQ(card.type, CARD_EDITION);
    EXPECT_EQ(card.sourcePath, folder / "a.lx");
    EXPECT_EQ(card.fileSize, std::filesystem::file_size(folder / "a.lx"));
    EXPECT_EQ(card.altMagic, 0u);
}

TEST(CardEdition, DefaultsAndPeriodicals) {
    TempFolder folder;
    CLXCard card;
    ASSERT_EQ(card.ReadFromEdition(MakeEdition(
                  folder / "a.lx",
                  {{"ISBN", "123"}, {"PERIODICAL_ID", "P7"}, {"PERIODICAL_NAME", "Daily"}})),
              0);
    EXPECT_EQ(card.username, "[none]");
    EXPECT_EQ(card.url, "ebook:adhoc-123");
    std::string name;
    EXPECT_EQ(card.EditionFileName(name), 0);
    EXPECT_EQ(name, "adhoc-123.lx");
    EXPECT_EQ(card.type, CARD_PERIODICAL);
    EXPECT_EQ(card.periodicalName, "Daily");
    EXPECT_EQ(card.SetType(0), CARD_ERR_INTERNAL);
    EXPECT_EQ(card.SetType(4), CARD_ERR_INTERNAL);
    EXPECT_EQ(card.SetType(CARD_READER_ONLY), 0);
    EXPECT_EQ(card.type, CARD_READER_ONLY);
}

// Damaged editions: each case patches a good edition and expects one card error.
TEST(CardEdition, DamagedEditionsGiveTheirErrors) {
    TempFolder folder;
    std::string good;
    {
        lumowriter::EditionLayout layout;
        layout.info = kFullInfo;
        std::string error;
        ASSERT_TRUE(lumowriter::PackEdition(layout, good, error));
    }
    const size_t toc = 296;
    const size_t info = toc + 4;
    struct Case {
        const char* name;
        std::function<void(std::string&)> damage;
        int error;
    } cases[] = {
        {"short header", [](std::string& b) { b.resize(200); }, CARD_ERR_HEADER_SHORT},
        {"bad magic", [](std::string& b) { Put32(b, 0, 0x12345678); }, CARD_ERR_BAD_MAGIC},
        {"format 3", [](std::string& b) { b[4] = 3; }, CARD_ERR_VERSION},
        {"toc past end", [](std::string& b) { Put32(b, 24, 0xFFFFFF00); }, CARD_ERR_COUNT_SHORT},
        {"count past end",
         [=](std::string& b) {
             Put32(b, toc, 0xFFFFFFFF);
             Put32(b, info + 40, 0);  // no info flag, so the reader walks on past the end
             b.resize(info + 44 + 10);
         },
         CARD_ERR_ENTRY_SHORT},
        {"huge info length", [=](std::string& b) { Put32(b, info + 32, 0xFFFFFFF0); },
         CARD_ERR_INFO_SHORT},
        {"info offset past end", [=](std::string& b) { Put32(b, info + 36, 0x7FFFFFFF); },
         CARD_ERR_INFO_SHORT},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        c.damage(bytes);
        WriteTextFile(folder / "bad.lx", bytes);
        CLXCard card;
        EXPECT_EQ(card.ReadFromEdition(folder / "bad.lx"), c.error) << c.name;
        EXPECT_EQ(card.lastError, static_cast<std::uint32_t>(c.error)) << c.name;
    }
    CLXCard missing;
    EXPECT_EQ(missing.ReadFromEdition(folder / "none.lx"), CARD_ERR_OPEN);
    EXPECT_EQ(MessageForCardError(missing).text,
              "Error when opening specified title file:  " + (folder / "none.lx"));
    EXPECT_EQ(MessageForCardError(missing).caption, "New Title");
}

TEST(CardEdition, InfoEntryChoiceAndSecondMagic) {
    TempFolder folder;
    lumowriter::EditionLayout layout;
    layout.contents.push_back({"first", "Title=Wrong\r\n", lumowriter::kEntryContent});
    layout.contents.push_back({"last", "Title=From last entry\r\n", lumowriter::kEntryContent});
    std::string bytes, error;
    ASSERT_TRUE(lumowriter::PackEdition(layout, bytes, error));
    const size_t entries = 296 + 4;
    Put32(bytes, entries + 40, lumowriter::kEntryContent);  // the info entry loses its flag
    WriteTextFile(folder / "noflag.lx", bytes);
    CLXCard card;
    ASSERT_EQ(card.ReadFromEdition(folder / "noflag.lx"), 0);
    EXPECT_EQ(card.title, "From last entry");

    Put32(bytes, 296, 0);  // a count of 0 still reads one entry
    WriteTextFile(folder / "zero.lx", bytes);
    CLXCard zero;
    ASSERT_EQ(zero.ReadFromEdition(folder / "zero.lx"), 0);
    EXPECT_EQ(zero.title, "");

    Put32(bytes, 0, kEditionAltMagic);
    bytes[4] = 9;
    WriteTextFile(folder / "alt.lx", bytes);
    CLXCard alt;
    ASSERT_EQ(alt.ReadFromEdition(folder / "alt.lx"), 0);
    EXPECT_EQ(alt.altMagic, 1u);
}

TEST(CardEdition, EditionFileNames) {
    struct Case {
        const char* url;
        const char* isbn;
        int error;
        const char* name;
    } cases[] = {{"ebook:abc/def", "", 0, "abc-def.lx"},
                 {"ebook:a:b*c?\"d\"|<>", "", 0, "a-b-c--d----.lx"},
                 {"", "42", 0, "adhoc-42.lx"},
                 {"no-colon", "", CARD_ERR_BAD_URL, ""},
                 {"ebook:tab\there", "", 0, "tab-here.lx"}};
    for (const Case& c : cases) {
        CLXCard card;
        card.url = c.url;
        card.isbn = c.isbn;
        std::string name;
        EXPECT_EQ(card.EditionFileName(name), c.error) << c.url;
        if (c.error == 0) {
            EXPECT_EQ(name, c.name) << c.url;
        }
    }
}

class CardBookDir : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder / "Books");
        settings.WriteString(folder / "Books", "Data Locations", "BookDir");
    }
    CLXCard ReadCard(const std::string& name, lumowriter::EditionInfo info) {
        CLXCard card;
        EXPECT_EQ(card.ReadFromEdition(MakeEdition(folder / name, info)), 0);
        return card;
    }
    TempFolder folder;
    CLXSettingsStore settings{folder / "settings.ini"};
};

TEST_F(CardBookDir, CopiesIntoTheOwnersFolder) {
    CLXCard card = ReadCard("in/a.lx", kFullInfo);
    ASSERT_EQ(card.CopyToBookDir(card.sourcePath, settings), 0);
    EXPECT_EQ(card.storedPath, folder / "Books/alice/tale-1.lx");
    EXPECT_EQ(card.presence, 1u);
    EXPECT_EQ(ReadTextFile(card.storedPath), ReadTextFile(card.sourcePath));
}

TEST_F(CardBookDir, OwnerNamesCannotLeaveTheBookDirectory) {
    for (const char* owner : {"..", ".", "...", "a/../../b", "x\x01y"}) {
        auto info = kFullInfo;
        info[3].second = owner;
        CLXCard card = ReadCard("in/a.lx", info);
        ASSERT_EQ(card.CopyToBookDir(card.sourcePath, settings), 0) << owner;
        auto relative = std::filesystem::path(card.storedPath).lexically_relative(folder / "Books");
        EXPECT_EQ(std::distance(relative.begin(), relative.end()), 2) << card.storedPath;
        EXPECT_NE(relative.begin()->string(), "..") << owner;
    }
    CLXCard dots = ReadCard("in/a.lx", {{"username", ".."}, {"url", "ebook:b"}});
    ASSERT_EQ(dots.CopyToBookDir(dots.sourcePath, settings), 0);
    EXPECT_EQ(dots.storedPath, folder / "Books/unnamed/b.lx");
}

TEST_F(CardBookDir, ConfigurationErrors) {
    CLXCard card = ReadCard("in/a.lx", kFullInfo);
    CLXSettingsStore empty(folder / "other.ini");
    EXPECT_EQ(card.CopyToBookDir(card.sourcePath, empty), CARD_ERR_NO_BOOK_DIR_VALUE);
    EXPECT_EQ(MessageForCardError(card).caption, "Configuration Value Not Found in Registry");
    settings.WriteString(folder / "nowhere", "Data Locations", "BookDir");
    EXPECT_EQ(card.CopyToBookDir(card.sourcePath, settings), CARD_ERR_NO_BOOK_DIR);
    EXPECT_EQ(card.lastError, static_cast<std::uint32_t>(CARD_ERR_NO_BOOK_DIR));
    EXPECT_EQ(card.presence, 2u);
}

TEST_F(CardBookDir, AFailedReinstallKeepsTheStoredFile) {
    CLXCard card = ReadCard("in/a.lx", kFullInfo);
    ASSERT_EQ(card.CopyToBookDir(card.sourcePath, settings), 0);
    const std::string stored = ReadTextFile(card.storedPath);
    EXPECT_EQ(card.CopyToBookDir(folder / "in/vanished.lx", settings), CARD_ERR_COPY);
    EXPECT_EQ(ReadTextFile(card.storedPath), stored);
    EXPECT_EQ(card.CheckPresence(), 1);
}

TEST_F(CardBookDir, SamePathCopiesNothingButOtherCaseIsAnotherFile) {
    CLXCard card = ReadCard("in/a.lx", kFullInfo);
    ASSERT_EQ(card.CopyToBookDir(card.sourcePath, settings), 0);
    const std::string stored = card.storedPath;
    ASSERT_EQ(card.CopyToBookDir(stored, settings), 0);
    EXPECT_EQ(card.storedPath, stored);
    EXPECT_EQ(card.presence, 1u);
    EXPECT_TRUE(std::filesystem::exists(stored));

    // On Linux "Books/alice/TALE-1.lx" is not the stored file; copying from it must copy.
    std::filesystem::copy_file(stored, folder / "Books/alice/TALE-1.lx");
    WriteTextFile(folder / "Books/alice/TALE-1.lx", "changed edition");
    ASSERT_EQ(card.CopyToBookDir(folder / "Books/alice/TALE-1.lx", settings), 0);
    EXPECT_EQ(ReadTextFile(stored), "changed edition");
    EXPECT_TRUE(std::filesystem::exists(folder / "Books/alice/TALE-1.lx"));
}

TEST_F(CardBookDir, MovedTitleDropsTheOldFileAndReadOnlySourcesGiveWritableCopies) {
    CLXCard card = ReadCard("in/a.lx", kFullInfo);
    ::chmod(card.sourcePath.c_str(), 0444);
    ASSERT_EQ(card.CopyToBookDir(card.sourcePath, settings), 0);
    struct stat info {};
    ASSERT_EQ(::stat(card.storedPath.c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IWUSR);
    const std::string oldPath = card.storedPath;
    card.username = "bob";
    ASSERT_EQ(card.CopyToBookDir(card.sourcePath, settings), 0);
    EXPECT_EQ(card.storedPath, folder / "Books/bob/tale-1.lx");
    EXPECT_FALSE(std::filesystem::exists(oldPath));
}

TEST_F(CardBookDir, DeletingTheEditionFile) {
    CLXCard card = ReadCard("in/a.lx", kFullInfo);
    ASSERT_EQ(card.CopyToBookDir(card.sourcePath, settings), 0);
    EXPECT_EQ(card.DeleteEditionFile(), 0);
    EXPECT_EQ(card.presence, 2u);
    EXPECT_FALSE(std::filesystem::exists(card.storedPath));
    EXPECT_EQ(card.DeleteEditionFile(), 0);

    // A file nobody may remove, not even the superuser.
    CLXCard undeletable;
    undeletable.storedPath = "/proc/self/status";
    EXPECT_EQ(undeletable.DeleteEditionFile(), CARD_ERR_DELETE);
    EXPECT_EQ(undeletable.presence, 1u);
}

TEST(CardErrors, MessagesForEveryCode) {
    struct Case {
        std::uint32_t code;
        const char* caption;
        const char* text;
    } cases[] = {
        {CARD_ERR_COPY, "New Title",
         "Error was encountered in adding the new title to the library."},
        {CARD_ERR_COUNT_SHORT, "New Title", "Error when reading the title file:  /in/x.lx"},
        {CARD_ERR_BAD_MAGIC, "New Title",
         "This file is not a valid Lumo eBook title file: /in/x.lx"},
        {CARD_ERR_TEMP_NAME, "New Title", "Error when trying to create temporary file."},
        {CARD_ERR_VERSION, "New Title",
         "The format of this title file is not supported by lumoshelf: /in/x.lx"},
        {CARD_ERR_DELETE, "New Title",
         "Error was encountered in adding the new title to the library."},
        {CARD_ERR_NO_BOOK_DIR, "Directory Does Not Exist",
         "The specified Title Directory does not exist."},
        {CARD_ERR_BAD_URL, "New Title", "Bad URL format.  Contact technical support. /in/x.lx"},
        {99, "New Title", "Error was encountered in adding the new title to the library."},
    };
    for (const Case& c : cases) {
        CLXCard card;
        card.sourcePath = "/in/x.lx";
        card.lastError = c.code;
        const CardErrorMessage message = MessageForCardError(card);
        EXPECT_EQ(message.caption, c.caption) << c.code;
        EXPECT_EQ(message.text, c.text) << c.code;
    }
}

}  // namespace
