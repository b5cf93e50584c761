#include "library/SerialPortName.h"

#include <array>

#include "library/FileUtil.h"
#include "library/SettingsStore.h"

std::string ResolveSerialPortName(const std::string& portName, const CLXSettingsStore& settings) {
    static const std::array<const char*, 6> devices = {
        "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyACM1"};
    if (portName.size() == 4 && lumo::EqualsNoCase(portName.substr(0, 3), "COM") &&
        portName[3] >= '1' && portName[3] <= '6') {
        const std::string canonical = "COM" + portName.substr(3);
        std::string mapped;
        if (settings.ReadString("DataComm", canonical, mapped) && !mapped.empty()) return mapped;
        return devices[static_cast<size_t>(portName[3] - '1')];
    }
    return portName;
}
