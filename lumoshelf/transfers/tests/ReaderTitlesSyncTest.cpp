#include "EditionBuilder.h"
#include "TestFolder.h"
#include "library/LXLibraryDoc.h"
#include "library/SettingsStore.h"
#include "transfers/ReaderTitlesSync.h"

using namespace testing_editions;
namespace fs = std::filesystem;

namespace {

class QuietUI : public ILXLibraryUI {
public:
    void ShowMessage(const std::string&, const std::string&, Icon) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    void UpdateAllViews(int hint, const CLXCard*) override { hints.push_back(hint); }
    std::vector<int> hints;
};

// A library with one title ("Moby", owner "reader") and a fetched title list naming it.
class ReaderTitlesSyncTest : public TestFolder {
protected:
    void SetUp() override {
        TestFolder::SetUp();
        fs::create_directories(dir / "lib/Books");
        settings = std::make_unique<CLXSettingsStore>((dir / "settings.ini").string());
        settings->WriteString((dir / "lib/Books").string(), "Data Locations", "BookDir");
        EditionBuilder moby;
        moby.entries = {{"info", "Title=Moby\nAuthor=H. M.\nurl=ebook:moby\nusername=reader\n", 2}};
        moby.WriteTo(dir / "moby.lx");
        library = std::make_unique<CLXLibraryDoc>(*settings, ui);
        ASSERT_TRUE(library->OnOpenDocument((dir / "lib/library.lxl").string()));
        ASSERT_EQ(library->AddTitleFromFile((dir / "moby.lx").string(), false), 1);
    }

    std::string Line(const std::string& filename, const std::string& url, const char* la,
                     const char* lh, const char* ln) {
        return "Title0=filename=\"" + filename + "\" size=\"10\" LA=\"" + la + "\" LH=\"" + lh +
               "\" LN=\"" + ln + "\" title=\"Moby\" author=\"\" publisher=\"\" url=\"" + url +
               "\" username=\"reader\"\r\n";
    }
    fs::path Fetched(const std::string& body) {
        return Write("__TITLES", body + std::string(1, '\0'));
    }

    QuietUI ui;
    std::unique_ptr<CLXSettingsStore> settings;
    std::unique_ptr<CLXLibraryDoc> library;
};

TEST_F(ReaderTitlesSyncTest, CollectsTheMarkupsOfHeldTitlesAndMarksThemOnTheReader) {
    const auto fetched =
        Fetched("Version=1.0\r\nTITLECOUNT=2\r\n" + Line("moby.lx", "ebook:moby", "yes", "no", "") +
                "Title1=filename=\"other.lx\" size=\"1\" LA=\"yes\" LH=\"no\" "
                "LN=\"no\" title=\"O\" author=\"\" publisher=\"\" "
                "url=\"ebook:other\" username=\"x\"\r\n");
    lumo::MarkupFetchList fetch;
    ASSERT_EQ(
        lumo::ProcessReaderTitleList(fetched.string(), "../../SIM", *library, *settings, fetch), 0);
    const fs::path folder = dir / "lib/Books" / "..-..-SIM";
    ASSERT_EQ(fetch.remoteNames, (std::vector<std::string>{"moby.la", "moby.ln"}));
    EXPECT_EQ(fetch.localPaths[0], (folder / "moby.la").string());
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(fetch.markups[1].kind, CLXMarkup::Note);
    EXPECT_EQ(fetch.markups[1].readerId, "../../SIM");
    EXPECT_EQ(fetch.markups[1].titleOwner, "reader");
    EXPECT_EQ(library->CardAt(0).onReader, 1u);

    // Only the files that arrived are handed over, and the files stay where they are.
    std::ofstream(fetch.localPaths[0]) << "annotations";
    EXPECT_EQ(lumo::AttachFetchedMarkups(*library, fetch, 1), 1);
    ASSERT_EQ(library->CardAt(0).markups.size(), 1u);
    EXPECT_EQ(library->CardAt(0).markups[0].readerId, "../../SIM");
    EXPECT_TRUE(fs::exists(fetch.localPaths[0]));
    EXPECT_EQ(lumo::AttachFetchedMarkups(*library, fetch, 1), 0);
}

TEST_F(ReaderTitlesSyncTest, ListErrorsStopBeforeTheLibraryIsTouched) {
    struct Case {
        const char* name;
        std::string body;
        int error;
    };
    const Case cases[] = {
        {"no version", "TITLECOUNT=0\r\n", 1030},
        {"no count", "Version=1\r\n", 1001},
        {"unclosed quote", "Version=1\r\nTITLECOUNT=1\r\nTitle0=filename=\"moby.lx", 1000},
        {"missing field", "Version=1\r\nTITLECOUNT=1\r\nTitle0=filename=\"moby.lx\"\r\n", 1000},
    };
    for (const Case& c : cases) {
        lumo::MarkupFetchList fetch;
        EXPECT_EQ(lumo::ProcessReaderTitleList(Fetched(c.body).string(), "R1", *library, *settings,
                                               fetch),
                  c.error)
            << c.name;
        EXPECT_TRUE(fetch.remoteNames.empty()) << c.name;
        EXPECT_EQ(library->CardAt(0).onReader, 0u) << c.name;
    }
}

TEST_F(ReaderTitlesSyncTest, TheMarkupFolderMustBeMade) {
    Write("lib/Books/R1", "a file where the folder should be");
    lumo::MarkupFetchList fetch;
    const auto fetched =
        Fetched("Version=1\r\nTITLECOUNT=1\r\n" + Line("moby.lx", "ebook:moby", "yes", "n", "n"));
    EXPECT_EQ(lumo::ProcessReaderTitleList(fetched.string(), "R1", *library, *settings, fetch),
              61476);
    EXPECT_EQ(library->CardAt(0).onReader, 0u);
}

TEST_F(ReaderTitlesSyncTest, TheUploadQuestionIsAskedUntilAnAnswerIsKept) {
    struct Case {
        const char* stored;  // nullptr: no setting
        bool answer;
        bool dontAsk;
        bool asked;
        bool result;
        std::uint32_t kept;
    };
    const Case cases[] = {
        {"2", false, false, false, true, 2},   {"1", true, false, false, false, 1},
        {nullptr, true, false, true, true, 0}, {"0", false, true, true, false, 1},
        {"7", true, true, true, true, 2},
    };
    for (const Case& c : cases) {
        const std::string reader = "Reader]=[x";
        settings->WriteNumber(c.stored ? std::stoul(c.stored) : 0, reader, "Upload Markups");
        bool asked = false;
        const bool result = lumo::ShouldUploadMarkups(
            *settings, reader, [&](const std::string& id, bool& dontAskAgain) {
                EXPECT_EQ(id, reader);
                asked = true;
                dontAskAgain = c.dontAsk;
                return c.answer;
            });
        EXPECT_EQ(asked, c.asked) << (c.stored ? c.stored : "none");
        EXPECT_EQ(result, c.result);
        std::uint32_t kept = 99;
        settings->ReadNumber(reader, "Upload Markups", kept);
        EXPECT_EQ(kept, c.kept);
    }
}

}  // namespace
