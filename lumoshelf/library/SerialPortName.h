#pragma once

#include <string>

class CLXSettingsStore;

// The device path for a port name. "COM1" to "COM6" (any letter case) map to the setting
// "DataComm"/"COMn" when it holds a path, else to /dev/ttyS0, /dev/ttyS1, /dev/ttyUSB0,
// /dev/ttyUSB1, /dev/ttyACM0, /dev/ttyACM1 in that order. Any other name is taken as a path.
std::string ResolveSerialPortName(const std::string& portName, const CLXSettingsStore& settings);
