#include <functional>

#include "EditionBuilder.h"
#include "TestFolder.h"
#include "transfers/JobRunner.h"

using namespace testing_editions;
namespace fs = std::filesystem;

namespace {

struct SentFile {
    std::string remoteName;
    std::string bytes;  // what the local file held while it was sent
    int fileType;
    std::string description;
    int index;
    int count;
    std::uint32_t context;
    int firmwareMode;
    std::string localPath;
};

// A link that records every transfer and answers from a script.
class RecordingLink : public CLXJobLink {
public:
    int SendFile(const std::string& localPath, const std::string& remoteName, std::uint8_t option,
                 int fileType, const std::shared_ptr<CLXProgressWindow>&,
                 const std::string& description, int index, int count,
                 std::uint32_t context) override {
        EXPECT_EQ(option, 1);
        sent.push_back({remoteName, ReadWholeFile(localPath), fileType, description, index, count,
                        context, firmwareMode, localPath});
        return onSend ? onSend(sent.size()) : 0;
    }
    int FetchFile(const std::string& remoteName, const std::string& localPath, std::uint8_t,
                  const std::shared_ptr<CLXProgressWindow>&, const std::string& description,
                  int index, int count, std::uint32_t context) override {
        fetched.push_back({remoteName, localPath, 0, description, index, count, context, 0, {}});
        return onSend ? onSend(fetched.size()) : 0;
    }
    void FlushStatusCache() override { ++flushes; }
    int SetFirmwareMode(int on) override {
        const int previous = firmwareMode;
        firmwareMode = on;
        return previous;
    }

    std::vector<SentFile> sent;
    std::vector<SentFile> fetched;
    std::function<int(std::size_t)> onSend;
    int flushes = 0;
    int firmwareMode = 0;
};

class JobRunnerTest : public TestFolder {
protected:
    int RunSend(const std::vector<fs::path>& files) {
        std::vector<std::string> paths;
        for (const auto& file : files) paths.push_back(file.string());
        job = CLXTransferJob::Send(paths, 1, nullptr);
        return lumo::RunSendJob(link, *job);
    }

    fs::path Edition(const std::string& name, std::vector<Entry> entries, std::size_t padding = 0) {
        EditionBuilder builder;
        builder.entries = std::move(entries);
        builder.trailingPadding = padding;
        builder.WriteTo(dir / name);
        return dir / name;
    }

    fs::path Package(const std::string& name, std::vector<Entry> entries) {
        EditionBuilder builder;
        builder.magic = kPackageMagic;
        builder.entries = std::move(entries);
        builder.WriteTo(dir / name);
        return dir / name;
    }

    RecordingLink link;
    std::shared_ptr<CLXTransferJob> job;
};

TEST_F(JobRunnerTest, AnEmptyJobOnlyFlushesTheStatusCache) {
    EXPECT_EQ(RunSend({}), 0);
    EXPECT_TRUE(link.sent.empty());
    EXPECT_EQ(link.flushes, 1);
}

TEST_F(JobRunnerTest, EachFileIsDescribedByItsKind) {
    const auto titled = Edition("moby.lx", {{"package.opf", PackageXml("Moby Dick")}});
    const auto untitled = Edition("plain.LX", {{"package.opf", "<package><metadata/></package>"}});
    const auto noPackage = Edition("bare.lx", {{"info", "Title=x\n", 2}});
    const auto markup = Write("moby.LA", "annotations");
    const auto font = Write("LARGE.LXF", "font bytes");
    const auto command = Write("__CMDFILEtime", "SET TIME\r\n");

    ASSERT_EQ(RunSend({titled, untitled, noPackage, markup, font, command}), 0);
    ASSERT_EQ(link.sent.size(), 6u);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"moby.lx", "Moby Dick"}, {"plain.LX", "Title"}, {"bare.lx", ""},
        {"moby.LA", "Markups"},   {"LARGE.LXF", "Font"}, {"__CMDFILEtime", "Data"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(link.sent[i].remoteName, expected[i].first);
        EXPECT_EQ(link.sent[i].description, expected[i].second) << expected[i].first;
        EXPECT_EQ(link.sent[i].index, static_cast<int>(i));
        EXPECT_EQ(link.sent[i].count, 6);
        EXPECT_EQ(link.sent[i].context, lumo::kContextSentFile);
        EXPECT_EQ(link.sent[i].fileType, 0);
    }
    EXPECT_EQ(link.flushes, 1);
}

TEST_F(JobRunnerTest, AnEditionIsSentAsACopyCutToItsHeaderLength) {
    const auto path = Edition("book.lx", {{"info", "Title=A\n", 2}}, 300);
    const std::string whole = ReadWholeFile(path);
    ASSERT_EQ(RunSend({path}), 0);
    ASSERT_EQ(link.sent.size(), 1u);
    EXPECT_EQ(link.sent[0].bytes, whole.substr(0, whole.size() - 300));
    EXPECT_NE(fs::path(link.sent[0].localPath), path);
    EXPECT_FALSE(fs::exists(link.sent[0].localPath));
    EXPECT_EQ(ReadWholeFile(path), whole);
}

TEST_F(JobRunnerTest, UnreadableFilesEndTheJobWithCode7) {
    const auto good = Write("first.la", "kept on the reader");
    const auto shortEdition = Write("short.lx", std::string(100, 'x'));
    const auto shortImage = Write("image.lff", SystemImage(1, "").substr(0, 50));
    const auto noFirstWord = Write("tiny.ln", "ab");
    for (const auto& bad : {shortEdition, shortImage, noFirstWord, dir / "missing.la"}) {
        link.sent.clear();
        EXPECT_EQ(RunSend({good, bad, good}), 7) << bad;
        EXPECT_EQ(link.sent.size(), 1u) << bad;
    }
    EXPECT_EQ(link.flushes, 4);
}

TEST_F(JobRunnerTest, ASystemImageIsSentUnchanged) {
    const auto image = Write("sys.lff", SystemImage(4, "system"));
    ASSERT_EQ(RunSend({image}), 0);
    ASSERT_EQ(link.sent.size(), 1u);
    EXPECT_EQ(link.sent[0].bytes, SystemImage(4, "system"));
    EXPECT_EQ(fs::path(link.sent[0].localPath), image);
}

TEST_F(JobRunnerTest, APackageIsSentPartByPartNumberedAmongTheSentParts) {
    const auto package = Package("update.lx", {{"kernel.bin", SystemImage(1, "kernel")},
                                               {"wait", "1"},
                                               {"apps.bin", SystemImage(5, "apps")},
                                               {"readme.info", "text"}});
    ASSERT_EQ(RunSend({package}), 0);
    ASSERT_EQ(link.sent.size(), 2u);
    EXPECT_EQ(link.sent[0].remoteName, "kernel.bin");
    EXPECT_EQ(link.sent[0].bytes, SystemImage(1, "kernel"));
    EXPECT_EQ(link.sent[0].fileType, 2);
    EXPECT_EQ(link.sent[1].remoteName, "apps.bin");
    EXPECT_EQ(link.sent[1].fileType, 11);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(link.sent[i].description, "Firmware");
        EXPECT_EQ(link.sent[i].index, i);
        EXPECT_EQ(link.sent[i].count, 2);
        EXPECT_EQ(link.sent[i].firmwareMode, 1);
        EXPECT_FALSE(fs::exists(link.sent[i].localPath));
    }
    EXPECT_EQ(link.firmwareMode, 0);
}

TEST_F(JobRunnerTest, AFailedPackagePartEndsTheJobWithItsCode) {
    const auto package = Package("update.lx", {{"a.bin", SystemImage(1, "a")},
                                               {"b.bin", SystemImage(1, "b")},
                                               {"c.bin", SystemImage(1, "c")}});
    link.onSend = [](std::size_t n) { return n == 2 ? 13 : 0; };
    EXPECT_EQ(RunSend({package}), 13);
    EXPECT_EQ(link.sent.size(), 2u);
    EXPECT_EQ(link.firmwareMode, 0);

    link.sent.clear();
    link.onSend = nullptr;
    const auto damaged = Package("bad.lx", {{"../escape", "x"}});
    EXPECT_EQ(RunSend({damaged}), 7);
    EXPECT_TRUE(link.sent.empty());
    EXPECT_EQ(link.firmwareMode, 0);
    EXPECT_FALSE(fs::exists(dir.parent_path() / "escape"));
}

TEST_F(JobRunnerTest, ACancelBetweenFilesOrPartsStopsTheJob) {
    const auto a = Write("a.la", "annotations a");
    const auto b = Write("b.la", "annotations b");
    link.onSend = [this](std::size_t) {
        job->Cancel();
        return 0;
    };
    EXPECT_EQ(RunSend({a, b}), 17);
    EXPECT_EQ(link.sent.size(), 1u);

    link.sent.clear();
    const auto package = Package("update.lx", {{"a.bin", "aaaa" + std::string(80, 'a')},
                                               {"b.bin", "bbbb" + std::string(80, 'b')}});
    EXPECT_EQ(RunSend({package}), 17);
    EXPECT_EQ(link.sent.size(), 1u);
    EXPECT_EQ(link.firmwareMode, 0);
}

TEST_F(JobRunnerTest, AFetchJobFetchesEachNameIntoItsPathUntilAFailure) {
    auto fetch = CLXTransferJob::Fetch(
        {"a.la", "b.lh", "c.ln"}, {"/books/r/a.la", "/books/r/b.lh", "/books/r/c.ln"}, 1, nullptr);
    EXPECT_EQ(lumo::RunFetchJob(link, *fetch), 0);
    ASSERT_EQ(link.fetched.size(), 3u);
    EXPECT_EQ(link.fetched[1].remoteName, "b.lh");
    EXPECT_EQ(link.fetched[1].bytes, "/books/r/b.lh");
    EXPECT_EQ(link.fetched[1].description, "Markups");
    EXPECT_EQ(link.fetched[1].index, 1);
    EXPECT_EQ(link.fetched[1].count, 3);
    EXPECT_EQ(link.fetched[1].context, lumo::kContextFetchedMarkup);

    link.fetched.clear();
    link.onSend = [](std::size_t n) { return n == 2 ? 8 : 0; };
    auto failing = CLXTransferJob::Fetch({"a.la", "b.lh"}, {"/x/a.la", "/x/b.lh"}, 1, nullptr);
    EXPECT_EQ(lumo::RunFetchJob(link, *failing), 8);
    EXPECT_EQ(link.fetched.size(), 2u);
    EXPECT_EQ(failing->SucceededCount(), 1u);
}

}  // namespace
