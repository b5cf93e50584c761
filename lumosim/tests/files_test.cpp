#include <gtest/gtest.h>

#include "lumosim/Flash.h"
#include "lumosim/ReaderFiles.h"
#include "lumosim/ReaderSettings.h"
#include "lumosim/harness/TestFiles.h"

namespace lumosim {
namespace {

using testing::Bytes;

TEST(FlashTest, RemoteNamesBecomeOneSafeComponent) {
    struct Case {
        const char* remote;
        const char* stored;  // nullptr: refused
    };
    const Case cases[] = {
        {"Book.lx", "Book.lx"},
        {"dir/Book.lx", "Book.lx"},
        {"C:\\books\\Book.lx", "Book.lx"},
        {"../../etc/passwd", "passwd"},
        {"..", nullptr},
        {"a/..", nullptr},
        {"", nullptr},
        {"dir/", nullptr},
        {".hidden", nullptr},
        {"bad\nname", nullptr},
    };
    for (const Case& c : cases) {
        const auto name = Flash::SafeName(c.remote);
        if (c.stored) {
            EXPECT_EQ(name, c.stored) << c.remote;
        } else {
            EXPECT_FALSE(name) << c.remote;
        }
    }
}

TEST(FlashTest, NamesDifferingInCaseAreOneFile) {
    testing::TempFolder folder;
    Flash flash(folder.Path(), 1000);
    ASSERT_TRUE(flash.Write("Book.LX", Bytes("old")));
    ASSERT_TRUE(flash.Write("book.lx", Bytes("new!")));
    EXPECT_EQ(flash.ListNames(), std::vector<std::string>{"book.lx"});
    EXPECT_EQ(flash.Read("BOOK.lx"), Bytes("new!"));
    EXPECT_EQ(flash.FreeBytes(), 996u);
}

class ReaderFilesTest : public ::testing::Test {
protected:
    testing::TempFolder folder_;
    Flash flash_{folder_.Path(), 10000};
    ReaderSettings settings_;
    ReaderFiles files_{flash_, settings_};
};

TEST_F(ReaderFilesTest, PaddingPastTheAnnouncedSizeIsNotStored) {
    const uint8_t handle = files_.Create("note.txt", 5);
    ASSERT_NE(handle, 0);
    std::vector<uint8_t> chunk = Bytes("hello");
    chunk.resize(512, 0xAA);  // a short chunk rounded up to 512 bytes
    const ReaderFiles::Padding padding = files_.Append(chunk);
    EXPECT_EQ(padding.bytes, 507u);
    EXPECT_EQ(padding.nonZero, 507u);
    EXPECT_TRUE(files_.Close().stored);
    EXPECT_EQ(testing::ReadFile(folder_.Path() / "note.txt"), Bytes("hello"));
}

TEST_F(ReaderFilesTest, RefusalsGiveHandleZero) {
    files_.SetRefused({"*.LXF", "secret*"});
    EXPECT_EQ(files_.Create("large.lxf", 10), 0);
    EXPECT_EQ(files_.Create("secret.txt", 10), 0);
    EXPECT_EQ(files_.Create("big.lx", 10001), 0);  // does not fit the flash
    EXPECT_EQ(files_.Open("missing.lx"), 0);
    EXPECT_EQ(files_.Create("..", 1), 0);
    EXPECT_NE(files_.Create("__CMDFILE", 10), 0);
}

TEST_F(ReaderFilesTest, AReplacedFileGivesItsRoomToTheNewOne) {
    ASSERT_TRUE(flash_.Write("big.lx", std::vector<uint8_t>(6000)));
    EXPECT_EQ(files_.Create("other.lx", 5000), 0);
    EXPECT_NE(files_.Create("BIG.lx", 9000), 0);
}

TEST_F(ReaderFilesTest, HandlesCountUpAndWrapPastZero) {
    files_.SetFirstHandle(254);
    EXPECT_EQ(files_.Create("a", 1), 254);
    EXPECT_EQ(files_.Create("a", 1), 255);
    EXPECT_EQ(files_.Create("a", 1), 1);
}

TEST_F(ReaderFilesTest, ReadsInBlocksOf2048AndEndsWithAShortOne) {
    for (std::size_t size : {0u, 100u, 2048u, 5000u}) {
        ASSERT_TRUE(flash_.Write("f.bin", std::vector<uint8_t>(size, 7)));
        ASSERT_NE(files_.Open("F.BIN"), 0);
        EXPECT_EQ(files_.Size(), size);
        std::vector<std::size_t> blocks;
        for (;;) {
            const std::size_t length = files_.NextBlock().size();
            blocks.push_back(length);
            if (length < 2048) break;
        }
        std::size_t total = 0;
        for (std::size_t b : blocks) total += b;
        EXPECT_EQ(total, size);
        EXPECT_EQ(blocks.size(), size / 2048 + 1) << size;
        files_.Close();
    }
}

TEST_F(ReaderFilesTest, StatusAndTitlesAreMadeWhenOpened) {
    ASSERT_NE(files_.Open("__STATUS"), 0);
    const auto status = files_.NextBlock();
    EXPECT_NE(std::string(status.begin(), status.end()).find("DEVICEID=\"LUMOSIM-0001\""),
              std::string::npos);
    files_.Close();
    ASSERT_NE(files_.Open("__TITLES"), 0);
    EXPECT_GT(files_.Size(), 0u);
}

TEST_F(ReaderFilesTest, ACommandFileIsAppliedAndNotStored) {
    const std::string text = "CMD!\r\nSETTZONE 3\r\n";
    ASSERT_NE(files_.Create("__CMDFILEtime", static_cast<uint32_t>(text.size())), 0);
    files_.Append(Bytes(text));
    EXPECT_FALSE(files_.Close().stored);
    EXPECT_EQ(settings_.timeZone, 3);
    EXPECT_TRUE(flash_.ListNames().empty());
}

}  // namespace
}  // namespace lumosim
