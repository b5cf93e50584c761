#include "ui/StartupSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "library/SettingsStore.h"

namespace fs = std::filesystem;

namespace {

class StartupSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("lumostartup-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    CLXSettingsStore store() { return CLXSettingsStore((folder_ / "settings.ini").string()); }

    fs::path folder_;
};

}  // namespace

TEST_F(StartupSettingsTest, FirstStartWritesTheServerDefaultsAndTheCurrentServer) {
    CLXSettingsStore settings = store();
    settings.WriteString((folder_ / "lib").string(), "Data Locations", "LibraryDir");
    WriteStartupDefaults(settings);

    EXPECT_EQ(settings.StringOr("Registration", "Host"), kDefaultServerHost);
    EXPECT_EQ(settings.StringOr("Registration", "CurrentHost"), kDefaultServerHost);
    EXPECT_EQ(settings.StringOr("Registration", "Script"), "/lx_orva.cgi");
    EXPECT_EQ(settings.StringOr("Registration", "CurrentScript"), "/lx_orva.cgi");
    EXPECT_EQ(settings.StringOr("Registration", "KnownFirmwareVersion"), "001.024-RM-024-R");
    EXPECT_EQ(settings.StringOr("Online", "SupportUrl"), kDefaultSupportUrl);
    std::uint32_t number = 1;
    EXPECT_TRUE(settings.ReadNumber("Registration", "CurrentPort", number));
    EXPECT_EQ(number, 80u);
    EXPECT_TRUE(settings.ReadNumber("Registration", "UseProxy", number));
    EXPECT_EQ(number, 0u);
    EXPECT_TRUE(settings.ReadNumber("SelfPublishing", "Counter", number));
    EXPECT_EQ(number, 0u);
    EXPECT_EQ(settings.StringOr("Data Locations", "SelfPublishingDir"),
              (folder_ / "lib" / "SelfPublishing").string());
}

TEST_F(StartupSettingsTest, HandChangedValuesSurviveAndMissingCurrentHostFollowsHost) {
    CLXSettingsStore settings = store();
    settings.WriteString("books.example.org", "Registration", "Host");
    settings.WriteNumber(7, "SelfPublishing", "Counter");
    settings.WriteString("/old/place", "Data Locations", "SelfPublishingDir");
    settings.WriteString((folder_ / "lib").string(), "Data Locations", "LibraryDir");
    WriteStartupDefaults(settings);

    EXPECT_EQ(settings.StringOr("Registration", "Host"), "books.example.org");
    EXPECT_EQ(settings.StringOr("Registration", "CurrentHost"), "books.example.org");
    std::uint32_t counter = 0;
    settings.ReadNumber("SelfPublishing", "Counter", counter);
    EXPECT_EQ(counter, 7u);
    // Always rewritten below the library folder.
    EXPECT_EQ(settings.StringOr("Data Locations", "SelfPublishingDir"),
              (folder_ / "lib" / "SelfPublishing").string());
}

TEST_F(StartupSettingsTest, LibraryLocationChecks) {
    fs::create_directories(folder_ / "lib");
    std::ofstream(folder_ / "plain-file") << "x";
    struct Case {
        const char* libraryDir;  // nullptr: value missing
        const char* libraryFile;
        unsigned error;
    };
    const Case cases[] = {
        {nullptr, "library.lxl", 61462},   {"lib", nullptr, 61463},
        {"missing", "library.lxl", 61465}, {"plain-file", "library.lxl", 61465},
        {"lib", "library.lxl", 0},
    };
    for (const Case& c : cases) {
        fs::remove(folder_ / "settings.ini");
        CLXSettingsStore settings = store();
        if (c.libraryDir)
            settings.WriteString((folder_ / c.libraryDir).string(), "Data Locations", "LibraryDir");
        if (c.libraryFile) settings.WriteString(c.libraryFile, "Data Locations", "LibraryFile");
        const LibraryLocation location = FindLibraryLocation(settings);
        EXPECT_EQ(location.error, c.error) << (c.libraryDir ? c.libraryDir : "(none)");
        if (c.error == 0) {
            EXPECT_EQ(location.libraryPath, (folder_ / "lib" / "library.lxl").string());
        }
    }
}

TEST_F(StartupSettingsTest, SerialPortAndLinkLogSettings) {
    CLXSettingsStore settings = store();
    EXPECT_FALSE(HasSerialPortSetting(settings));
    settings.WriteString("", "DataComm", "ComPort");
    EXPECT_FALSE(HasSerialPortSetting(settings));
    settings.WriteString("COM1", "DataComm", "ComPort");
    EXPECT_TRUE(HasSerialPortSetting(settings));

    EXPECT_EQ(LinkLogPath(settings), "");
    settings.WriteString("/tmp/link.log", "LOGFILE", "NAME");
    EXPECT_EQ(LinkLogPath(settings), "/tmp/link.log");
}

TEST(ProductVersion, FirstThreePartsOfTheBuildVersion) {
    const std::pair<const char*, const char*> cases[] = {
        {"1.0.0", "1.0.0"}, {"2.4.1.977", "2.4.1"}, {"3.1", ""}, {"", ""}, {"7", ""},
    };
    for (const auto& [build, product] : cases)
        EXPECT_EQ(ProductVersionFrom(build), product) << build;
    EXPECT_FALSE(ProductVersion().empty());
}
