#pragma once

#include <string>

namespace lumo {

// What opening a serial port showed.
enum PortProbeCode : int {
    kPortAbsent = 0,
    kPortPresent = 1,
    kPortInUse = 2,  // exists, but another program holds it
    kPortUnknown = 4,
};

// Opens the device for reading and writing, exclusively, and closes it again. A missing device,
// one without hardware behind it (a serial driver's placeholder) counts as absent; a device that
// is busy, locked or not ours to open counts as in use. Any other failure is unknown, with the
// system's text for it in errorText.
PortProbeCode ProbeSerialPort(const std::string& devicePath, std::string& errorText);

// The status line text for a probe code.
const char* PortProbeText(PortProbeCode code);

}  // namespace lumo
