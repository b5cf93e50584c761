#include "HostPort.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

namespace lumosim::testing {

HostPort::HostPort(const std::string& devicePath) {
    fd_ = open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("cannot open " + devicePath);
    termios line{};
    tcgetattr(fd_, &line);
    cfmakeraw(&line);
    cfsetspeed(&line, B57600);
    tcsetattr(fd_, TCSANOW, &line);
}

HostPort::~HostPort() { close(fd_); }

void HostPort::SetSpeed(unsigned bitsPerSecond) {
    termios line{};
    tcgetattr(fd_, &line);
    cfsetspeed(&line, bitsPerSecond == 115200 ? B115200 : B57600);
    tcsetattr(fd_, TCSANOW, &line);
}

void HostPort::Send(uint8_t code, uint8_t parameter, const std::vector<uint8_t>& data) {
    builder_.Build(lumolink::kDeviceProtocol, code, sequence_++, parameter, data);
    const auto frame = builder_.Frame();
    if (write(fd_, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size()))
        throw std::runtime_error("short write to the simulated reader");
}

std::optional<Packet> HostPort::Receive(std::chrono::milliseconds within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    for (;;) {
        while (pending_ < received_.size()) {
            if (receiver_.PutByte(received_[pending_++]) != lumolink::FrameEvent::Packet) continue;
            const auto packet = receiver_.Packet();
            return Packet{packet.code(),
                          packet.sequence(),
                          packet.parameter(),
                          {packet.data().begin(), packet.data().end()}};
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd fd{fd_, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
        received_.resize(4096);
        const ssize_t count = read(fd_, received_.data(), received_.size());
        received_.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        pending_ = 0;
    }
}

}  // namespace lumosim::testing
