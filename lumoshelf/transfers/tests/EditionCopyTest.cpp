#include "EditionBuilder.h"
#include "TestFolder.h"
#include "transfers/EditionCopy.h"

using namespace testing_editions;
namespace fs = std::filesystem;

namespace {

class EditionCopyTest : public TestFolder {
protected:
    void SetUp() override {
        TestFolder::SetUp();
        fs::create_directory(dir / "out");
    }
};

TEST_F(EditionCopyTest, CutsTheCopyToAPlausibleHeaderLength) {
    EditionBuilder edition;
    edition.entries = {{"info", "Title=A\n", 2}};
    edition.trailingPadding = 700;
    const std::string whole = edition.Build();
    const std::uint32_t headerLength = static_cast<std::uint32_t>(whole.size() - 700);

    struct Case {
        const char* name;
        std::uint32_t length;
        std::size_t expectedSize;
    };
    const Case cases[] = {
        {"header length", headerLength, headerLength},
        {"zero length keeps the file", 0, whole.size()},
        {"length beyond the file keeps the file", 1u << 30, whole.size()},
        {"length of the whole file", static_cast<std::uint32_t>(whole.size()), whole.size()},
    };
    for (const Case& c : cases) {
        EditionBuilder::WriteFile(dir / "book.lx", whole);
        fs::path copy;
        ASSERT_EQ(lumo::MakeEditionSendCopy(dir / "book.lx", c.length, dir / "out", copy), 0)
            << c.name;
        EXPECT_EQ(copy, dir / "out" / "book.lx") << c.name;
        EXPECT_EQ(ReadWholeFile(copy), whole.substr(0, c.expectedSize)) << c.name;
        fs::remove(copy);
    }
}

TEST_F(EditionCopyTest, AReadOnlyEditionGivesAWritableCopy) {
    EditionBuilder edition;
    edition.trailingPadding = 10;
    const std::string whole = edition.Build();
    EditionBuilder::WriteFile(dir / "ro.lx", whole);
    fs::permissions(dir / "ro.lx", fs::perms::owner_read | fs::perms::group_read);
    fs::path copy;
    ASSERT_EQ(lumo::MakeEditionSendCopy(
                  dir / "ro.lx", static_cast<std::uint32_t>(whole.size() - 10), dir / "out", copy),
              0);
    EXPECT_EQ(fs::status(copy).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::file_size(copy), whole.size() - 10);
}

TEST_F(EditionCopyTest, NeverWritesThroughAPlantedLink) {
    EditionBuilder().WriteTo(dir / "book.lx");
    Write("victim", "keep");
    fs::create_symlink(dir / "victim", dir / "out" / "book.lx");
    fs::path copy;
    EXPECT_EQ(lumo::MakeEditionSendCopy(dir / "book.lx", 0, dir / "out", copy), 7);
    EXPECT_EQ(ReadWholeFile(dir / "victim"), "keep");
    EXPECT_EQ(lumo::MakeEditionSendCopy(dir / "missing.lx", 0, dir / "out", copy), 7);
}

}  // namespace
