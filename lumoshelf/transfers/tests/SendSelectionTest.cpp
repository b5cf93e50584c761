#include "TestFolder.h"
#include "library/LXCard.h"
#include "transfers/SendSelection.h"

namespace {

class SendSelectionTest : public TestFolder {
protected:
    CLXCard Card(const std::string& name, bool package = false) {
        CLXCard card;
        card.storedPath = Write(name, "edition").string();
        card.altMagic = package ? 1 : 0;
        return card;
    }
    void AddMarkup(CLXCard& card, const std::string& name, const std::string& readerId,
                   bool onDisk = true) {
        CLXMarkup markup;
        markup.SetFromPath((dir / name).string());
        markup.SetReaderId(readerId);
        if (onDisk) Write(name, "markup");
        card.markups.push_back(markup);
    }
    lumo::SendSelectionPrompts Prompts() {
        return {[this](const std::string& path) { missing.push_back(path); },
                [this] {
                    ++upgradeQuestions;
                    return upgradeAnswer;
                },
                [this] { ++packageRefusals; }};
    }

    std::vector<std::string> missing;
    int upgradeQuestions = 0;
    bool upgradeAnswer = false;
    int packageRefusals = 0;
};

TEST_F(SendSelectionTest, EditionsComeWithTheMarkupsOfTheConnectedReader) {
    CLXCard moby = Card("moby.lx");
    AddMarkup(moby, "moby.la", "sim-reader-7");
    AddMarkup(moby, "moby.lh", "OTHER-READER");
    AddMarkup(moby, "moby.ln", "SIM-READER-7", false);
    CLXCard gone;
    gone.storedPath = (dir / "gone.lx").string();
    CLXCard tale = Card("tale.lx");

    const auto files = lumo::BuildSendList({moby, gone, tale}, "SIM-READER-7", Prompts());
    EXPECT_EQ(files, (std::vector<std::string>{moby.storedPath, (dir / "moby.la").string(),
                                               tale.storedPath}));
    EXPECT_EQ(missing, std::vector<std::string>{gone.storedPath});
}

TEST_F(SendSelectionTest, ASoftwarePackageGoesOnlyAloneAndWhenConfirmed) {
    const CLXCard package = Card("update.lx", true);
    const CLXCard moby = Card("moby.lx");
    const CLXCard tale = Card("tale.lx");

    EXPECT_EQ(lumo::BuildSendList({moby, package, tale}, "R", Prompts()),
              (std::vector<std::string>{moby.storedPath, tale.storedPath}));
    EXPECT_EQ(packageRefusals, 1);
    EXPECT_EQ(upgradeQuestions, 0);

    EXPECT_TRUE(lumo::BuildSendList({package}, "R", Prompts()).empty());
    upgradeAnswer = true;
    EXPECT_EQ(lumo::BuildSendList({package}, "R", Prompts()),
              std::vector<std::string>{package.storedPath});
    EXPECT_EQ(upgradeQuestions, 2);
}

TEST_F(SendSelectionTest, SendNeedsAnIdleConnectedReaderAndATitleOnThePC) {
    CLXCard gone;
    gone.storedPath = (dir / "gone.lx").string();
    const CLXCard moby = Card("moby.lx");
    EXPECT_TRUE(lumo::CanSend(10, false, {gone, moby}));
    EXPECT_FALSE(lumo::CanSend(12, false, {moby}));
    EXPECT_FALSE(lumo::CanSend(11, false, {moby}));
    EXPECT_FALSE(lumo::CanSend(10, true, {moby}));
    EXPECT_FALSE(lumo::CanSend(10, false, {gone}));
    EXPECT_FALSE(lumo::CanSend(10, false, {}));
}

}  // namespace
