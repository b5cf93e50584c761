#include "EditionBuilder.h"
#include "TestFolder.h"
#include "transfers/LocalNameStage.h"

namespace fs = std::filesystem;

namespace {

class LocalNameStageTest : public TestFolder {
protected:
    fs::path LongFolder() {
        fs::path folder = dir;
        while (folder.string().size() < 260) folder /= std::string(40, 'd');
        fs::create_directories(folder);
        return folder;
    }
};

TEST_F(LocalNameStageTest, ShortNamesAreUsedAsTheyStand) {
    const auto path = Write("a.lx", "x").string();
    lumo::LocalNameStage stage(path, lumo::LocalNameStage::Direction::Send);
    EXPECT_TRUE(stage.Ok());
    EXPECT_EQ(stage.LinkName(), path);
}

TEST_F(LocalNameStageTest, ALongPathIsSentUnderAShortName) {
    const fs::path source = LongFolder() / "book.lx";
    std::ofstream(source) << "edition bytes";
    std::string linkName;
    {
        lumo::LocalNameStage stage(source.string(), lumo::LocalNameStage::Direction::Send);
        ASSERT_TRUE(stage.Ok());
        linkName = stage.LinkName();
        EXPECT_LE(linkName.size(), lumo::LocalNameStage::kMaxLinkName);
        EXPECT_EQ(testing_editions::ReadWholeFile(linkName), "edition bytes");
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(linkName)));
    EXPECT_TRUE(fs::exists(source));
}

TEST_F(LocalNameStageTest, ALongPathIsReceivedUnderAShortNameAndMovedIntoPlace) {
    const fs::path target = LongFolder() / "notes.la";
    std::ofstream(target) << "old";
    lumo::LocalNameStage stage(target.string(), lumo::LocalNameStage::Direction::Receive);
    ASSERT_TRUE(stage.Ok());
    ASSERT_LE(stage.LinkName().size(), lumo::LocalNameStage::kMaxLinkName);
    std::ofstream(stage.LinkName()) << "fetched";
    ASSERT_TRUE(stage.FinishReceive());
    EXPECT_EQ(testing_editions::ReadWholeFile(target), "fetched");
}

}  // namespace
