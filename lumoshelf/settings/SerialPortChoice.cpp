#include "settings/SerialPortChoice.h"

#include <charconv>

#include "library/SettingsStore.h"

namespace lumo {

SerialPortChoice ReadSerialPortChoice(const CLXSettingsStore& settings) {
    SerialPortChoice choice;
    std::uint32_t number = 0;
    choice.slowerSpeed =
        settings.ReadNumber("DataComm", "Baud", number) && number == kSlowerSpeedMask;
    choice.sharedPort = settings.ReadNumber("DataComm", "Shared ComPort", number) && number != 0;
    choice.storedComPort = settings.StringOr("DataComm", "ComPort");
    for (std::size_t i = 0; i < kPortNames.size(); ++i) {
        if (choice.storedComPort == kPortNames[i]) choice.tickedPort = static_cast<int>(i);
    }
    const bool hasKestrel = settings.ReadNumber("DataComm", "KestrelPort", number);
    choice.kestrelPortText = std::to_string(hasKestrel ? number : kDefaultKestrelPort);
    return choice;
}

std::string ComPortToStore(const SerialPortChoice& choice) {
    if (choice.tickedPort >= 0 && choice.tickedPort < static_cast<int>(kPortNames.size())) {
        return kPortNames[choice.tickedPort];
    }
    if (choice.storedComPort.find('/') != std::string::npos) return choice.storedComPort;
    return "COM1";
}

std::uint32_t KestrelPortNumber(const std::string& text) {
    std::uint32_t number = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, number);
    if (error != std::errc() || last != end || number == 0) return kDefaultKestrelPort;
    return number;
}

void WritePortAndSpeed(CLXSettingsStore& settings, const SerialPortChoice& choice) {
    settings.WriteString(ComPortToStore(choice), "DataComm", "ComPort");
    settings.WriteNumber(choice.slowerSpeed ? kSlowerSpeedMask : kFullSpeedMask, "DataComm",
                         "Baud");
}

void WriteKestrelAndSharing(CLXSettingsStore& settings, const SerialPortChoice& choice) {
    settings.WriteNumber(KestrelPortNumber(choice.kestrelPortText), "DataComm", "KestrelPort");
    settings.WriteNumber(choice.sharedPort ? 1 : 0, "DataComm", "Shared ComPort");
}

}  // namespace lumo
