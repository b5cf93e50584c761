#include "library/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "TempFolder.h"
#include "library/SerialPortName.h"
#include "library/SettingsPaths.h"

namespace {

TEST(SettingsStore, WritesReadsAndKeepsCommentsAndUnknownEntries) {
    TempFolder folder;
    const std::string path = folder / "conf/settings.ini";
    WriteTextFile(path,
                  "; written by hand\n[Data Locations]\r\nBookDir=/old books \nOther Key=x=y\n"
                  "# keep me\n[Unknown]\nA=1\n");
    CLXSettingsStore store(path);

    std::string text;
    ASSERT_TRUE(store.ReadString("data locations", "bookdir", text));
    EXPECT_EQ(text, "/old books ");  // the rest of the line as it stands
    ASSERT_TRUE(store.ReadString("Data Locations", "Other Key", text));
    EXPECT_EQ(text, "x=y");

    EXPECT_TRUE(store.WriteString("/new", "Data Locations", "BookDir"));
    EXPECT_TRUE(store.WriteNumber(42, "Data Locations", "Count"));
    EXPECT_TRUE(store.WriteString("v", "Fresh", "Name With Blanks"));

    std::uint32_t number = 0;
    ASSERT_TRUE(store.ReadNumber("Data Locations", "Count", number));
    EXPECT_EQ(number, 42u);
    EXPECT_EQ(store.StringOr("Fresh", "Name With Blanks"), "v");
    EXPECT_EQ(store.StringOr("Data Locations", "BookDir"), "/new");
    const std::string file = ReadTextFile(path);
    for (const char* kept : {"; written by hand", "# keep me", "[Unknown]", "A=1", "Other Key=x=y"})
        EXPECT_NE(file.find(kept), std::string::npos) << kept;
    // The new value joins its own section rather than the end of the file.
    EXPECT_LT(file.find("Count=42"), file.find("[Unknown]"));
}

TEST(SettingsStore, MissingAndMalformedValues) {
    TempFolder folder;
    CLXSettingsStore store(folder / "settings.ini");
    std::string text;
    std::uint32_t number = 7;
    EXPECT_FALSE(store.ReadString("DataComm", "ComPort", text));
    WriteTextFile(store.Path(), "[DataComm]\nBaud=12x\nHuge=4294967296\nEmpty=\n");
    EXPECT_FALSE(store.ReadNumber("DataComm", "Baud", number));
    EXPECT_FALSE(store.ReadNumber("DataComm", "Huge", number));
    EXPECT_FALSE(store.ReadNumber("DataComm", "Empty", number));
    EXPECT_EQ(number, 7u);
    ASSERT_TRUE(store.ReadString("DataComm", "Empty", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(store.WriteString("two\nlines", "DataComm", "ComPort"));
}

TEST(SettingsStore, EnsureWritesOnlyMissingValues) {
    TempFolder folder;
    CLXSettingsStore store(folder / "settings.ini");
    ASSERT_TRUE(store.WriteString("my.host", "Registration", "Host"));
    EXPECT_TRUE(store.EnsureString("Registration", "Host", "default.host"));
    EXPECT_TRUE(store.EnsureNumber("Registration", "Port", 80));
    EXPECT_TRUE(store.WriteNumber(8080, "Registration", "Port"));
    EXPECT_TRUE(store.EnsureNumber("Registration", "Port", 80));
    EXPECT_EQ(store.StringOr("Registration", "Host"), "my.host");
    EXPECT_EQ(store.StringOr("Registration", "Port"), "8080");
}

TEST(SettingsStore, SectionNamedByTheReaderCannotBreakTheFile) {
    TempFolder folder;
    CLXSettingsStore store(folder / "settings.ini");
    const std::string hostile = "ab]\n[Data Locations]\nBookDir=/etc%";
    ASSERT_TRUE(store.WriteNumber(2, hostile, "Upload Markups"));
    ASSERT_TRUE(store.WriteString("x", "Plain", "a=b"));
    ASSERT_TRUE(store.WriteString("y", " ;edge ", " name "));
    EXPECT_EQ(store.StringOr(" ;edge ", " name "), "y");
    std::string text;
    EXPECT_FALSE(store.ReadString("Data Locations", "BookDir", text));
    EXPECT_EQ(store.StringOr(hostile, "Upload Markups"), "2");
    EXPECT_EQ(store.StringOr("Plain", "a=b"), "x");
    EXPECT_EQ(DecodeSettingsName(EncodeSettingsSectionName(hostile)), hostile);
}

TEST(SettingsStore, WritesAtomicallyAndLeavesNoTemporaryFiles) {
    TempFolder folder;
    CLXSettingsStore store(folder / "settings.ini");
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(store.WriteNumber(i, "S", "V"));
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(SettingsPaths, EnvironmentDecidesWhereSettingsLive) {
    TempFolder folder;
    ::setenv("LUMOSHELF_SETTINGS", (folder / "explicit.ini").c_str(), 1);
    EXPECT_EQ(DefaultSettingsPath(), folder / "explicit.ini");
    ::unsetenv("LUMOSHELF_SETTINGS");
    ::setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1);
    EXPECT_EQ(DefaultSettingsPath(), folder / "lumoshelf/settings.ini");
    EXPECT_EQ(ProfilePathFor(DefaultSettingsPath()), folder / "lumoshelf/profile.ini");

    ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    CLXSettingsStore store(DefaultSettingsPath());
    EXPECT_TRUE(WriteInstallDefaults(store));
    EXPECT_EQ(store.StringOr("Data Locations", "LibraryDir"), folder / "data/lumoshelf");
    EXPECT_EQ(store.StringOr("Data Locations", "LibraryFile"), "library.lxl");
    EXPECT_EQ(store.StringOr("Data Locations", "BookDir"), folder / "data/lumoshelf/Books");
    EXPECT_EQ(store.StringOr("Data Locations", "AutoAddDir"), folder / "data/lumoshelf/AutoAdd");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "data/lumoshelf/Books"));
    // Only a fresh install gets them; afterwards the user's values stand.
    ASSERT_TRUE(store.WriteString("/mine", "Data Locations", "BookDir"));
    EXPECT_FALSE(WriteInstallDefaults(store));
    EXPECT_EQ(store.StringOr("Data Locations", "BookDir"), "/mine");
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_HOME");
}

TEST(SerialPortName, ComNamesMapToDevicesOrSettings) {
    TempFolder folder;
    CLXSettingsStore store(folder / "settings.ini");
    ASSERT_TRUE(store.WriteString("/dev/pts/7", "DataComm", "COM3"));
    struct Case {
        const char* name;
        const char* device;
    } cases[] = {{"COM1", "/dev/ttyS0"},   {"com2", "/dev/ttyS1"},
                 {"COM3", "/dev/pts/7"},   {"COM4", "/dev/ttyUSB1"},
                 {"COM5", "/dev/ttyACM0"}, {"COM6", "/dev/ttyACM1"},
                 {"COM7", "COM7"},         {"/tmp/sim-port", "/tmp/sim-port"}};
    for (const Case& c : cases) EXPECT_EQ(ResolveSerialPortName(c.name, store), c.device) << c.name;
}

}  // namespace

#include "library/LibraryLocation.h"

namespace {

TEST(LibraryLocation, NeedsBothValuesAndAnExistingFolder) {
    TempFolder folder;
    CLXSettingsStore store(folder / "settings.ini");
    std::string path;
    EXPECT_EQ(LocateLibraryFile(store, path), 61462);
    store.WriteString(folder / "lib", "Data Locations", "LibraryDir");
    EXPECT_EQ(LocateLibraryFile(store, path), 61463);
    store.WriteString("library.lxl", "Data Locations", "LibraryFile");
    EXPECT_EQ(LocateLibraryFile(store, path), 61465);
    std::filesystem::create_directory(folder / "lib");
    EXPECT_EQ(LocateLibraryFile(store, path), 0);
    EXPECT_EQ(path, folder / "lib/library.lxl");
}

}  // namespace
