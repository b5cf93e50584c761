#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "transfers/PrivateTempDir.h"

namespace fs = std::filesystem;

TEST(PrivateTempDirTest, IsOursAloneAndNeverFollowsPlantedLinks) {
    const fs::path& folder = lumo::PrivateTempDir();
    EXPECT_EQ(folder.parent_path(), fs::temp_directory_path());
    EXPECT_EQ(&folder, &lumo::PrivateTempDir());
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    const int fd = lumo::CreatePrivateFile(folder / "__STATUS");
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::fstat(fd, &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ::close(fd);

    const fs::path victim = folder / "victim";
    std::ofstream(victim) << "keep";
    fs::create_symlink(victim, folder / "__TITLES");
    EXPECT_LT(lumo::CreatePrivateFile(folder / "__TITLES"), 0);
    std::ifstream in(victim);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "keep");
    fs::remove(folder / "__TITLES");
    fs::remove(victim);
    fs::remove(folder / "__STATUS");
}
