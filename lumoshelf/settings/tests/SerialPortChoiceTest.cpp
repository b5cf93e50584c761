#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "library/SettingsStore.h"
#include "settings/SerialPortChoice.h"

namespace fs = std::filesystem;

namespace {

class SerialPortChoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lumoport-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    CLXSettingsStore Store(const std::string& text) {
        std::ofstream(dir / "settings.ini") << text;
        return CLXSettingsStore((dir / "settings.ini").string());
    }
    fs::path dir;
};

TEST_F(SerialPortChoiceTest, ReadsTheStoredChoices) {
    auto settings =
        Store("[DataComm]\nComPort=COM3\nBaud=15\nShared ComPort=1\nKestrelPort=6000\n");
    const auto choice = lumo::ReadSerialPortChoice(settings);
    EXPECT_EQ(choice.tickedPort, 2);
    EXPECT_TRUE(choice.slowerSpeed);
    EXPECT_TRUE(choice.sharedPort);
    EXPECT_EQ(choice.kestrelPortText, "6000");

    const auto defaults = lumo::ReadSerialPortChoice(Store("[DataComm]\nBaud=31\n"));
    EXPECT_EQ(defaults.tickedPort, -1);
    EXPECT_FALSE(defaults.slowerSpeed);
    EXPECT_FALSE(defaults.sharedPort);
    EXPECT_EQ(defaults.kestrelPortText, "5555");
}

TEST_F(SerialPortChoiceTest, ThePortToStoreWhenNothingIsTicked) {
    struct Case {
        const char* stored;
        int ticked;
        const char* written;
    };
    const Case cases[] = {
        {"com2", -1, "COM1"},  // letter case counts: no choice ticked, OK stores COM1
        {"COM2", 4, "COM5"},
        {"/dev/ttyUSB3", -1, "/dev/ttyUSB3"},  // a device path outside the table stays
        {"/dev/pts/7", 0, "COM1"},
        {"", -1, "COM1"},
    };
    for (const Case& c : cases) {
        auto settings = Store(std::string("[DataComm]\nComPort=") + c.stored + "\n");
        auto choice = lumo::ReadSerialPortChoice(settings);
        if (std::string(c.stored) == "com2") {
            EXPECT_EQ(choice.tickedPort, -1);
        }
        if (c.ticked >= 0) choice.tickedPort = c.ticked;
        lumo::WritePortAndSpeed(settings, choice);
        EXPECT_EQ(settings.StringOr("DataComm", "ComPort"), c.written) << c.stored;
    }
}

TEST_F(SerialPortChoiceTest, WritesSpeedPortNumberAndSharing) {
    auto settings = Store("");
    lumo::SerialPortChoice choice;
    choice.tickedPort = 1;
    choice.slowerSpeed = true;
    choice.sharedPort = true;
    choice.kestrelPortText = "";
    lumo::WritePortAndSpeed(settings, choice);
    lumo::WriteKestrelAndSharing(settings, choice);
    std::uint32_t number = 0;
    ASSERT_TRUE(settings.ReadNumber("DataComm", "Baud", number));
    EXPECT_EQ(number, 15u);
    ASSERT_TRUE(settings.ReadNumber("DataComm", "KestrelPort", number));
    EXPECT_EQ(number, 5555u);
    ASSERT_TRUE(settings.ReadNumber("DataComm", "Shared ComPort", number));
    EXPECT_EQ(number, 1u);

    const std::pair<const char*, std::uint32_t> boxes[] = {
        {"", 5555}, {"0", 5555}, {"abc", 5555}, {"12x", 5555}, {"7000", 7000}};
    for (auto [text, port] : boxes) EXPECT_EQ(lumo::KestrelPortNumber(text), port) << text;
}

}  // namespace
