// lumoctl device send, titles and sync, run as the program, against a simulated reader.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "EditionBuilder.h"
#include "lumosim/Simulator.h"

namespace fs = std::filesystem;
using namespace testing_editions;

namespace {

struct CommandRun {
    int exitCode = -1;
    std::string output;
};

class TransferCommands : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lumoctl-xfer-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        fs::create_directories(dir / "flash");
        fs::create_directories(dir / "lib/Books/reader");
        lumosim::SimulatorOptions options;
        options.flash = dir / "flash";
        options.identifier = "CTL-READER";
        reader = std::make_unique<lumosim::Simulator>(options);
        reader->Start();
        std::ofstream(dir / "settings.ini")
            << "[Data Locations]\nLibraryDir=" << (dir / "lib").string()
            << "\nLibraryFile=library.lxl\nBookDir=" << (dir / "lib/Books").string()
            << "\n[DataComm]\nComPort=" << reader->DevicePath() << "\nBaud=31\n";
    }
    void TearDown() override {
        reader.reset();
        fs::remove_all(dir);
    }

    CommandRun Lumoctl(const std::string& arguments) {
        CommandRun run;
        const std::string command = std::string(LUMOCTL_PATH) + " --settings '" +
                                    (dir / "settings.ini").string() + "' " + arguments +
                                    " 2>&1 </dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) return run;
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            run.output.append(buffer, n);
        const int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return run;
    }

    static std::string Edition(const std::string& name) {
        EditionBuilder edition;
        edition.entries = {
            {"info", "Title=" + name + "\nurl=ebook:" + name + "\nusername=reader\n", 2},
            {"package.opf", PackageXml(name + " the Book")}};
        edition.trailingPadding = 100;
        return edition.Build();
    }

    fs::path dir;
    std::unique_ptr<lumosim::Simulator> reader;
};

TEST_F(TransferCommands, SendRunsAJobOfEditionsAndPackages) {
    EditionBuilder::WriteFile(dir / "moby.lx", Edition("moby"));
    EditionBuilder package;
    package.magic = kPackageMagic;
    package.entries = {{"kernel.bin", SystemImage(1, "kernel")}, {"wait", "1"}};
    package.WriteTo(dir / "update.lx");

    const CommandRun run = Lumoctl("device send '" + (dir / "moby.lx").string() + "' '" +
                                   (dir / "update.lx").string() + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("moby.lx (moby the Book)"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("kernel.bin (Firmware)"), std::string::npos) << run.output;
    const std::string sent = ReadWholeFile(dir / "flash/moby.lx");
    EXPECT_EQ(sent, Edition("moby").substr(0, Edition("moby").size() - 100));
    EXPECT_EQ(ReadWholeFile(dir / "flash/kernel.bin"), SystemImage(1, "kernel"));

    const CommandRun missing = Lumoctl("device send '" + (dir / "gone.lx").string() + "'");
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.output.find("does not exist on your hard disk"), std::string::npos);
}

TEST_F(TransferCommands, SendAsNamesTheReadersFileAndSendsItWhole) {
    EditionBuilder::WriteFile(dir / "moby.lx", Edition("moby"));

    const CommandRun run =
        Lumoctl("device send --as renamed.lx '" + (dir / "moby.lx").string() + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(ReadWholeFile(dir / "flash/renamed.lx"), Edition("moby"));

    const CommandRun two = Lumoctl("device send --as x.lx '" + (dir / "moby.lx").string() + "' '" +
                                   (dir / "moby.lx").string() + "'");
    EXPECT_NE(two.exitCode, 0);
    EXPECT_NE(two.output.find("exactly one file"), std::string::npos) << two.output;
}

TEST_F(TransferCommands, TitlesPrintsTheReadersListAndSyncReadsItIntoTheLibrary) {
    EditionBuilder::WriteFile(dir / "flash/moby.lx", Edition("moby"));
    EditionBuilder::WriteFile(dir / "lib/Books/reader/moby.lx", Edition("moby"));
    std::ofstream(dir / "flash/moby.lh") << "highlights";

    const CommandRun titles = Lumoctl("device titles --json");
    ASSERT_EQ(titles.exitCode, 0) << titles.output;
    const auto list = nlohmann::json::parse(titles.output);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["filename"], "moby.lx");
    EXPECT_EQ(list[0]["url"], "ebook:moby");
    EXPECT_EQ(list[0]["lh"], true);
    EXPECT_EQ(list[0]["la"], false);

    const CommandRun unanswered = Lumoctl("device sync");
    EXPECT_EQ(unanswered.exitCode, 0);
    EXPECT_NE(unanswered.output.find("not read"), std::string::npos) << unanswered.output;

    const CommandRun sync = Lumoctl("device sync --yes");
    ASSERT_EQ(sync.exitCode, 0) << sync.output;
    EXPECT_NE(sync.output.find("1 titles of the library are on reader CTL-READER"),
              std::string::npos)
        << sync.output;
    EXPECT_NE(sync.output.find("1 of 1 markup files fetched, 1 attached"), std::string::npos)
        << sync.output;
    EXPECT_EQ(ReadWholeFile(dir / "lib/Books/CTL-READER/moby.lh"), "highlights");
}

}  // namespace
