#pragma once

// The reader's side of the packet protocol: identity, speed negotiation, keep-alive answers,
// file create, write, open, read, close and cancel, busy after a file, remote abort and restart.
// A repeated request (same code and sequence number as the one before) gets the same answer
// again without being carried out twice.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "lumolink/LinkFraming.h"

namespace lumosim {

class ReaderFiles;
class LineFaults;
struct ReaderSettings;

// When the reader answers with a negative acknowledgement.
enum class NackMode { Never, BadFrames, Always };

struct SessionOptions {
    uint8_t speeds = 0x1F;  // the speed bits the reader can run at
    std::chrono::milliseconds busyAfterFile{0};
    std::chrono::milliseconds restartTime{1500};
    std::optional<uint64_t> abortAfter;  // abort every transfer that passes this many bytes
    double badLengthProbability = 0;     // reply frames sent with a wrong length field
    NackMode nack = NackMode::Never;
    bool shortIdentity = false;  // the identity without the zeros that fill its 40 bytes
};

struct SessionStats {
    std::array<uint64_t, 256> packets{};  // requests received, by code
    uint64_t repeats = 0;                 // requests answered again without being carried out
    uint64_t filesStored = 0;
    uint64_t filesRead = 0;
    uint64_t commandFiles = 0;
    uint64_t aborts = 0;
    uint64_t badLengthFrames = 0;
    uint64_t nacks = 0;
    uint64_t paddingBytes = 0;         // chunk bytes past a file's announced size
    uint64_t nonZeroPaddingBytes = 0;  // of those, the ones that were not zero
};

class ReaderSession {
public:
    using Clock = std::chrono::steady_clock;
    using FrameSink = std::function<void(std::span<const uint8_t> frame)>;
    using Logger = std::function<void(const std::string& line)>;

    ReaderSession(ReaderSettings& settings, ReaderFiles& files, SessionOptions options,
                  LineFaults& faults, FrameSink send, Logger log);

    void Handle(const lumolink::PacketView& packet, Clock::time_point now);
    // A frame that failed the receive checks.
    void OnBadFrame(Clock::time_point now);
    // Restart ends, or the line falls back to 57600 bit/s after a long silence.
    void Tick(Clock::time_point now);
    std::optional<Clock::time_point> NextTimer() const;

    bool Listening(Clock::time_point now) const { return now >= restartUntil_; }
    unsigned LineSpeed() const { return lineSpeed_; }
    const SessionStats& Stats() const { return stats_; }
    void SetAbortAfter(std::optional<uint64_t> bytes) { options_.abortAfter = bytes; }
    void SetNack(NackMode mode) { options_.nack = mode; }

private:
    void Reply(uint8_t code, uint8_t parameter, std::span<const uint8_t> data);
    void Nack();
    void Acknowledge(uint8_t code, uint8_t parameter = 0);
    bool ShouldAbort() const;
    void Abort();

    void OnCheck(Clock::time_point now);
    void OnNegotiateBaud(uint8_t mask);
    void OnCreate(const lumolink::PacketView& packet);
    void OnOpen(const lumolink::PacketView& packet);
    void OnWrite(const lumolink::PacketView& packet);
    void OnRead(const lumolink::PacketView& packet);
    void OnClose(const lumolink::PacketView& packet, Clock::time_point now);
    void OnCancel();
    void OnStatus(Clock::time_point now);

    ReaderSettings& settings_;
    ReaderFiles& files_;
    SessionOptions options_;
    LineFaults& faults_;
    FrameSink send_;
    Logger log_;
    lumolink::FrameBuilder builder_{lumolink::LinkSide::Reader};
    lumolink::FrameBuilder nackBuilder_{lumolink::LinkSide::Reader};

    uint8_t sequence_ = 0;
    uint8_t requestSequence_ = 0;
    std::optional<std::pair<uint8_t, uint8_t>> lastRequest_;  // code, sequence
    unsigned lineSpeed_ = 57600;
    Clock::time_point busyUntil_{};
    Clock::time_point restartUntil_{};
    Clock::time_point lastHeard_{};
    SessionStats stats_;
};

}  // namespace lumosim
