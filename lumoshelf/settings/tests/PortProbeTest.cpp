#include <gtest/gtest.h>

#include "PtyPort.h"
#include "settings/PortProbe.h"

namespace {

TEST(PortProbeTest, TellsAbsentFreeAndHeldPortsApart) {
    PtyPort free;
    PtyPort held;
    ASSERT_TRUE(held.Hold());
    std::string errorText;
    EXPECT_EQ(lumo::ProbeSerialPort("/dev/lumo-no-such-port", errorText), lumo::kPortAbsent);
    EXPECT_EQ(lumo::ProbeSerialPort(free.Path(), errorText), lumo::kPortPresent);
    EXPECT_EQ(lumo::ProbeSerialPort(held.Path(), errorText), lumo::kPortInUse);
    EXPECT_TRUE(errorText.empty());
}

TEST(PortProbeTest, OtherFailuresAreUnknownWithTheSystemText) {
    std::string errorText;
    // A path through a regular file fails with "Not a directory".
    EXPECT_EQ(lumo::ProbeSerialPort("/proc/self/exe/port", errorText), lumo::kPortUnknown);
    EXPECT_FALSE(errorText.empty());
}

TEST(PortProbeTest, StatusLineTexts) {
    EXPECT_STREQ(lumo::PortProbeText(lumo::kPortAbsent), "Port Absent");
    EXPECT_STREQ(lumo::PortProbeText(lumo::kPortPresent), "Port Present");
    EXPECT_STREQ(lumo::PortProbeText(lumo::kPortInUse), "Port Present, Other Device Attached");
    EXPECT_STREQ(lumo::PortProbeText(lumo::kPortUnknown), "Unknown");
}

}  // namespace
