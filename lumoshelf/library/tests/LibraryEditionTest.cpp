#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>

#include "LibraryFixture.h"
#include "library/EditionInterfaces.h"
#include "library/StringTable.h"

namespace {

namespace fs = std::filesystem;

// The converter as the tests script it: what it was called with, and what it does.
struct ConverterCall {
    std::string source, name, author, title, generator, identifier, folder, proxy, subExpression;
    std::vector<std::string> extensions;
    unsigned options = 0;
    int levels = 0;
    bool reservedNull = false;
};
std::vector<ConverterCall> calls;
std::function<int(const ConverterCall&, LumoEBookProgressCallback, LumoEBookStatusCallback,
                  LumoEBookCredentialPrompt, void*)>
    converterAction;

int scriptedConverter(const char* source, const void* r1, const void* r2, const void* r3,
                      const char* name, const char* author, const char* title,
                      const char* generator, const char* identifier, const char* folder,
                      const char* proxy, const char* const* extensions, const char* subExpression,
                      unsigned options, int levels, LumoEBookProgressCallback progress,
                      LumoEBookStatusCallback status, LumoEBookCredentialPrompt credentials,
                      void* context) {
    ConverterCall call{source, name,          author, title,   generator, identifier,       folder,
                       proxy,  subExpression, {},     options, levels,    !r1 && !r2 && !r3};
    for (const char* const* e = extensions; *e; ++e) call.extensions.emplace_back(*e);
    calls.push_back(call);
    return converterAction(call, progress, status, credentials, context);
}

// Writes an edition where the real converter would.
int writesEdition(const ConverterCall& call, LumoEBookProgressCallback, LumoEBookStatusCallback,
                  LumoEBookCredentialPrompt, void*) {
    MakeEdition(
        (fs::path(call.folder) / call.name).string(),
        {{"Title", call.title}, {"Author", call.author}, {"url", "ebook:" + call.identifier}});
    return LUMOEBOOK_OK;
}

class RecordingProgress : public IEditionProgress {
public:
    explicit RecordingProgress(std::vector<std::string>& log) : log_(log) {
        log_.push_back("open");
    }
    ~RecordingProgress() override { log_.push_back("close"); }
    void ShowPosition(int range, int position) override {
        log_.push_back("pos " + std::to_string(position) + "/" + std::to_string(range));
    }
    void ShowBusy(int counter) override { log_.push_back("busy " + std::to_string(counter)); }
    void SetText(const std::string& text) override { log_.push_back("text " + text); }
    void SetStatusText(const std::string& text) override { log_.push_back("status " + text); }

private:
    std::vector<std::string>& log_;
};

class ScriptedEditionUI : public ILXEditionUI {
public:
    bool EditEdition(EditionChoices& choices) override {
        shown.push_back(choices);
        if (!confirm) return false;
        if (edit) edit(choices);
        return true;
    }
    std::unique_ptr<IEditionProgress> OpenBuildProgress() override {
        return std::make_unique<RecordingProgress>(progressLog);
    }
    bool AskCredentials(const std::string& url, std::string& user, std::string& password) override {
        progressLog.push_back("credentials " + url);
        user = "reader";
        password = "secret";
        return true;
    }
    bool confirm = true;
    std::function<void(EditionChoices&)> edit;
    std::vector<EditionChoices> shown;
    std::vector<std::string> progressLog;
};

class EditionBuildTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        calls.clear();
        converterAction = writesEdition;
        settings.WriteString(folder / "lib/SelfPublishing", "Data Locations", "SelfPublishingDir");
        settings.WriteNumber(41, "SelfPublishing", "Counter");
        ASSERT_TRUE(doc.OnOpenDocument(libraryPath()));
        doc.SetEditionConverter(scriptedConverter);
        doc.SetEditionUI(&editionUi, "9.8.7");
        ui.messages.clear();
        ui.hints.clear();
    }
    std::uint32_t counter() const {
        std::uint32_t n = 0;
        settings.ReadNumber("SelfPublishing", "Counter", n);
        return n;
    }
    std::string output() const { return folder / "lib/SelfPublishing/sp-00041.lx"; }

    CLXLibraryDoc doc{settings, ui, &sender};
    ScriptedEditionUI editionUi;
};

TEST_F(EditionBuildTest, ConfirmedDocumentIsBuiltAddedAndItsFileDeleted) {
    WriteTextFile(folder / "doc.html", "<p>x</p>");
    WriteTextFile(folder / "lib/SelfPublishing/old/left.lx", "old");
    settings.WriteNumber(1, "Registration", "UseProxy");
    settings.WriteString("proxy.example", "Registration", "ProxyHost");
    editionUi.edit = [this](EditionChoices& choices) {
        choices.source = folder / "doc.html";
        choices.title = "Edited Title";
        choices.images = true;
        choices.links = true;
        choices.levels = 2;
    };

    EXPECT_EQ(doc.OpenCommandLineFile(folder / "doc.html", true), 1);

    ASSERT_EQ(editionUi.shown.size(), 1u);
    EXPECT_EQ(editionUi.shown[0].source, "file://" + folder / "doc.html");
    ASSERT_EQ(calls.size(), 1u);
    const ConverterCall& call = calls[0];
    EXPECT_EQ(call.source, "file://" + folder / "doc.html");  // the typed path, resolved
    EXPECT_TRUE(call.reservedNull);
    EXPECT_EQ(call.name, "sp-00041.lx");
    EXPECT_EQ(call.folder, folder / "lib/SelfPublishing");
    EXPECT_EQ(call.title, "Edited Title");
    EXPECT_EQ(call.generator, "lumoshelf 9.8.7");
    EXPECT_EQ(call.identifier.size(), 5u + 32u);
    EXPECT_EQ(call.identifier.rfind("guid-", 0), 0u);
    EXPECT_EQ(call.proxy, "http://proxy.example");
    EXPECT_EQ(call.extensions,
              (std::vector<std::string>{".htm", ".shtml", ".asp", ".stm", ".cgi"}));
    EXPECT_EQ(call.options, 0x101u);
    EXPECT_EQ(call.levels, 2);

    ASSERT_EQ(doc.GetCardCount(), 1);
    EXPECT_EQ(doc.CardAt(0).title, "Edited Title");
    EXPECT_EQ(doc.CardAt(0).url, "ebook:" + call.identifier);
    EXPECT_TRUE(fs::exists(doc.CardAt(0).storedPath));
    EXPECT_EQ(ui.hints, std::vector<int>{HINT_TITLE_ADDED});
    EXPECT_FALSE(fs::exists(output()));
    EXPECT_FALSE(fs::exists(folder / "lib/SelfPublishing/old/left.lx"));
    EXPECT_TRUE(fs::is_directory(folder / "lib/SelfPublishing/old"));
    EXPECT_EQ(counter(), 42u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EditionBuildTest, CancelledDialogBuildsNothing) {
    editionUi.confirm = false;
    EXPECT_EQ(doc.OpenCommandLineFile(folder / "doc.html", true), 1);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(counter(), 41u);
}

TEST_F(EditionBuildTest, FailedBuildsShowTheirMessageAndLeaveNothing) {
    struct Case {
        int result;
        unsigned message;
    };
    const Case cases[] = {{2, 61517}, {3, 61518}, {1, 61514}, {7, 61514}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        ui.messages.clear();
        converterAction = [&c](const ConverterCall& call, auto, auto, auto, void*) {
            WriteTextFile((fs::path(call.folder) / call.name).string(), "half made");
            return c.result;
        };
        EditionJob job;
        job.choices.source = "http://books.example/a.htm";
        EXPECT_EQ(doc.MakeEdition(job), 0);
        EXPECT_EQ(ui.messages,
                  std::vector<std::string>{LXString(61515) + "|" + LXString(c.message)});
        EXPECT_FALSE(fs::exists(output()));
        EXPECT_EQ(counter(), 41u);
        EXPECT_EQ(doc.GetCardCount(), 0);
    }

    // Built, but not an edition the library can read: counted, reported, deleted.
    ui.messages.clear();
    converterAction = [](const ConverterCall& call, auto, auto, auto, void*) {
        WriteTextFile((fs::path(call.folder) / call.name).string(), std::string(400, 'x'));
        return 0;
    };
    EXPECT_EQ(doc.MakeEdition(EditionJob{}), 0);
    EXPECT_EQ(ui.hints.back(), HINT_ADD_FAILED);
    EXPECT_FALSE(fs::exists(output()));
    EXPECT_EQ(counter(), 42u);
}

TEST_F(EditionBuildTest, SecondBuildWhileOneRunsIsRefused) {
    int inner = -1;
    converterAction = [&](const ConverterCall& call, auto progress, auto status, auto,
                          void* context) {
        EXPECT_TRUE(doc.IsBuildBusy());
        inner = doc.OpenCommandLineFile(folder / "other.html", true);
        return writesEdition(call, progress, status, nullptr, context);
    };
    EditionJob job;
    job.choices.title = "Outer";
    EXPECT_EQ(doc.MakeEdition(job), 1);
    EXPECT_EQ(inner, 0);
    EXPECT_TRUE(editionUi.shown.empty());
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(ui.messages, std::vector<std::string>{LXString(61515) + "|" + LXString(61514)});
    EXPECT_FALSE(doc.IsBuildBusy());
    EXPECT_EQ(doc.GetCardCount(), 1);
}

TEST_F(EditionBuildTest, CallbacksReachTheProgressDialogAndCredentialPrompt) {
    converterAction = [](const ConverterCall& call, LumoEBookProgressCallback progress,
                         LumoEBookStatusCallback status, LumoEBookCredentialPrompt credentials,
                         void* context) {
        for (int i = 0; i < 101; ++i) {
            const LumoEBookProgress waiting{1, 0, nullptr};
            progress(&waiting, context);
        }
        const LumoEBookProgress done{3, 2, "Reading page 2"};
        progress(&done, context);
        status("Connected", context);
        char* user = nullptr;
        char* password = nullptr;
        EXPECT_EQ(credentials("http://books.example/", &user, &password, context), 1);
        EXPECT_STREQ(user, "reader");
        EXPECT_STREQ(password, "secret");
        std::free(user);
        std::free(password);
        return writesEdition(call, progress, status, credentials, context);
    };
    EXPECT_EQ(doc.MakeEdition(EditionJob{}), 1);
    const auto& log = editionUi.progressLog;
    ASSERT_EQ(log.size(), 1u + 101u + 2u + 2u + 1u);
    EXPECT_EQ(log.front(), "open");
    EXPECT_EQ(log[1], "busy 1");
    EXPECT_EQ(log[99], "busy 99");
    EXPECT_EQ(log[100], "busy 0");
    EXPECT_EQ(log[101], "busy 1");
    EXPECT_EQ(log[102], "pos 2/3");
    EXPECT_EQ(log[103], "text Reading page 2");
    EXPECT_EQ(log[104], "status Connected");
    EXPECT_EQ(log[105], "credentials http://books.example/");
    EXPECT_EQ(log[106], "close");
}

TEST_F(EditionBuildTest, WorkFolderMustBeARealFolder) {
    // Missing setting: nothing happens, nothing is said.
    CLXSettingsStore bare(folder / "bare.ini");
    bare.WriteString(folder / "lib/Books", "Data Locations", "BookDir");
    CLXLibraryDoc other(bare, ui, &sender);
    other.SetEditionConverter(scriptedConverter);
    EXPECT_EQ(other.MakeEdition(EditionJob{}), 0);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(ui.messages.empty());

    // A link in place of the folder is refused, and what it points at stays.
    WriteTextFile(folder / "precious/file.txt", "keep");
    fs::create_directory_symlink(folder / "precious", folder / "lib/SelfPublishing");
    EXPECT_EQ(doc.MakeEdition(EditionJob{}), 0);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ReadTextFile(folder / "precious/file.txt"), "keep");

    // A missing folder is made.
    fs::remove(folder / "lib/SelfPublishing");
    EXPECT_EQ(doc.MakeEdition(EditionJob{}), 1);
    EXPECT_TRUE(fs::is_directory(folder / "lib/SelfPublishing"));
}

TEST_F(EditionBuildTest, LocalHtmlOnTheCommandLineBecomesATitle) {
    doc.SetEditionConverter(MakeLumoEBook);
    doc.SetEditionUI(nullptr, "9.8.7");
    WriteTextFile(folder / "docs/my book.html",
                  "<html><head><title>My Own Book</title></head><body><p>Text</p></body></html>");
    EXPECT_EQ(doc.OpenCommandLineFile(folder / "docs/my book.html", true), 1);
    ASSERT_EQ(doc.GetCardCount(), 1);
    EXPECT_EQ(doc.CardAt(0).title, "My Own Book");
    EXPECT_EQ(doc.CardAt(0).url.rfind("ebook:guid-", 0), 0u);
    EXPECT_TRUE(fs::exists(doc.CardAt(0).storedPath));
    EXPECT_FALSE(fs::exists(output()));
    EXPECT_EQ(counter(), 42u);

    // A job file names its document relative to itself.
    WriteTextFile(folder / "docs/job.laf",
                  "[lumowriter]\r\nURL=my book.html\r\nTitle=From The Job\r\nAuthor=Jo\r\n"
                  "Flags=noconfirm\r\n");
    EXPECT_EQ(doc.OpenCommandLineFile(folder / "docs/job.laf", true), 1);
    ASSERT_EQ(doc.GetCardCount(), 2);
    EXPECT_EQ(doc.CardAt(1).title, "From The Job");
    EXPECT_EQ(doc.CardAt(1).author, "Jo");

    EXPECT_EQ(doc.OpenCommandLineFile(folder / "docs/missing.html", true), 0);
    EXPECT_EQ(ui.messages.back(), LXString(61515) + "|" + LXString(61518));
}

}  // namespace
