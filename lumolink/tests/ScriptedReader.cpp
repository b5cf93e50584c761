#include "ScriptedReader.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>

namespace lumolink::testing {

ScriptedReader::ScriptedReader() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    devicePath_ = ptsname(master_);
}

ScriptedReader::~ScriptedReader() { Hangup(); }

termios ScriptedReader::LineSettings() const {
    termios settings{};
    tcgetattr(master_, &settings);
    return settings;
}

void ScriptedReader::Hangup() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

std::optional<HostPacket> ScriptedReader::Next(int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              until - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0 || master_ < 0) return std::nullopt;
        pollfd fd{master_, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left)) <= 0) continue;
        if (!(fd.revents & POLLIN)) {
            // No slave open (the host closed its port): wait for it to come back.
            usleep(10000);
            continue;
        }
        uint8_t byte = 0;
        if (read(master_, &byte, 1) != 1) {
            usleep(10000);
            continue;
        }
        pendingFrame_.push_back(byte);
        const FrameEvent event = receiver_.PutByte(byte);
        if (byte == kFlag) {
            Bytes frame = pendingFrame_;
            pendingFrame_.assign(1, kFlag);
            if (event == FrameEvent::Packet) {
                const PacketView packet = receiver_.Packet();
                HostPacket host;
                host.code = packet.code();
                host.sequence = packet.sequence();
                host.parameter = packet.parameter();
                host.data.assign(packet.data().begin(), packet.data().end());
                host.frame = std::move(frame);
                return host;
            }
        }
    }
}

std::optional<HostPacket> ScriptedReader::Expect(uint8_t code, int timeoutMs, bool answerChecks) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              until - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return std::nullopt;
        auto packet = Next(static_cast<int>(left));
        if (!packet) return std::nullopt;
        if (packet->code == code) return packet;
        if (answerChecks && packet->code == LUMI_CHECK) SendCheckData();
    }
}

bool ScriptedReader::Quiet(int timeoutMs) { return !Next(timeoutMs).has_value(); }

void ScriptedReader::Send(uint8_t code, uint8_t sequence, uint8_t parameter, const Bytes& data) {
    builder_.Build(kDeviceProtocol, code, sequence, parameter, data);
    SendRaw(Bytes(builder_.Frame().begin(), builder_.Frame().end()));
}

void ScriptedReader::SendRaw(const Bytes& bytes) {
    size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t n = write(master_, bytes.data() + at, bytes.size() - at);
        if (n > 0) at += static_cast<size_t>(n);
        if (n < 0 && errno != EINTR && errno != EAGAIN) return;
    }
}

void ScriptedReader::SendFrameContent(const Bytes& content) {
    const uint16_t fcs = Fcs16(kFcsInitial, content) ^ 0xFFFF;
    Bytes body = content;
    body.push_back(static_cast<uint8_t>(fcs & 0xFF));
    body.push_back(static_cast<uint8_t>(fcs >> 8));
    Bytes wire{kFlag};
    for (uint8_t b : body) {
        if (IsEscapedOnWire(b)) {
            wire.push_back(kEscape);
            wire.push_back(b ^ kEscapeXor);
        } else {
            wire.push_back(b);
        }
    }
    wire.push_back(kFlag);
    SendRaw(wire);
}

void ScriptedReader::SendCheckData(const std::string& identity) {
    Bytes data(40, 0);
    std::memcpy(data.data(), identity.data(), std::min<size_t>(identity.size(), 40));
    Send(LUMI_CHECK_DATA, sequence_++, 0, data);
}

bool ScriptedReader::AnswerConnect(uint8_t chosenSpeedBit) {
    if (!Expect(LUMI_CHECK, 5000, false)) return false;
    SendCheckData();
    if (!Expect(LUMI_NEGOTIATE_BAUD, 5000, false)) return false;
    Send(LUMI_BAUD_ACK, sequence_++, chosenSpeedBit);
    if (!Expect(LUMI_CHECK, 5000, false)) return false;
    SendCheckData();
    return true;
}

}  // namespace lumolink::testing
