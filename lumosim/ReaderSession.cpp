#include "lumosim/ReaderSession.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "lumosim/LineFaults.h"
#include "lumosim/MalformedFrame.h"
#include "lumosim/ReaderFiles.h"
#include "lumosim/ReaderPackets.h"
#include "lumosim/ReaderSettings.h"

namespace lumosim {
namespace {

using namespace std::chrono_literals;

constexpr unsigned kDefaultSpeed = 57600;
// A reader left at a higher speed with nothing valid heard for this long listens at 57600 again.
constexpr auto kSpeedFallbackSilence = 3s;
constexpr uint8_t kBusyBit = 0x01;

struct SpeedBit {
    uint8_t bit;
    unsigned bitsPerSecond;
};
constexpr std::array<SpeedBit, 5> kSpeedBits = {
    {{0x10, 115200}, {0x08, 57600}, {0x04, 19200}, {0x02, 9600}, {0x01, 2400}}};

std::string Text(std::span<const uint8_t> bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), 0);
    return std::string(bytes.begin(), end);
}

uint32_t Be32(std::span<const uint8_t> bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 |
           uint32_t{bytes[3]};
}

// The data of a LUMI_FHANDLE answer: the request's sequence number, three zero bytes and the
// file's size, low byte first.
std::array<uint8_t, 8> HandleReply(uint8_t sequence, uint32_t size) {
    return {sequence,
            0,
            0,
            0,
            static_cast<uint8_t>(size),
            static_cast<uint8_t>(size >> 8),
            static_cast<uint8_t>(size >> 16),
            static_cast<uint8_t>(size >> 24)};
}

}  // namespace

ReaderSession::ReaderSession(ReaderSettings& settings, ReaderFiles& files, SessionOptions options,
                             LineFaults& faults, FrameSink send, Logger log)
    : settings_(settings),
      files_(files),
      options_(options),
      faults_(faults),
      send_(std::move(send)),
      log_(std::move(log)) {}

void ReaderSession::Handle(const lumolink::PacketView& packet, Clock::time_point now) {
    if (!Listening(now)) return;
    lastHeard_ = now;
    const uint8_t code = packet.code();
    ++stats_.packets[code];
    requestSequence_ = packet.sequence();

    if (options_.nack == NackMode::Always) {
        Nack();
        return;
    }
    const std::pair<uint8_t, uint8_t> request{code, packet.sequence()};
    if (code != lumolink::LUMI_CHECK && lastRequest_ == request) {
        ++stats_.repeats;
        log_("request " + std::to_string(code) + " repeated: the same answer again");
        send_(builder_.Frame());
        return;
    }
    lastRequest_ = request;

    switch (code) {
        case lumolink::LUMI_CHECK:
            OnCheck(now);
            break;
        case lumolink::LUMI_NEGOTIATE_BAUD:
            OnNegotiateBaud(packet.parameter());
            break;
        case lumolink::LUMI_FCREATE:
            OnCreate(packet);
            break;
        case lumolink::LUMI_FOPEN:
        case lumolink::LUMI_FOPEN_ALT:
            OnOpen(packet);
            break;
        case lumolink::LUMI_FWRITE:
            OnWrite(packet);
            break;
        case lumolink::LUMI_FREAD:
            OnRead(packet);
            break;
        case lumolink::LUMI_FCLOSE:
            OnClose(packet, now);
            break;
        case lumolink::LUMI_FCANCEL:
            OnCancel();
            break;
        case lumolink::LUMI_STATUS:
            OnStatus(now);
            break;
        default:
            log_("ignored packet " + std::to_string(code));
            break;
    }
}

void ReaderSession::OnBadFrame(Clock::time_point now) {
    if (Listening(now) && options_.nack != NackMode::Never) Nack();
}

void ReaderSession::Nack() {
    ++stats_.nacks;
    // Built apart, so that the answer to the last request stays ready to be sent again.
    nackBuilder_.Build(lumolink::kDeviceProtocol, lumolink::LUMI_NACK, sequence_++, 0, {});
    send_(nackBuilder_.Frame());
}

void ReaderSession::Tick(Clock::time_point now) {
    if (restartUntil_ != Clock::time_point{} && now >= restartUntil_) {
        restartUntil_ = {};
        lastHeard_ = now;
        log_("restarted");
    }
    if (lineSpeed_ != kDefaultSpeed && now - lastHeard_ >= kSpeedFallbackSilence) {
        lineSpeed_ = kDefaultSpeed;
        log_("nothing heard: line back to 57600 bit/s");
    }
}

std::optional<ReaderSession::Clock::time_point> ReaderSession::NextTimer() const {
    if (restartUntil_ != Clock::time_point{}) return restartUntil_;
    if (lineSpeed_ != kDefaultSpeed) return lastHeard_ + kSpeedFallbackSilence;
    return std::nullopt;
}

void ReaderSession::Reply(uint8_t code, uint8_t parameter, std::span<const uint8_t> data) {
    const uint8_t sequence = sequence_++;
    builder_.Build(lumolink::kDeviceProtocol, code, sequence, parameter, data);
    if (faults_.Chance(options_.badLengthProbability)) {
        // A length beyond the bytes sent, too short for a header, or (for file data) too short
        // for the acknowledged sequence number.
        const auto real = static_cast<uint16_t>(data.size() + lumolink::kPacketHeaderSize);
        const std::array<uint16_t, 3> wrong = {
            0xFFFF, static_cast<uint16_t>(real + 1),
            static_cast<uint16_t>(code == lumolink::LUMI_READ_DATA ? 5 : 4)};
        const uint16_t length = wrong[stats_.badLengthFrames++ % wrong.size()];
        log_("answer " + std::to_string(code) + " sent with length field " +
             std::to_string(length));
        send_(FrameWithLengthField(code, sequence, length, parameter, data));
        return;
    }
    send_(builder_.Frame());
}

void ReaderSession::Acknowledge(uint8_t code, uint8_t parameter) {
    const std::array<uint8_t, 4> data = {requestSequence_, 0, 0, 0};
    Reply(code, parameter, data);
}

bool ReaderSession::ShouldAbort() const {
    return options_.abortAfter && files_.Position() >= *options_.abortAfter;
}

void ReaderSession::Abort() {
    log_("aborting the transfer of \"" + files_.Name() + "\"");
    files_.Discard();
    ++stats_.aborts;
    Acknowledge(lumolink::LUMI_REMOTE_ABORT);
}

void ReaderSession::OnCheck(Clock::time_point now) {
    if (now < busyUntil_) {
        OnStatus(now);
        return;
    }
    std::array<uint8_t, packet::kIdentitySize> identity{};
    const std::string text = settings_.firmware + "/" + settings_.identifier;
    const std::size_t length = std::min(text.size(), identity.size());
    std::copy_n(text.begin(), length, identity.begin());
    Reply(lumolink::LUMI_CHECK_DATA, 0,
          std::span(identity).first(options_.shortIdentity ? length : identity.size()));
}

void ReaderSession::OnNegotiateBaud(uint8_t mask) {
    const auto chosen = std::find_if(kSpeedBits.begin(), kSpeedBits.end(), [&](const SpeedBit& s) {
        return (mask & options_.speeds & s.bit) != 0;
    });
    Reply(lumolink::LUMI_BAUD_ACK, chosen == kSpeedBits.end() ? 0 : chosen->bit, {});
    if (chosen != kSpeedBits.end()) {
        lineSpeed_ = chosen->bitsPerSecond;
        log_("line speed " + std::to_string(lineSpeed_) + " bit/s");
    }
}

void ReaderSession::OnCreate(const lumolink::PacketView& packet) {
    const auto data = packet.data();
    uint8_t handle = 0;
    std::string name;
    uint32_t size = 0;
    if (data.size() >= packet::kCreateNameSize + 4) {
        name = Text(data.first(packet::kCreateNameSize));
        size = Be32(data.subspan(packet::kCreateNameSize, 4));
        handle = files_.Create(name, size);
    }
    log_("create \"" + name + "\" of " + std::to_string(size) + " bytes, type " +
         std::to_string(packet.parameter()) + ": handle " + std::to_string(handle));
    Reply(lumolink::LUMI_FHANDLE, handle, HandleReply(requestSequence_, size));
}

void ReaderSession::OnOpen(const lumolink::PacketView& packet) {
    const std::string name = Text(packet.data());
    const uint8_t handle = files_.Open(name);
    const uint32_t size = files_.Size();
    const bool alternative = packet.code() == lumolink::LUMI_FOPEN_ALT;
    log_(std::string(alternative ? "open (alternative) \"" : "open \"") + name + "\": handle " +
         std::to_string(handle) + ", " + std::to_string(size) + " bytes");
    Reply(lumolink::LUMI_FHANDLE, handle, HandleReply(requestSequence_, size));
}

void ReaderSession::OnWrite(const lumolink::PacketView& packet) {
    if (!files_.IsOpen(packet.parameter()) || !files_.IsWriting()) {
        log_("write to a file that is not open");
        Acknowledge(lumolink::LUMI_REMOTE_ABORT);
        return;
    }
    const ReaderFiles::Padding padding = files_.Append(packet.data());
    stats_.paddingBytes += padding.bytes;
    stats_.nonZeroPaddingBytes += padding.nonZero;
    if (ShouldAbort()) {
        Abort();
        return;
    }
    Acknowledge(lumolink::LUMI_FWRITE_ACK);
}

void ReaderSession::OnRead(const lumolink::PacketView& packet) {
    if (!files_.IsOpen(packet.parameter()) || files_.IsWriting()) {
        log_("read from a file that is not open");
        Acknowledge(lumolink::LUMI_REMOTE_ABORT);
        return;
    }
    if (ShouldAbort()) {
        Abort();
        return;
    }
    const auto block = files_.NextBlock();
    std::vector<uint8_t> data;
    data.reserve(block.size() + 1);
    data.push_back(requestSequence_);
    data.insert(data.end(), block.begin(), block.end());
    Reply(lumolink::LUMI_READ_DATA, 0, data);
}

void ReaderSession::OnClose(const lumolink::PacketView& packet, Clock::time_point now) {
    bool restart = false;
    if (files_.IsOpen(packet.parameter())) {
        const bool writing = files_.IsWriting();
        const std::string name = files_.Name();
        const ReaderFiles::Closed closed = files_.Close();
        if (writing) {
            busyUntil_ = now + options_.busyAfterFile;
            stats_.filesStored += closed.stored;
            stats_.commandFiles += !closed.stored;
            log_("closed \"" + name + "\"" + (closed.stored ? ", stored" : ", applied") +
                 ", last error " + std::to_string(settings_.lastError));
        } else {
            ++stats_.filesRead;
            log_("closed \"" + name + "\" after reading");
        }
        restart = closed.commands.restart;
    }
    Acknowledge(lumolink::LUMI_FCLOSE_ACK);
    if (restart) {
        log_("restarting");
        restartUntil_ = now + options_.restartTime;
        lineSpeed_ = kDefaultSpeed;
        busyUntil_ = {};
        lastRequest_.reset();
    }
}

void ReaderSession::OnCancel() {
    log_("cancelled");
    files_.Discard();
    Acknowledge(lumolink::LUMI_FCANCEL_ACK);
}

void ReaderSession::OnStatus(Clock::time_point now) {
    const uint8_t flags = now < busyUntil_ ? kBusyBit : 0;
    const std::array<uint8_t, 8> data = {requestSequence_, 0, 0, 0, flags, 0, 0, 0};
    Reply(lumolink::LUMI_STATUS_RESP, 0, data);
}

}  // namespace lumosim
