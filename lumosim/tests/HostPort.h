#pragma once

// The host's end of the simulated cable for tests: opens the device path raw and exchanges
// single packets, framed and checked by the link's own framing code.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lumolink/LinkFraming.h"

namespace lumosim::testing {

struct Packet {
    uint8_t code = 0;
    uint8_t sequence = 0;
    uint8_t parameter = 0;
    std::vector<uint8_t> data;
};

class HostPort {
public:
    explicit HostPort(const std::string& devicePath);
    ~HostPort();
    HostPort(const HostPort&) = delete;
    HostPort& operator=(const HostPort&) = delete;

    void SetSpeed(unsigned bitsPerSecond);
    void Send(uint8_t code, uint8_t parameter = 0, const std::vector<uint8_t>& data = {});
    // The next packet that frames correctly, or nothing within the time.
    std::optional<Packet> Receive(std::chrono::milliseconds within = std::chrono::seconds(2));

private:
    int fd_ = -1;
    uint8_t sequence_ = 0;
    lumolink::FrameBuilder builder_{lumolink::LinkSide::Host};
    lumolink::FrameReceiver receiver_{lumolink::LinkSide::Host};
    std::vector<uint8_t> received_;  // read from the line, fed to the receiver from `pending_` on
    std::size_t pending_ = 0;
};

}  // namespace lumosim::testing
