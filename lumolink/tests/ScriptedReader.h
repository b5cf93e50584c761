#pragma once

// The reader's end of a pseudo-terminal pair, driven step by step by a test: it collects the
// host's packets (with the exact bytes of each frame) and sends the answers the test chooses.

#include <termios.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lumolink/LinkFraming.h"
#include "lumolink/LinkNames.h"

namespace lumolink::testing {

using Bytes = std::vector<uint8_t>;

struct HostPacket {
    uint8_t code = 0;
    uint8_t sequence = 0;
    uint8_t parameter = 0;
    Bytes data;
    Bytes frame;  // the frame as it came over the wire, both flags included
};

inline constexpr const char* kReaderIdentity = "001.061-RM-024-R/READER0001";

class ScriptedReader {
public:
    ScriptedReader();
    ~ScriptedReader();
    ScriptedReader(const ScriptedReader&) = delete;
    ScriptedReader& operator=(const ScriptedReader&) = delete;

    const std::string& DevicePath() const { return devicePath_; }
    // The line settings the host gave the port (a pseudo-terminal's two ends share them).
    termios LineSettings() const;

    // The next packet from the host, or nothing within timeoutMs.
    std::optional<HostPacket> Next(int timeoutMs = 3000);
    // The next packet with this code, answering keep-alive checks on the way when asked to.
    std::optional<HostPacket> Expect(uint8_t code, int timeoutMs = 5000, bool answerChecks = true);
    // True when no packet at all arrives within timeoutMs.
    bool Quiet(int timeoutMs);

    void Send(uint8_t code, uint8_t sequence, uint8_t parameter, const Bytes& data = {});
    void SendRaw(const Bytes& bytes);
    // A frame around arbitrary content (protocol field onwards), with a correct FCS.
    void SendFrameContent(const Bytes& content);
    void SendCheckData(const std::string& identity = kReaderIdentity);
    // Answers host frames until the link is open: check, speed, check.
    bool AnswerConnect(uint8_t chosenSpeedBit = BAUD_BITS_115200);
    void Hangup();

private:
    int master_ = -1;
    std::string devicePath_;
    FrameReceiver receiver_{LinkSide::Reader};
    FrameBuilder builder_{LinkSide::Reader};
    Bytes pendingFrame_;
    uint8_t sequence_ = 0;
};

}  // namespace lumolink::testing
