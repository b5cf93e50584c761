#pragma once

// A serial device opened for the link: exclusive (flock and TIOCEXCL), raw 8N1 without flow
// control, RTS held on. Non-blocking; the communication thread polls fd().

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "lumolink/PppTypes.h"

namespace lumolink {

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort() { Close(); }
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // PPP_CONN_ERR_SUCCESS, or PPP_CONN_ERR_CANT_ACCESS_PORT with LastOsError() set.
    PPP_CONN_ERR Open(const std::string& path);
    // Raw mode and the given bit rate; one of the five link speeds.
    PPP_CONN_ERR SetSpeed(int bitsPerSecond);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    int LastOsError() const { return lastOsError_; }

    // Reads what is there without waiting: bytes read, 0 when nothing is waiting, -1 on a
    // read error (LastOsError() set).
    long ReadAvailable(std::span<uint8_t> buffer);

    // Writes every byte, waiting at most waitMs for the line to take more each time it is full;
    // wakeFd, when readable, ends the wait early. Returns false when the frame did not go out
    // whole (LastOsError() set, 0 for a wait that timed out).
    bool WriteAll(std::span<const uint8_t> bytes, int waitMs, int wakeFd);

private:
    int fd_ = -1;
    int lastOsError_ = 0;
};

// The termios speed constant for a link speed, or 0 when it is not one of the five.
unsigned SpeedConstant(int bitsPerSecond);

}  // namespace lumolink
