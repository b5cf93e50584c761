#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

namespace fs = std::filesystem;

namespace {

struct CommandRun {
    int exitCode;
    std::string output;  // standard output and error together
};

class LumoctlLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lumoctl-test-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        std::ofstream(root / "page.html") << "<html><body>Page</body></html>";
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(root, error);
    }
    CommandRun lumoctl(const std::string& arguments) {
        const std::string command =
            "XDG_DATA_HOME='" + (root / "data").string() + "' '" LUMOCTL_PATH "' --settings '" +
            (root / "settings.ini").string() + "' " + arguments + " 2>&1 </dev/null";
        FILE* pipe = ::popen(command.c_str(), "r");
        std::string output;
        std::array<char, 4096> buffer;
        while (size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
            output.append(buffer.data(), got);
        const int status = ::pclose(pipe);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
    }
    std::string pack(const std::string& name, const std::string& extra) {
        const std::string path = (root / name).string();
        CommandRun run = lumoctl("edition pack -o '" + path + "' " + extra + " '" +
                                 (root / "page.html").string() + "'");
        EXPECT_EQ(run.exitCode, 0) << run.output;
        return path;
    }
    std::string libraryFile() const { return (root / "data/lumoshelf/library.lxl").string(); }

    fs::path root;
};

TEST_F(LumoctlLibrary, PackAddListSearchAndDelete) {
    const std::string tale = pack("tale.lx",
                                  "--title 'A Tale' --author Jane --url ebook:tale/1 "
                                  "--username alice --genre Fiction --isbn 9");
    const std::string daily = pack("daily.lx",
                                   "--title Daily --author Ed --periodical-name News "
                                   "--periodical-id N1");
    CommandRun info = lumoctl("edition info --json '" + tale + "'");
    ASSERT_EQ(info.exitCode, 0) << info.output;
    EXPECT_EQ(nlohmann::json::parse(info.output)["url"], "ebook:tale/1");

    CommandRun add = lumoctl("library add '" + tale + "' '" + daily + "'");
    ASSERT_EQ(add.exitCode, 0) << add.output;
    CommandRun list = lumoctl("library list --json");
    ASSERT_EQ(list.exitCode, 0) << list.output;
    const auto cards = nlohmann::json::parse(list.output);
    ASSERT_EQ(cards.size(), 2u);
    for (const char* field :
         {"index",    "title",    "author",     "isbn",           "genre",        "username",
          "url",      "version",  "pubName",    "periodicalName", "periodicalId", "type",
          "schema",   "presence", "lastError",  "fileSize",       "storedPath",   "sourcePath",
          "onReader", "altMagic", "categories", "markups"})
        EXPECT_TRUE(cards[0].contains(field)) << field;
    EXPECT_EQ(cards[1]["type"], 3);
    EXPECT_EQ(cards[0]["storedPath"], (root / "data/lumoshelf/Books/alice/tale-1.lx").string());

    CommandRun search = lumoctl("library search --keyword TALE --json");
    ASSERT_EQ(search.exitCode, 0) << search.output;
    EXPECT_EQ(nlohmann::json::parse(search.output).size(), 1u);
    CommandRun byCategory = lumoctl("library search --category '" +
                                    cards[1]["categories"][0].get<std::string>() + "' --json");
    EXPECT_EQ(nlohmann::json::parse(byCategory.output)[0]["title"], "Daily");

    CommandRun categories = lumoctl("library categories --json");
    const auto tree = nlohmann::json::parse(categories.output);
    ASSERT_EQ(tree.size(), 5u);
    EXPECT_EQ(tree[0]["displayName"], "<All>");
    for (const char* field : {"id", "displayName", "fixed", "deleted", "children"})
        EXPECT_TRUE(tree[0].contains(field)) << field;

    CommandRun remove = lumoctl("library delete 0 --keep-card");
    ASSERT_EQ(remove.exitCode, 0) << remove.output;
    const auto after = nlohmann::json::parse(lumoctl("library list --json").output);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0]["presence"], 2);
    EXPECT_FALSE(fs::exists(cards[0]["storedPath"].get<std::string>()));
    EXPECT_NE(lumoctl("library delete 7").exitCode, 0);

    // Its file gone, the title is recopied without a question, and the library keeps that.
    CommandRun again = lumoctl("library add '" + tale + "'");
    ASSERT_EQ(again.exitCode, 0) << again.output;
    const auto recopied = nlohmann::json::parse(lumoctl("library list --json").output);
    ASSERT_EQ(recopied.size(), 2u);
    EXPECT_EQ(recopied[0]["presence"], 1);
    EXPECT_TRUE(fs::exists(cards[0]["storedPath"].get<std::string>()));
}

TEST_F(LumoctlLibrary, ErrorsCarryTheProgramsMessages) {
    std::ofstream(root / "bad.lx") << std::string(400, 'x');
    CommandRun info = lumoctl("edition info '" + (root / "bad.lx").string() + "'");
    EXPECT_NE(info.exitCode, 0);
    EXPECT_NE(info.output.find("This file is not a valid Lumo eBook title file:"),
              std::string::npos)
        << info.output;
    CommandRun add = lumoctl("library add '" + (root / "bad.lx").string() + "'");
    EXPECT_NE(add.exitCode, 0);
    EXPECT_NE(add.output.find("not a valid Lumo eBook title file"), std::string::npos)
        << add.output;
}

TEST_F(LumoctlLibrary, ImportWithRemoveEmptiesTheFolder) {
    fs::create_directories(root / "drop");
    pack("drop/one.lx", "--title One --author A --url ebook:one");
    std::ofstream(root / "drop/keep.txt") << "other";
    CommandRun import = lumoctl("library import '" + (root / "drop").string() + "' --remove");
    ASSERT_EQ(import.exitCode, 0) << import.output;
    EXPECT_FALSE(fs::exists(root / "drop/one.lx"));
    EXPECT_TRUE(fs::exists(root / "drop/keep.txt"));
    EXPECT_EQ(nlohmann::json::parse(lumoctl("library list --json").output).size(), 1u);
}

TEST_F(LumoctlLibrary, WritesNothingWhileTheLibraryIsOpenElsewhere) {
    const std::string one = pack("one.lx", "--title One --author A --url ebook:one");
    ASSERT_EQ(lumoctl("library list").exitCode, 0);  // creates the library
    const std::string before = [&] {
        std::ifstream in(libraryFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    int lock = ::open((libraryFile() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    CommandRun add = lumoctl("library add '" + one + "'");
    EXPECT_EQ(add.exitCode, 3);
    EXPECT_NE(add.output.find("open in another program"), std::string::npos) << add.output;
    EXPECT_EQ(lumoctl("library list").exitCode, 0);
    ::close(lock);
    std::ifstream in(libraryFile(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
              before);
    EXPECT_EQ(lumoctl("library add '" + one + "'").exitCode, 0);
}

}  // namespace

namespace {

TEST_F(LumoctlLibrary, EditionMadeFromADocumentIsAddedToTheLibrary) {
    std::ofstream(root / "book.html")
        << "<html><head><title>Made Here</title></head><body><p>Text <a href=\"more.html\">more"
           "</a></p></body></html>";
    std::ofstream(root / "more.html") << "<p>More text</p>";
    CommandRun made = lumoctl("edition make '" + (root / "book.html").string() +
                              "' --author Me --links --levels 1 --quiet");
    ASSERT_EQ(made.exitCode, 0) << made.output;
    EXPECT_NE(made.output.find("added: Made Here"), std::string::npos) << made.output;
    const nlohmann::json cards = nlohmann::json::parse(lumoctl("library list --json").output);
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0]["author"], "Me");
    EXPECT_TRUE(fs::is_empty(root / "data/lumoshelf/SelfPublishing"));

    CommandRun missing = lumoctl("edition make '" + (root / "gone.html").string() + "'");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("The selected title cannot be found"), std::string::npos);
}

}  // namespace
