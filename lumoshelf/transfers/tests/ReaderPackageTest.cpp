#include "EditionBuilder.h"
#include "TestFolder.h"
#include "library/LibraryInterfaces.h"
#include "transfers/ReaderPackage.h"

using namespace testing_editions;
namespace fs = std::filesystem;

namespace {

class ReaderPackageTest : public TestFolder {};

EditionBuilder Package(std::vector<Entry> entries) {
    EditionBuilder builder;
    builder.magic = kPackageMagic;
    builder.entries = std::move(entries);
    return builder;
}

TEST_F(ReaderPackageTest, ListsThePartsToSendAndTheirFileTypes) {
    const std::string image = SystemImage(3, std::string(500, 'k'));
    Package({{"kernel.bin", image},
             {"wait", "x"},
             {"notes.info", "about"},
             {"WAIT", std::string(100, 'w')},
             {"fonts.dat", std::string(100, 'f')}})
        .WriteTo(dir / "update.lx");

    lumo::ReaderPackage package;
    ASSERT_EQ(package.Open(dir / "update.lx"), 0);
    ASSERT_EQ(package.Parts().size(), 5u);
    const auto parts = package.PartsToSend();
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].name, "kernel.bin");
    EXPECT_EQ(parts[1].name, "WAIT");
    EXPECT_EQ(parts[2].name, "fonts.dat");

    int fileType = -1;
    ASSERT_EQ(package.ReadPartFileType(parts[0], fileType), 0);
    EXPECT_EQ(fileType, 6);
    ASSERT_EQ(package.ReadPartFileType(parts[1], fileType), 0);
    EXPECT_EQ(fileType, 0);

    ASSERT_EQ(package.WritePart(parts[0], dir / "kernel.bin"), 0);
    EXPECT_EQ(ReadWholeFile(dir / "kernel.bin"), image);
    EXPECT_EQ(fs::status(dir / "kernel.bin").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(ReaderPackageTest, SystemImageTypeCodesGiveTheLinkFileTypes) {
    const std::pair<int, int> table[] = {{1, 2}, {2, 5}, {3, 6}, {4, 10}, {5, 11}, {0, 0}, {9, 0}};
    for (auto [code, fileType] : table) {
        EXPECT_EQ(SystemImageFileType(static_cast<unsigned>(code)), fileType) << code;
    }
}

TEST_F(ReaderPackageTest, RefusesDamagedTablesAndUnsafeNames) {
    auto hugeCount = Package({{"a.bin", "data"}});
    hugeCount.countOverride = 0x7FFFFFFF;
    const std::vector<std::pair<std::string, EditionBuilder>> cases = {
        {"count past the end", hugeCount},
        {"part past the end", Package({{"a.bin", "data", 0, 0xC0000000u}})},
        {"offset past the end", Package({{"a.bin", "data", 0, std::nullopt, 0xFFFFFF00u}})},
        {"climbing name", Package({{"../../.profile", "data"}})},
        {"folder name", Package({{"sub/a.bin", "data"}})},
        {"backslash name", Package({{"sub\\a.bin", "data"}})},
        {"dot dot", Package({{"..", "data"}})},
        {"empty name", Package({{"", "data"}})},
        {"control byte", Package({{"a\x01.bin", "data"}})},
    };
    for (const auto& [name, builder] : cases) {
        builder.WriteTo(dir / "bad.lx");
        lumo::ReaderPackage package;
        EXPECT_EQ(package.Open(dir / "bad.lx"), 7) << name;
    }
    EditionBuilder::WriteFile(dir / "short.lx", std::string(200, '\0'));
    lumo::ReaderPackage package;
    EXPECT_EQ(package.Open(dir / "short.lx"), 7);
    EXPECT_EQ(package.Open(dir / "missing.lx"), 7);
}

TEST_F(ReaderPackageTest, ANameOfThirtyTwoBytesEndsAtTheField) {
    const std::string name(32, 'n');
    Package({{name, SystemImage(1, "body")}}).WriteTo(dir / "p.lx");
    lumo::ReaderPackage package;
    ASSERT_EQ(package.Open(dir / "p.lx"), 0);
    ASSERT_EQ(package.Parts().size(), 1u);
    EXPECT_EQ(package.Parts()[0].name, name);
    EXPECT_EQ(package.Parts()[0].length, 81u);
}

TEST_F(ReaderPackageTest, APartWithoutRoomForItsHeaderIsRefused) {
    // The last part ends the file before a whole system image header could be read.
    Package({{"tiny.bin", "abc"}}).WriteTo(dir / "p.lx");
    lumo::ReaderPackage package;
    ASSERT_EQ(package.Open(dir / "p.lx"), 0);
    int fileType = 0;
    EXPECT_EQ(package.ReadPartFileType(package.Parts()[0], fileType), 7);
}

}  // namespace
