#pragma once

#include <array>
#include <cstdint>
#include <string>

class CLXSettingsStore;

namespace lumo {

// The port table of the serial port dialog: six searched ports and the hidden seventh entry.
inline constexpr std::array<const char*, 7> kPortNames = {"COM1", "COM2", "COM3",   "COM4",
                                                          "COM5", "COM6", "KESTREL"};
inline constexpr std::uint32_t kSlowerSpeedMask = 0x0F;
inline constexpr std::uint32_t kFullSpeedMask = 0x1F;
inline constexpr std::uint32_t kDefaultKestrelPort = 5555;

// What the dialog shows and the user chooses, as the "DataComm" settings hold it.
struct SerialPortChoice {
    int tickedPort = -1;  // index into kPortNames, -1 when none is ticked
    bool slowerSpeed = false;
    bool sharedPort = false;
    std::string kestrelPortText;
    std::string storedComPort;  // "ComPort" as it was read
};

SerialPortChoice ReadSerialPortChoice(const CLXSettingsStore& settings);

// "ComPort" to write: the ticked port's name; with none ticked, a stored device path stays (it
// names a port outside the table), anything else becomes "COM1".
std::string ComPortToStore(const SerialPortChoice& choice);
// The number in the port number box; 5555 when it is empty, 0 or not a number.
std::uint32_t KestrelPortNumber(const std::string& text);

// OK, before reconnecting: "ComPort" and "Baud".
void WritePortAndSpeed(CLXSettingsStore& settings, const SerialPortChoice& choice);
// OK, after reconnecting: "KestrelPort" and "Shared ComPort".
void WriteKestrelAndSharing(CLXSettingsStore& settings, const SerialPortChoice& choice);

}  // namespace lumo
