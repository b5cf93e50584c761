#include <gtest/gtest.h>

#include "transfers/ReaderIdentity.h"

namespace {

TEST(ReaderIdentityTest, SplitsTheReplyAtTheFirstSlash) {
    std::string version = "old", identifier = "old";
    ASSERT_TRUE(lumo::SplitVersionAndId("001.024-RM/LUMO/7", version, identifier));
    EXPECT_EQ(version, "001.024-RM");
    EXPECT_EQ(identifier, "LUMO/7");

    version = identifier = "kept";
    EXPECT_FALSE(lumo::SplitVersionAndId("001.024-RM-024-R", version, identifier));
    EXPECT_EQ(version, "kept");
    EXPECT_EQ(identifier, "kept");
}

TEST(ReaderIdentityTest, ABlankSystemReportsVersionZero) {
    EXPECT_TRUE(lumo::IsBlankSystemVersion("000.000"));
    EXPECT_TRUE(lumo::IsBlankSystemVersion("000.000-RM-000-R"));
    EXPECT_FALSE(lumo::IsBlankSystemVersion("000.001"));
    EXPECT_FALSE(lumo::IsBlankSystemVersion("000.00"));
    EXPECT_FALSE(lumo::IsBlankSystemVersion(""));
}

}  // namespace
