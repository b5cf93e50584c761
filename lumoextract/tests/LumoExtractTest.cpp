#include <gtest/gtest.h>
#include <unistd.h>

#include "EditionBuilder.h"
#include "lumoextract/LumoExtract.h"

namespace fs = std::filesystem;
using namespace testing_editions;

namespace {

class LumoExtractTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lumoextract-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(LumoExtractTest, ExtractsThePackageEntryOfAnEdition) {
    EditionBuilder edition;
    edition.entries = {{"info", "Title=X\n", 2}, {"package.opf", PackageXml("Moby Dick")}};
    edition.WriteTo(dir / "book.lx");

    CLumoExtractDLL extractor;
    ASSERT_EQ(extractor.Open((dir / "book.lx").c_str()), 0);
    std::string extracted;
    ASSERT_EQ(extractor.ExtractPackageFile(dir.c_str(), extracted), 0);
    extractor.Close();
    EXPECT_EQ(fs::path(extracted), dir / "package.opf");
    EXPECT_EQ(ReadWholeFile(extracted), PackageXml("Moby Dick"));
}

TEST_F(LumoExtractTest, RefusesFilesThatHoldNoReadablePackage) {
    EditionBuilder noPackage;
    noPackage.entries = {{"info", "Title=X\n", 2}};
    EditionBuilder wrongMagic;
    wrongMagic.magic = kPackageMagic;
    wrongMagic.entries = {{"package.opf", PackageXml("X")}};
    EditionBuilder entryPastEnd;
    entryPastEnd.entries = {{"package.opf", "<a/>", 0, 0xFFFFFFF0u}};
    EditionBuilder hugeCount;
    hugeCount.entries = {{"package.opf", "<a/>"}};
    hugeCount.countOverride = 0x7FFFFFFF;

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"no package entry", noPackage.Build()},      {"not an edition", wrongMagic.Build()},
        {"entry past the end", entryPastEnd.Build()}, {"count past the end", hugeCount.Build()},
        {"short header", std::string(100, '\0')},
    };
    for (const auto& [name, bytes] : cases) {
        EditionBuilder::WriteFile(dir / "f.lx", bytes);
        CLumoExtractDLL extractor;
        EXPECT_NE(extractor.Open((dir / "f.lx").c_str()), 0) << name;
        std::string extracted;
        EXPECT_NE(extractor.ExtractPackageFile(dir.c_str(), extracted), 0) << name;
    }
    CLumoExtractDLL extractor;
    EXPECT_NE(extractor.Open((dir / "missing.lx").c_str()), 0);
}

TEST_F(LumoExtractTest, DoesNotWriteThroughASymbolicLink) {
    EditionBuilder edition;
    edition.entries = {{"package.opf", PackageXml("X")}};
    edition.WriteTo(dir / "book.lx");
    EditionBuilder::WriteFile(dir / "victim", "keep");
    fs::create_directory(dir / "out");
    fs::create_symlink(dir / "victim", dir / "out" / "package.opf");

    CLumoExtractDLL extractor;
    ASSERT_EQ(extractor.Open((dir / "book.lx").c_str()), 0);
    std::string extracted;
    EXPECT_NE(extractor.ExtractPackageFile((dir / "out").c_str(), extracted), 0);
    EXPECT_EQ(ReadWholeFile(dir / "victim"), "keep");
}

}  // namespace
