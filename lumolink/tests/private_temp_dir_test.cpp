// lumolink's private temporary folder lives as long as the process that made it.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace lumolink::testing {
namespace {

TEST(PrivateTempDir, IsRemovedWhenTheProcessEnds) {
    FILE* child = popen(LUMOLINK_TEMP_DIR_PROBE, "r");
    ASSERT_NE(child, nullptr);
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, child) != nullptr) output += buffer;
    ASSERT_EQ(pclose(child), 0) << output;
    const std::string folder = output.substr(0, output.find('\n'));
    EXPECT_NE(folder.find("lumolink-"), std::string::npos) << folder;
    EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace
}  // namespace lumolink::testing
